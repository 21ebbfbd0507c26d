// The main window's ways of bringing papers and their files in (from the web, from citation files, a file
// attached, PDF addresses queued, a later start's hand-over) and of reading them.

#include "InfoPopup.h"
#include "MainWindow.h"
#include "PaperEditor.h"
#include "PdfViewer.h"
#include "exchange/ImportFile.h"
#include "library/DataModule.h"
#include "shell/Config.h"
#include "shell/PaperFiles.h"
#include "shell/UserPrompts.h"
#include "shell/VarnelError.h"
#include "web/DownloadManagerThread.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QTreeView>
#include <QUrl>

#include <cmath>

QString TfrmMain::ProposedAddress(const QString &clipboardText)
{
    return clipboardText.contains(QLatin1String("http://")) ? clipboardText : QString();
}

void TfrmMain::ImportFromWeb()
{
    const QString url = FPrompts.InputText(
        QStringLiteral("New paper"), QStringLiteral("URL"), ProposedAddress(QApplication::clipboard()->text()));
    if (!url.trimmed().isEmpty())
        AddPaperFromWeb(url.trimmed(), true);
}

void TfrmMain::ImportFromFiles()
{
    TPathOptions &paths = FConfig.GetOptions<TPathOptions>();
    const QStringList files = FPrompts.OpenFileNames(QStringLiteral("Open"), paths.LastOpenRISFolder(),
        QStringLiteral("All formats (ris enw nbib) (*.ris *.nbib *.enw);;Reference Manager (*.ris);;EndNote "
                       "(*.enw);;NBIB (*.nbib)"));
    if (files.isEmpty())
        return;
    int jid = 0, pid = 0;
    int done = 0;
    {
        const TCursorSaver busy;
        try {
            for (const QString &file : files) {
                ImportCitationFile(FDm, FPrompts, file, FConfig.LibraryFolder(), jid, pid);
                FProgress->setValue(int(std::nearbyint(double(done) / double(files.size()) * 100.0))); // halves to even
                ++done;
            }
        } catch (const EVarnelError &error) {
            FPrompts.ShowMessage(error.Message(), TMessageKind::mkError); // the files before it stay imported
        }
    }
    FStatus->setText(QStringLiteral("%1 papers were imported").arg(done));
    paths.SetLastOpenRISFolder(QFileInfo(files.last()).absolutePath() + u'/');
    FPages->setCurrentIndex(pgJournals);
    ReloadLibraryViews();
    SelectJournalAndPaper(pid, jid);
}

void TfrmMain::AttachFile()
{
    int row = -1;
    TPaperRecord *paper = FocusedPaper(&row);
    if (!paper)
        return;
    const int page = FPages->currentIndex();
    const QString file = PickFullTextFile(FConfig, FPrompts);
    if (file.isEmpty())
        return;
    FViewers[page]->Clear(); // the paper's older file may be replaced
    MoveIntoLibrary(FConfig.LibraryFolder(), *paper, file);
    StoreFocusedPaper(page, row);
}

void TfrmMain::DownloadFromUrl()
{
    if (!LastPaper) {
        // Nothing would be queued: the address needs the paper it belongs to.
        FPrompts.ShowMessage(QStringLiteral("Select the paper the PDF belongs to first."), TMessageKind::mkWarning);
        return;
    }
    const QString url = FPrompts.InputText(
        QStringLiteral("Downloading PDF"), QStringLiteral("URL"), ProposedAddress(QApplication::clipboard()->text()));
    if (url.trimmed().isEmpty())
        return;
    FQueue.Add(*LastPaper, url.trimmed());
    FDownloadManager->Start();
}

void TfrmMain::DownloadChecked()
{
    const TPaperRefs papers = CheckedPapers();
    for (TPaperRecord *paper : papers)
        FQueue.Add(*paper, QString());
    if (!papers.empty())
        FDownloadManager->Start();
}

void TfrmMain::DeleteSelectedDownloads()
{
    QSet<int> ids;
    for (const QModelIndex &row : FDownloadView->selectionModel()->selectedRows())
        ids.insert(FQueue.Entry(row.row()).ID);
    FQueue.Delete(ids); // the entry downloading stays
}

int TfrmMain::ReceiveHandOver(const THandOver &handOver)
{
    switch (handOver.Tag) {
    case htUrl:
        AddPaperFromWeb(handOver.Text, true);
        return 1;
    case htFile:
        ImportFile(handOver.Text);
        return 1;
    default:
        return 0;
    }
}

void TfrmMain::PaperRead()
{
    TPaperRecord *paper = FocusedPaper();
    if (!paper)
        return;
    const TCursorSaver busy;
    if (!paper->Local) {
        if (FPrompts.Ask(QStringLiteral("Paper is not downloaded. Add to download list?")))
            FQueue.Add(*paper, QString()); // the run is not started
        return;
    }
    const QString file = PaperFullPath(FConfig.LibraryFolder(), *paper);
    // The viewer program of the settings when one is named, else the desktop's program for the file's type.
    if (!FConfig.GetOptions<TViewerOptions>().ExeName().isEmpty()) {
        const TPdfViewer &viewer = *FViewers[0];
        if (!QProcess::startDetached(viewer.ExeName(), {file}, viewer.Path()))
            FPrompts.ShowMessage(QStringLiteral("The PDF viewer \"%1\" could not be started.").arg(viewer.ExeName()),
                TMessageKind::mkError);
    } else if (!FPrompts.OpenUrl(QUrl::fromLocalFile(file).toString())) {
        FPrompts.ShowMessage(
            QStringLiteral("No program of the desktop opens \"%1\".").arg(file), TMessageKind::mkError);
    }
}
