// The main window's paper commands: a paper added, edited or deleted by hand.

#include "MainWindow.h"
#include "PaperEditor.h"
#include "PdfViewer.h"
#include "library/DataModule.h"
#include "records/TypeCodes.h"
#include "shell/UserPrompts.h"

#include <QDate>
#include <QTreeView>

void TfrmMain::PaperAdd()
{
    if (!FLastJournal)
        return;
    if (FLastJournal->ID <= 0) {
        // "Journals", "Books" and "Proceedings" only group the entries under them.
        FPrompts.ShowMessage(QStringLiteral("Choose the journal, publisher or conference of the new paper first."),
            TMessageKind::mkWarning);
        return;
    }
    auto paper = std::make_unique<TPaperRecord>();
    paper->PType = PaperTypeForJournal(FLastJournal->JType);
    paper->Year = QDate::currentDate().year();
    TfrmPaper editor(FConfig, FDm, FPrompts, this);
    editor.SetValues(*paper);
    if (!RunPaperEditor(editor))
        return;
    paper->ID = 0;
    paper->JID = FLastJournal->ID;
    paper->Journal = std::make_shared<TJournalRecord>(*FLastJournal); // places the picked file by its title
    editor.GetValues(*paper);
    FDm.UpdatePaper(*paper);
    FPaperModels[pgJournals]->AppendPaper(std::move(paper));
}

void TfrmMain::PaperEdit()
{
    int row = -1;
    TPaperRecord *paper = FocusedPaper(&row);
    if (!paper)
        return;
    const int page = FPages->currentIndex();
    if ((!paper->Journal || paper->Journal->Title.isEmpty()) && FLastJournal) {
        paper->JID = FLastJournal->ID;
        if (!paper->Journal)
            paper->Journal = std::make_shared<TJournalRecord>();
        paper->Journal->Title = FLastJournal->Title;
    }
    TfrmPaper editor(FConfig, FDm, FPrompts, this);
    editor.SetValues(*paper);
    if (!RunPaperEditor(editor))
        return;
    FViewers[page]->Clear(); // its file may move with a new title or volume
    editor.GetValues(*paper);
    StoreFocusedPaper(page, row);
}

void TfrmMain::StoreFocusedPaper(int page, int row)
{
    FDm.UpdatePaper(*FPaperModels[page]->Paper(row));
    FPaperModels[page]->RefreshRow(row);
    PaperSelected(page); // the details and the viewer show the stored paper
}

void TfrmMain::PaperDelete()
{
    if (!LastPaper || !FPrompts.Ask(QStringLiteral("Delete selected paper?")))
        return;
    const int journalId = LastPaper->JID;
    FDm.DeletePaper(LastPaper->ID);
    ReloadLibraryViews();
    SelectJournalAndPaper(0, journalId);
}
