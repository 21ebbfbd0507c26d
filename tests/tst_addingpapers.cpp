#include "Commands.h"
#include "LibraryFixture.h"
#include "LoopbackHttpServer.h"
#include "MainWindow.h"
#include "NewVersionInfo.h"
#include "PaperInfoPanel.h"
#include "TestFiles.h"
#include "VarnelVersion.h"
#include "shell/PaperFiles.h"
#include "web/DownloadManagerThread.h"
#include "web/VersionChecker.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <QTreeView>

namespace {

using TRequest = TLoopbackHttpServer::TRequest;
using TResponse = TLoopbackHttpServer::TResponse;

const QByteArray Pdf = "%PDF-1.4\n%%EOF";

// A citation file with one article of the journal "Wear".
QByteArray RisOf(const QByteArray &title)
{
    return "TY  - JOUR\r\nT1  - " + title + "\r\nJO  - Wear\r\nER  - \r\n";
}

bool LocalIn(TfrmMain &window, int page, int paperId)
{
    const TPaperListModel &list = window.PaperModel(page);
    const int row = list.RowOfPaper(paperId);
    return row >= 0 && list.Paper(row)->Local;
}

} // namespace

// Bringing papers and files in through the window, on a real library. The publisher site, the PDF and the
// update file are served by a loopback server that stands in for the sites' hosts ([Web] in varnel.ini).
class TestAddingPapers : public QObject, private TLibraryFixture
{
    Q_OBJECT

    std::unique_ptr<TLoopbackHttpServer> FServer;

    // A ScienceDirect article page, its citation form and its PDF, on the loopback server.
    QString ServeArticle(const QByteArray &id, const QByteArray &title)
    {
        const QByteArray base = "http://127.0.0.1:" + QByteArray::number(FServer->Port());
        FPages["/science/article/pii/" + id] = {200, {{"Content-Type", "text/html"}},
            "<a pdfurl=\"" + base + "/pdf/" + id + ".pdf\" class=b>\n<div class=\"icon_exportarticlesci_dir\" "
            "title=\"Export citation\"><a href=\"/science?_ob=DownloadURL&_acct=C0&_eidkey=" + id + "&zone=x\">"};
        FPages["/science?_ob=DownloadURL&_acct=C0&_eidkey=" + id + "&zone=x"]
            = {200, {{"Content-Type", "text/html"}}, "<input type=hidden name=md5 value=" + id + ">"};
        FCitations[id] = RisOf(title);
        FPages["/pdf/" + id + ".pdf"] = {200, {{"Content-Type", "application/pdf"}}, Pdf};
        return QString::fromLatin1(base + "/science/article/pii/" + id);
    }

