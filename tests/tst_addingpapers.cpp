#include "LibraryFixture.h"
#include "MainWindow.h"
#include "PaperInfoPanel.h"
#include "TestFiles.h"
#include "shell/PaperFiles.h"

#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <QTreeView>

// Bringing papers and files in through the window, on a real library; nothing here reaches the network.
class TestAddingPapers : public QObject, private TLibraryFixture
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(OpenLibrary()); }

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
