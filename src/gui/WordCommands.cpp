// The main window's word-processor commands: each opens the running word processor's document, runs one
// word-link operation on it with the progress popup, and lets the document go.

#include "Commands.h"
#include "InfoPopup.h"
#include "MainWindow.h"
#include "library/DataModule.h"
#include "shell/Config.h"
#include "shell/UserPrompts.h"
#include "shell/VarnelError.h"
#include "wordlink/WordDocument.h"
#include "wordlink/WordHelper.h"

#include <QAction>
#include <QTreeView>

namespace {

// The pop-up texts name the word processor that is driven.
QString WithWriter(const char *text)
{
    return QString::fromUtf8(text).arg(QStringLiteral("LibreOffice Writer"));
}

} // namespace

void TfrmMain::RunWordAction(const QString &popupText, const std::function<void(TWordHelper &)> &action)
{
    const TCursorSaver busy;
    std::optional<TInfoPopupScope> popup;
    if (!popupText.isEmpty())
        popup.emplace(popupText);
    const std::shared_ptr<TWordDocument> document = OpenWordDocument();
    TWordHelper helper(*document, FDm, FPrompts);
    action(helper);
}

int TfrmMain::SelectedGroupForWord()
{
    const TGroupRecord *group = FGroups.Record(FGroupsView->currentIndex());
    if (!group || IsGroupFolder(*group)) {
        FPrompts.ShowMessage(QStringLiteral("Select the group on the Groups page first."), TMessageKind::mkWarning);
        return 0;
    }
    return group->ID;
}

void TfrmMain::WordPaste()
{
    RunWordAction(QStringLiteral("Prepearing references ..."), [this](TWordHelper &helper) {
        const TPaperRefs papers = CheckedPapers();
        SetInfoPopupText(WithWriter("Inserting references to %1 ..."));
        helper.AddCitations(papers, FConfig.GetOptions<TOtherOptions>().FastWordInsertion());
    });
}

void TfrmMain::WordPrepareList()
{
    RunWordAction(WithWriter("Inserting Bibliography to %1 ..."), [this](TWordHelper &helper) {
        helper.FTemplater = &FTemplater;
        helper.PrepareReferenses();
    });
}

void TfrmMain::WordConvertToText()
{
    RunWordAction(QString(), [](TWordHelper &helper) { helper.ConvertToText(); });
}

void TfrmMain::WordConvertToObjects()
{
    const int group = SelectedGroupForWord();
    if (group != 0)
        RunWordAction(QStringLiteral("Converting references ..."),
            [group](TWordHelper &helper) { helper.ConvertToObjects(group); });
}

void TfrmMain::WordObjectsToGroup()
{
    const int group = SelectedGroupForWord();
    if (group == 0)
        return;
    RunWordAction(WithWriter("Getting refernces from %1 ..."), [group](TWordHelper &helper) {
        helper.ObjectsToGroup(group);
        SetInfoPopupText(QStringLiteral("Inserting to the group ..."));
    });
    GroupSelected(FGroupsView->currentIndex()); // the group's list with its new papers
}

void TfrmMain::WordUpdateReferences()
{
    RunWordAction(QStringLiteral("Updating of references ..."), [](TWordHelper &helper) { helper.UpdateReferences(); });
}