    QHash<QByteArray, TResponse> FPages;
    QHash<QByteArray, QByteArray> FCitations; // the citation form's answer, by the md5 value posted

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(OpenLibrary());
        FServer = std::make_unique<TLoopbackHttpServer>([this](const TRequest &request) {
            if (request.Method == "POST" && request.Target == "/science") {
                const QByteArray md5 = request.Body.mid(request.Body.indexOf("md5=") + 4).split('&').front();
                return TResponse {200, {{"Content-Type", "text/plain"}}, FCitations.value(md5)};
            }
            return FPages.value(request.Target, TResponse {404, {}, "not here"});
        });
        FConfig->IniFile().WriteString(
            QStringLiteral("Web"), QStringLiteral("ScienceDirect"), QStringLiteral("127.0.0.1:%1").arg(FServer->Port()));
    }

    // A paper from its article page: imported, selected, queued with its PDF; the run started from the page
    // downloads it and marks it local in the three lists at once. A later start hands over another address
    // (its run starts at once) and a citation file; a tag of no meaning is answered 0.
    void fromWebToLocalEverywhere()
    {
        TfrmMain window(*FConfig, *FDm, FPrompts);
        window.Start(true);
        window.AddPaperFromWeb(ServeArticle("S1", "Friction of thin films"), false);
        QCOMPARE(window.StatusPane()->text(), QStringLiteral("Done"));
        QCOMPARE(window.JournalsTree()->currentIndex().data().toString(), QStringLiteral("Wear"));
        TPaperRecord *paper = window.FocusedPaper();
        QVERIFY(paper);
        QCOMPARE(paper->Title, QStringLiteral("Friction of thin films"));
        const int id = paper->ID;
        QCOMPARE(window.DownloadQueue().Count(), 1);
        QVERIFY(!window.DownloadManager().Busy());

        // The same paper in the search results and in Favorites.
        window.AddCheckedToGroup(1);
        window.SearchField(QStringLiteral("Title"))->setText(QStringLiteral("thin films"));
        window.DatabaseSearch();
        window.SelectGroupAndPaper(id, 1);
        for (int page : {0, 1, 2})
            QVERIFY(window.PaperModel(page).RowOfPaper(id) >= 0);

        window.Commands()["DwnlStart"]->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(LocalIn(window, 0, id) && LocalIn(window, 1, id) && LocalIn(window, 2, id), 10000);
        QTRY_VERIFY(!window.DownloadManager().Busy());
        QCOMPARE(window.DownloadQueue().Count(), 0); // done entries leave the list
        QTRY_VERIFY(window.Commands()["DwnlStart"]->isEnabled()); // the worker's last step reaches the page
        QVERIFY(!window.Commands()["DwnlPause"]->isEnabled());
        TPapers stored;
        FDm->PreparePaper(id);
        FDm->GetPapers(stored);
        QCOMPARE(ReadTestFile(StoredPaperPath(FConfig->LibraryFolder(), *stored.front())), Pdf);

        QCOMPARE(window.ReceiveHandOver({htUrl, ServeArticle("S2", "Wear of coatings")}), 1);
        QCOMPARE(window.FocusedPaper()->Title, QStringLiteral("Wear of coatings"));
        const int second = window.FocusedPaper()->ID;
        QTRY_VERIFY_WITH_TIMEOUT(LocalIn(window, 0, second), 10000);

        const QString file = FDir->filePath(QStringLiteral("handed/over.ris"));
        QVERIFY(WriteTestFile(file, RisOf("Handed over")));
        QCOMPARE(window.ReceiveHandOver({htFile, file}), 1);
        QCOMPARE(window.Pages()->currentIndex(), int(TfrmMain::pgJournals));
        QCOMPARE(window.FocusedPaper()->Title, QStringLiteral("Handed over"));
        QCOMPARE(window.ReceiveHandOver({htNone, file}), 0);
    }

    // "Delete" on the download page takes the selected entries; an idle page offers everything but Stop.
    void downloadPageDelete()
    {
        TfrmMain window(*FConfig, *FDm, FPrompts);
        window.Start(true);
        TPapers papers;
        FDm->PrepareAllPaperList();
        FDm->GetPapers(papers);
        QVERIFY(papers.size() >= 3);
        for (int i = 0; i < 3; ++i)
            window.DownloadQueue().Add(*papers[std::size_t(i)], QString());
        QTreeView *list = window.DownloadList();
        list->selectionModel()->select(
            list->model()->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        list->selectionModel()->select(
            list->model()->index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        window.Commands()["DwnlDelete"]->trigger();
        QCOMPARE(window.DownloadQueue().Count(), 1);
        QCOMPARE(window.DownloadQueue().Entry(0).ID, papers[1]->ID);
        for (const char *name : {"DwnlStart", "DwnlDelete", "DwnlClear"})
            QVERIFY2(window.Commands()[name]->isEnabled(), name);
        for (const char *name : {"DwnlPause", "DwnlFirst", "DwnlUp", "DwnlDown", "DwnlLast"})
            QVERIFY2(!window.Commands()[name]->isEnabled(), name); // the moves have no behaviour of their own
    }

    // "Read": a local paper opens in the viewer program of the settings, or else with the desktop's program;
    // a paper without its file is offered for the download list, and the run is not started.
    void read()
    {
        const QString in = FDir->filePath(QStringLiteral("read/"));
        QVERIFY(WriteTestFile(in + QStringLiteral("local.ris"), RisOf("Read me")));
        QVERIFY(WriteTestFile(in + QStringLiteral("local.pdf"), Pdf));
        QVERIFY(WriteTestFile(in + QStringLiteral("remote.ris"), RisOf("Not here yet")));
        const QString viewer = in + QStringLiteral("viewer.sh");
        QVERIFY(WriteTestFile(viewer, "#!/bin/sh\nprintf '%s|%s' \"$(pwd)\" \"$1\" > opened.txt\n"));
        QFile::setPermissions(viewer, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        TViewerOptions &options = FConfig->GetOptions<TViewerOptions>();
        options.SetExeName(viewer);
        options.SetPath(in);
        TfrmMain window(*FConfig, *FDm, FPrompts);
        window.Start(true);
        window.ImportFile(in + QStringLiteral("local.ris"));
        TPaperRecord *paper = window.FocusedPaper();
        QVERIFY(paper && paper->Local);
        const QString file = StoredPaperPath(FConfig->LibraryFolder(), *paper);
        window.Commands()["PaperRead"]->trigger();
        QTRY_COMPARE(ReadTestFile(in + QStringLiteral("opened.txt")), (QDir(in).absolutePath() + u'|' + file).toUtf8());

        options.SetExeName(QString());
        window.ApplyViewerOptions();
        FPrompts.Opened.clear();
        window.PaperRead();
        QCOMPARE(FPrompts.Opened, QStringList {QUrl::fromLocalFile(file).toString()});

        window.ImportFile(in + QStringLiteral("remote.ris"));
        FPrompts.Shown.clear();
        FPrompts.SetNextAnswer(true);
        window.PaperRead();
        QCOMPARE(FPrompts.Shown.size(), 1);
        QCOMPARE(FPrompts.Shown[0].Text, QStringLiteral("Paper is not downloaded. Add to download list?"));
        QCOMPARE(window.DownloadQueue().Count(), 1);
        QCOMPARE(window.DownloadQueue().Entry(0).Title, QStringLiteral("Not here yet"));
        QVERIFY(!window.DownloadManager().Worker());
    }

    // The update check: a newer version is announced in the dialog, whose link opens line 2 as written; an
    // up-to-date program is told so when the user asked, and the automatic check stays silent. The automatic
    // check waits 10 s after the start, and only when the settings ask for it.
    void updateCheck_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("newer") << QByteArray("9.9\nhttp://x/varnel_9.9.deb?a=1&b=2\nFaster import\n") << true
                               << QStringList {QStringLiteral("9.9|Faster import|http://x/varnel_9.9.deb?a=1&b=2")};
        QTest::newRow("latest, asked") << QByteArray(VARNEL_VERSION "\nu\nc\n") << false
                                       << QStringList {QStringLiteral("You have the latest version of Varnel!")};
        QTest::newRow("latest, automatic") << QByteArray(VARNEL_VERSION "\nu\nc\n") << true << QStringList {};
    }

    void updateCheck()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, hidden);
        QFETCH(QStringList, shown);
        FPages["/update/varnel.info"] = {200, {}, file};
        TOtherOptions &options = FConfig->GetOptions<TOtherOptions>();
        options.SetUpdateInfoURL(FServer->Url(QStringLiteral("/update/varnel.info")).toString());
        TfrmMain window(*FConfig, *FDm, FPrompts);
        window.Start(true);
        QVERIFY(!window.UpdateTimer()->isActive());
        QStringList seen;
        window.RunNewVersionDialog = [&](TfrmNewVersionInfo &dialog) {
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Varnel: New version"));
            FPrompts.Opened.clear();
            Q_EMIT dialog.UrlLabel()->linkActivated(QString());
            seen << dialog.VersionLabel()->text() + u'|' + dialog.ChangesLabel()->text() + u'|' + FPrompts.Opened.value(0);
        };
        FPrompts.Shown.clear();
        window.CheckForUpdate(hidden);
        QTRY_VERIFY(window.VersionCheckers().back()->isFinished());
        QTRY_VERIFY(window.StatusPane()->text().isEmpty());
        seen << FPrompts.Messages();
        QCOMPARE(seen, shown);

        options.SetCheckForUpdates(true);
        TfrmMain automatic(*FConfig, *FDm, FPrompts);
        automatic.Start(true);
        options.SetCheckForUpdates(false);
        QVERIFY(automatic.UpdateTimer()->isActive());
        QCOMPARE(automatic.UpdateTimer()->interval(), 10000);
        automatic.UpdateTimer()->stop();
    }

    // The clipboard's text is proposed when it holds "http://" anywhere, whole; an "https" address alone is not.
    void proposedAddress_data()
    {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("words first") << QStringLiteral("see http://www.example.org/a")
                                     << QStringLiteral("see http://www.example.org/a");
        QTest::newRow("https only") << QStringLiteral("https://doi.org/10.1000/1") << QString();
        QTest::newRow("no address") << QStringLiteral("Friction of films") << QString();
    }

    void proposedAddress()
    {
        QFETCH(QString, clipboard);
        QFETCH(QString, proposed);
        QCOMPARE(TfrmMain::ProposedAddress(clipboard), proposed);
    }

    // Three citation files: the progress shows 0, 33, 67 on the way, the count of files, the folder is kept,
    // and a companion PDF comes into the library with its paper.
    void fromFilesAndAttach()
    {
        QStringList files;
        for (const char *name : {"a", "b", "c"}) {
            const QString file = FDir->filePath(QStringLiteral("in/%1.ris").arg(QLatin1String(name)));
            QVERIFY(WriteTestFile(
                file, "TY  - JOUR\r\nT1  - Paper " + QByteArray(name) + "\r\nJO  - Tribology Letters\r\nER  - \r\n"));
            files << file;
        }
        QVERIFY(WriteTestFile(FDir->filePath(QStringLiteral("in/c.pdf")), "%PDF-1.4 c"));
        TfrmMain window(*FConfig, *FDm, FPrompts);
        window.Start(true);
        FPrompts.FileNames.enqueue(files);
        window.ImportFromFiles();
        QCOMPARE(window.ProgressPane()->value(), 67);
        QCOMPARE(window.StatusPane()->text(), QStringLiteral("3 papers were imported"));
        QCOMPARE(FConfig->GetOptions<TPathOptions>().LastOpenRISFolder(), FDir->filePath(QStringLiteral("in/")));
        QCOMPARE(window.JournalsTree()->currentIndex().data().toString(), QStringLiteral("Tribology Letters"));
        QCOMPARE(window.InfoPanel(TfrmMain::pgJournals)->TitleLabel()->text(), QStringLiteral("Paper c"));
        TPaperListModel &list = window.PaperModel(TfrmMain::pgJournals);
        const int c = window.PaperList(TfrmMain::pgJournals)->currentIndex().row();
        QVERIFY(list.Paper(c)->Local);

        // "Attach file ...": the file leaves its place for the focused paper's place in the library.
        window.PaperList(TfrmMain::pgJournals)->setCurrentIndex(list.index(c == 0 ? 1 : 0, 0));
        TPaperRecord *paper = list.Paper(window.PaperList(TfrmMain::pgJournals)->currentIndex().row());
        const QString attached = FDir->filePath(QStringLiteral("Downloads/full.pdf"));
        QVERIFY(WriteTestFile(attached, "%PDF-1.4 attached"));
        FPrompts.SetNextFileName(attached);
        window.AttachFile();
        QVERIFY(paper->Local);
        QVERIFY(!QFileInfo::exists(attached));
        QCOMPARE(ReadTestFile(StoredPaperPath(FConfig->LibraryFolder(), *paper)), QByteArray("%PDF-1.4 attached"));
        // The same file attached again is the paper's own: it stays.
        FPrompts.SetNextFileName(StoredPaperPath(FConfig->LibraryFolder(), *paper));
        window.AttachFile();
        QCOMPARE(ReadTestFile(StoredPaperPath(FConfig->LibraryFolder(), *paper)), QByteArray("%PDF-1.4 attached"));
    }

    // "Add from URL" needs the paper the PDF belongs to.
    void addFromUrlWithoutPaper()
    {
        TfrmMain window(*FConfig, *FDm, FPrompts);
        window.Start(true);
        window.ReloadLibraryViews(); // no paper shown
        FPrompts.Shown.clear();
        window.DownloadFromUrl();
        QCOMPARE(FPrompts.Messages(), QStringList {QStringLiteral("Select the paper the PDF belongs to first.")});
        QCOMPARE(window.DownloadQueue().Count(), 0);
    }
};

QTEST_MAIN(TestAddingPapers)
#include "tst_addingpapers.moc"
