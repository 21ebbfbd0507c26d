#include "MainWindow.h"
#include "PaperInfoPanel.h"
#include "RecordingPrompts.h"
#include "TestFiles.h"
#include "TestRecords.h"
#include "library/DataModule.h"
#include "shell/Config.h"
#include "web/LocalStatus.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

// The real window on a real library in a temporary data folder.
class TestMainWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> FDir;
    std::unique_ptr<TConfig> FConfig;
    TRecordingPrompts FPrompts;
    std::unique_ptr<TdmMain> FDm;
    int FCarbon = 0;
    int FGraphene = 0;

    int AddPaper(int jid, const QString &title, const QString &last)
    {
        TPaperRecord paper;
        paper.JID = jid;
        paper.PType = u'J';
        paper.Title = title;
        paper.Volume = QStringLiteral("50");
        paper.AuthorList = {{0, QStringLiteral("I."), last}};
        FDm->UpdatePaper(paper);
        return paper.ID;
    }

    std::unique_ptr<TfrmMain> Window()
    {
        auto window = std::make_unique<TfrmMain>(*FConfig, *FDm, FPrompts);
        window->Start(true);
        return window;
    }

private Q_SLOTS:
    void initTestCase()
    {
        FDir = std::make_unique<QTemporaryDir>();
        FConfig = std::make_unique<TConfig>(FDir->filePath(QStringLiteral("prog")), FDir->filePath(QStringLiteral("data")));
        FDm = std::make_unique<TdmMain>(FPrompts, [this] { return FConfig->LibraryFolder(); });
        QVERIFY(FDm->OpenLibrary(FConfig->GetSystemFileName(TVarnelSystemFile::sfDBFileName), QString(), false));
        for (const auto &[title, type] : {std::pair{"Carbon", u'J'}, std::pair{"Elsevier", u'P'}}) {
            TJournalRecord journal;
            journal.ID = -1;
            journal.Title = QString::fromLatin1(title);
            journal.JType = type;
            FDm->UpdateJournal(journal);
        }
        FCarbon = FDm->GetJournalID(QStringLiteral("Carbon"));
        FGraphene = AddPaper(FCarbon, QStringLiteral("Graphene growth"), QStringLiteral("Ivanov"));
        AddPaper(FCarbon, QStringLiteral("Nanotube wear"), QStringLiteral("Petrov"));
        AddPaper(FCarbon, QStringLiteral("Graphite films"), QStringLiteral("Smith"));
    }

    // A first start selects nothing; the finder, the selection flows and the page rules then work on the library.
    void firstStartAndSelections()
    {
        auto window = Window();
        QCOMPARE(window->windowTitle(), QStringLiteral("Varnel"));
        QCOMPARE(window->objectName(), QStringLiteral("TfrmMain"));
        QAbstractItemModel *journals = window->JournalsTree()->model();
        QCOMPARE(journals->rowCount(), 5);
        QCOMPARE(journals->index(0, 0, journals->index(0, 0)).data().toString(), QStringLiteral("Carbon"));
        QCOMPARE(journals->index(0, 0, journals->index(1, 0)).data().toString(), QStringLiteral("Elsevier"));
        QCOMPARE(window->PaperModel(TfrmMain::pgJournals).rowCount(), 0);

        window->JournalFinder()->setText(QStringLiteral("carb"));
        QCOMPARE(window->PaperModel(TfrmMain::pgJournals).rowCount(), 3);
        QCOMPARE(window->InfoPanel(TfrmMain::pgJournals)->TitleLabel()->text(), QStringLiteral("Graphene growth"));
        QVERIFY(window->CitationGroup()->isEnabled());
        QVERIFY(window->JournalGroup()->isEnabled());

        // A category disables the paper commands; another page enables them; back on the journals page they
        // are as the selection left them.
        window->JournalsTree()->setCurrentIndex(journals->index(0, 0));
        QVERIFY(!window->CitationGroup()->isEnabled());
        window->Pages()->setCurrentIndex(TfrmMain::pgSearch);
        QVERIFY(window->CitationGroup()->isEnabled());
        QVERIFY(!window->JournalGroup()->isEnabled());
        window->Pages()->setCurrentIndex(TfrmMain::pgGroups);
        window->Pages()->setCurrentIndex(TfrmMain::pgJournals);
        QVERIFY(!window->CitationGroup()->isEnabled());

        // Search page.
        window->Pages()->setCurrentIndex(TfrmMain::pgSearch);
        window->SearchField(QStringLiteral("Title"))->setText(QStringLiteral("Graph"));
        window->DatabaseSearch();
        QCOMPARE(window->PaperModel(TfrmMain::pgSearch).rowCount(), 2);
        QCOMPARE(window->InfoPanel(TfrmMain::pgSearch)->TitleLabel()->text(), QStringLiteral("Graphene growth"));

        // Quick search on the active list, with its wrap.
        window->LocatePaper(QStringLiteral("graph"), false);
        QCOMPARE(window->ActivePaperList()->currentIndex().row(), 0);
        window->LocatePaper(QStringLiteral("graph"), true);
        QCOMPARE(window->ActivePaperList()->currentIndex().row(), 1);
        window->LocatePaper(QStringLiteral("graph"), true);
        QCOMPARE(window->ActivePaperList()->currentIndex().row(), 0);

        // A finished download marks the paper in every list showing it.
        QCoreApplication::postEvent(window.get(), new TLocalStatusEvent({FGraphene, true}));
        QCoreApplication::sendPostedEvents(window.get());
        QVERIFY(window->PaperModel(TfrmMain::pgSearch).Paper(0)->Local);

        // The "Downloads" ribbon tab shows the downloads page; another tab brings the last page back.
        window->Ribbon()->setCurrentIndex(1);
        QCOMPARE(window->Pages()->currentIndex(), int(TfrmMain::pgDownloads));
        window->Ribbon()->setCurrentIndex(0);
        QCOMPARE(window->Pages()->currentIndex(), int(TfrmMain::pgSearch));

        // Back to Carbon for the next start; closing writes the column layouts.
        window->Pages()->setCurrentIndex(TfrmMain::pgJournals);
        window->JournalFinder()->clear();
        window->JournalFinder()->setText(QStringLiteral("carb"));
        window->PaperList(TfrmMain::pgJournals)->setCurrentIndex(window->PaperModel(TfrmMain::pgJournals).index(2, 0));
        window->close();
        QVERIFY(ReadTestFile(FConfig->GetSystemFileName(TVarnelSystemFile::sfColumnsStore)).contains("[COLUMNS_JOURNALS]"));
    }

    // The header menu: checked for the shown columns, "Journal" and "No" on the groups list only; choosing
    // "Pages" removes the column and rewrites the layouts at once, choosing it again adds it at the end.
    void headerMenu()
    {
        auto window = Window();
        window->Pages()->setCurrentIndex(TfrmMain::pgJournals);
        window->SyncHeaderMenu();
        const auto entry = [&window](const QString &caption) {
            for (QAction *action : window->HeaderMenu()->actions())
                if (action->text() == caption)
                    return action;
            return static_cast<QAction *>(nullptr);
        };
        QVERIFY(entry(QStringLiteral("Pages"))->isChecked());
        QVERIFY(!entry(QStringLiteral("Journal"))->isVisible());
        QVERIFY(!entry(QStringLiteral("No"))->isVisible());
        window->HeaderMenuClick(97);
        TPaperListModel &model = window->PaperModel(TfrmMain::pgJournals);
        QCOMPARE(model.ColumnOfTag(97), -1);
        QVERIFY(!entry(QStringLiteral("Pages"))->isChecked());
        // All three sections are written at once; the journals section has one column fewer.
        TColumns saved(FConfig->GetSystemFileName(TVarnelSystemFile::sfColumnsStore));
        saved.Load(TColumns::JournalsSection);
        QCOMPARE(saved.Count(), model.columnCount());
        for (int i = 0; i < saved.Count(); ++i)
            QVERIFY(saved.GetColumn(i).Tag != 97);
        QVERIFY(ReadTestFile(FConfig->GetSystemFileName(TVarnelSystemFile::sfColumnsStore)).contains("[COLUMNS_GROUPS]"));
        window->HeaderMenuClick(97);
        QCOMPARE(model.ColumnOfTag(97), model.columnCount() - 1);
        QCOMPARE(model.headerData(model.columnCount() - 1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Pages"));
        window->Pages()->setCurrentIndex(TfrmMain::pgGroups);
        window->SyncHeaderMenu();
        QVERIFY(entry(QStringLiteral("Journal"))->isVisible() && entry(QStringLiteral("Journal"))->isChecked());
        QVERIFY(entry(QStringLiteral("No"))->isVisible() && entry(QStringLiteral("No"))->isChecked());
        window->Pages()->setCurrentIndex(TfrmMain::pgJournals);
    }

    // A second start brings back the page, the journal and the paper.
    void restartRestoresSelections()
    {
        auto window = Window();
        QCOMPARE(window->Pages()->currentIndex(), int(TfrmMain::pgJournals));
        const QModelIndex journal = window->JournalsTree()->currentIndex();
        QCOMPARE(journal.data().toString(), QStringLiteral("Carbon"));
        QCOMPARE(window->PaperList(TfrmMain::pgJournals)->currentIndex().row(), 2);
        QCOMPARE(window->InfoPanel(TfrmMain::pgJournals)->TitleLabel()->text(),
                 window->PaperModel(TfrmMain::pgJournals).Paper(2)->Title);
    }

    // A start whose argument is a citation file imports it and selects its paper instead of the last one.
    void startWithACitationFile()
    {
        const QString file = FDir->filePath(QStringLiteral("new.ris"));
        QVERIFY(WriteTestFile(file, "TY  - JOUR\r\nT1  - Diamond coatings\r\nJO  - Carbon\r\nER  - \r\n"));
        TfrmMain window(*FConfig, *FDm, FPrompts);
        TStartupRequest request;
        request.ImportFile = file;
        window.Start(true, request);
        QCOMPARE(window.JournalsTree()->currentIndex().data().toString(), QStringLiteral("Carbon"));
        QCOMPARE(window.InfoPanel(TfrmMain::pgJournals)->TitleLabel()->text(), QStringLiteral("Diamond coatings"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
