#include "Commands.h"
#include "LibraryFixture.h"
#include "MainWindow.h"
#include "MemoryDocument.h"
#include "Ribbon.h"
#include "TestFiles.h"
#include "shell/PaperFiles.h"
#include "shell/VarnelError.h"
#include "wordlink/CitationSource.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QTest>
#include <QTreeView>

// The window's exports, archive and list-file commands on a real library, with the folder and file dialogs
// answered by the test.
class TestLibraryCommands : public QObject, private TLibraryFixture
{
    Q_OBJECT

    std::unique_ptr<TfrmMain> FWindow;

    // Two articles of "Wear" from citation files, the second with its PDF beside it; the second is selected.
    void ImportTwoPapers()
    {
        const QString in = FDir->filePath(QStringLiteral("in/"));
        for (const char *name : {"first", "second"})
            QVERIFY(WriteTestFile(in + QLatin1String(name) + QStringLiteral(".ris"),
                "TY  - JOUR\r\nT1  - The " + QByteArray(name) + " paper\r\nJO  - Wear\r\nJA  - Wear\r\nVL  - "
                    + QByteArray(name == QByteArrayView("first") ? "1" : "2")
                    + "\r\nPY  - 2020\r\nAU  - Ivanov, Ivan\r\nER  - \r\n"));
        QVERIFY(WriteTestFile(in + QStringLiteral("second.pdf"), "%PDF-1.4 second"));
        FWindow->ImportFile(in + QStringLiteral("first.ris"));
        FWindow->ImportFile(in + QStringLiteral("second.ris"));
    }

    int JournalNodes() const { return FWindow->JournalsTree()->model()->rowCount(FWindow->JournalsTree()->model()->index(0, 0)); }

private Q_SLOTS:
    void init()
    {
        QVERIFY(OpenLibrary());
        FWindow = std::make_unique<TfrmMain>(*FConfig, *FDm, FPrompts);
        FWindow->Start(true);
        ImportTwoPapers();
    }

    void cleanup() { FWindow.reset(); }

    // The chosen papers (the selected one and the checked ones) as RIS files and as full-text files: each
    // command remembers its folder, a paper without its file is counted but copies nothing, and the checks
    // are taken.
    void exports()
    {
        TPaperListModel &list = FWindow->PaperModel(TfrmMain::pgJournals);
        QCOMPARE(list.rowCount(), 2);
        for (int row = 0; row < 2; ++row)
            list.setData(list.index(row, 0), Qt::Checked, Qt::CheckStateRole);
        const QString ris = FDir->filePath(QStringLiteral("out/ris"));
        QDir().mkpath(ris);
        FPrompts.SetNextFileName(ris);
        FWindow->ExportRIS();
        QCOMPARE(QDir(ris).entryList(QDir::Files, QDir::Name),
            (QStringList {QStringLiteral("Ivanov, Wear (1-2020).ris"), QStringLiteral("Ivanov, Wear (2-2020).ris")}));
        QCOMPARE(FConfig->GetOptions<TPathOptions>().LastSaveRISFolder(), ris);
        QVERIFY(list.CheckedPapers(std::nullopt).empty());

        for (int row = 0; row < 2; ++row)
            list.setData(list.index(row, 0), Qt::Checked, Qt::CheckStateRole);
        const QString both = FDir->filePath(QStringLiteral("out/both"));
        QDir().mkpath(both);
        FPrompts.SetNextFileName(both);
        FWindow->ExportFullTexts(true);
        QCOMPARE(QDir(both).entryList(QDir::Files, QDir::Name),
            (QStringList {QStringLiteral("Ivanov, Wear (1-2020).ris"), QStringLiteral("Ivanov, Wear (2-2020).pdf"),
                QStringLiteral("Ivanov, Wear (2-2020).ris")}));
        QCOMPARE(FConfig->GetOptions<TPathOptions>().LastSavePDFFolder(), both);

        const QString all = FDir->filePath(QStringLiteral("out/all"));
        QDir().mkpath(all);
        FPrompts.SetNextFileName(all);
        FWindow->ExportAll();
        QCOMPARE(QDir(all).entryList(QDir::Files).size(), 2);
        QCOMPARE(FWindow->StatusPane()->text(), QStringLiteral("2 papers were exported"));
        QCOMPARE(FConfig->GetOptions<TPathOptions>().LastSaveAllFolder(), all);

        // A cancelled folder choice writes nothing and keeps the folder.
        FWindow->ExportRIS();
        QCOMPARE(FConfig->GetOptions<TPathOptions>().LastSaveRISFolder(), ris);
    }

    // Backup, "Empty Database" after its question, and restore: the views follow the library each time, the
    // archive's folder is remembered and the name without extension gets ".vbk".
    void backupEmptyRestore()
    {
        FDm->AddGroup(QStringLiteral("Tribology"), 0);
        FWindow->ReloadLibraryViews();
        const QString archive = FDir->filePath(QStringLiteral("backups/library"));
        QDir().mkpath(FDir->filePath(QStringLiteral("backups")));
        FPrompts.SetNextFileName(archive);
        FWindow->BackupDatabase();
        QVERIFY(QFileInfo::exists(archive + QStringLiteral(".vbk")));
        QCOMPARE(FConfig->GetOptions<TPathOptions>().LastBackupFolder(), FDir->filePath(QStringLiteral("backups/")));
        QCOMPARE(JournalNodes(), 1);

        FPrompts.Shown.clear();
        FPrompts.SetNextAnswer(false);
        FWindow->RecreateDatabase();
        QCOMPARE(FPrompts.Shown.value(0).Caption, QStringLiteral("Varnel: Empty database"));
        QCOMPARE(FPrompts.Shown.value(0).Text, QStringLiteral("Do you really want to empty the database? All data will be lost!"));
        QCOMPARE(JournalNodes(), 1); // No: nothing changed

        FPrompts.SetNextAnswer(true);
        FWindow->RecreateDatabase();
        QCOMPARE(JournalNodes(), 0);
        QCOMPARE(FWindow->PaperModel(TfrmMain::pgJournals).rowCount(), 0);
        QVERIFY(!FWindow->FocusedPaper());
        const int groupsBefore = FWindow->GroupsTree()->model()->rowCount();

        FPrompts.SetNextFileName(archive + QStringLiteral(".vbk"));
        FWindow->RestoreDatabase();
        QCOMPARE(JournalNodes(), 1);
        QCOMPARE(FWindow->GroupsTree()->model()->rowCount(), groupsBefore + 1); // "Tribology" is back
        TPapers papers;
        FDm->PrepareAllPaperList();
        FDm->GetPapers(papers);
        QCOMPARE(papers.size(), std::size_t(2));
        // The local-file flags were synced with the library folder, where the second paper's PDF still is.
        QCOMPARE(std::count_if(papers.begin(), papers.end(), [](const auto &paper) { return paper->Local; }), 1);
        QVERIFY(!FWindow->Ribbon()->Templates()->currentText().isEmpty());
    }

    // Styles and groups through their list files: an import replaces every style (the selector follows and
    // keeps the current style when it is still there) and adds the groups with their papers.
    void listFiles()
    {
        const QString styles = FDir->filePath(QStringLiteral("lists/styles"));
        QDir().mkpath(FDir->filePath(QStringLiteral("lists")));
        FPrompts.SetNextFileName(styles);
        FWindow->ExportTemplates();
        QVERIFY(QFileInfo::exists(styles + QStringLiteral(".tlst")));
        QComboBox *selector = FWindow->Ribbon()->Templates();
        const QString current = selector->currentText();
        const int count = selector->count();
        QVERIFY(count > 1);
        TTemplates added;
        added.push_back(std::make_unique<TTemplateRecord>());
        added.back()->Title = QStringLiteral("Not in the file");
        FDm->SetTemplates(added);
        FPrompts.SetNextFileName(styles + QStringLiteral(".tlst"));
        FWindow->ImportTemplates();
        TTemplates imported;
        FDm->GetTemplates(imported);
        QCOMPARE(int(imported.size()), count); // the style added since is gone
        QCOMPARE(selector->count(), count);
        QCOMPARE(selector->currentText(), current);

        TPaperListModel &list = FWindow->PaperModel(TfrmMain::pgJournals);
        const int id = list.Paper(FWindow->PaperList(TfrmMain::pgJournals)->currentIndex().row())->ID;
        FWindow->AddCheckedToGroup(1);
        const QString groups = FDir->filePath(QStringLiteral("lists/groups.glst"));
        FPrompts.SetNextFileName(groups);
        FWindow->ExportGroups();
        QVERIFY(ReadTestFile(groups).startsWith("\xEF\xBB\xBF"));
        FDm->ClearGoup(1);
        FPrompts.SetNextFileName(groups);
        FWindow->ImportGroups();
        FWindow->SelectGroupAndPaper(id, 1);
        QVERIFY(FWindow->PaperModel(TfrmMain::pgGroups).RowOfPaper(id) >= 0);
    }

    // The word-processor commands on the document the window is handed: the selected paper cited at the
    // cursor (fast insertion as the settings say), the reference list pasted in the current style, the
    // bracketed numbers of the text made citations of the selected group and the cited papers extracted into
    // it. Without a word processor, or without a group, the user is told.
    void wordCommands()
    {
        QVERIFY_THROWS_EXCEPTION(EVarnelError, FWindow->WordPaste());
        auto document = std::make_shared<TMemoryDocument>(QStringLiteral("Shown "));
        FWindow->OpenWordDocument = [document] { return document; };
        TPaperRecord *paper = FWindow->FocusedPaper();
        QVERIFY(paper);
        const QString tag = paper->FileName;
        FWindow->Commands()["WordPaste"]->trigger();
        QCOMPARE(document->Text(), QStringLiteral("Shown [") + tag + u']'); // fast insertion: not refreshed
        QAction *fast = FWindow->Commands()["actWordFastMode"];
        QVERIFY(fast->isChecked());
        fast->trigger();
        QVERIFY(!FConfig->GetOptions<TOtherOptions>().FastWordInsertion());
        FWindow->WordPaste();
        QCOMPARE(document->Text(), QStringLiteral("Shown [1][1]"));
        FWindow->WordPrepareList();
        QCOMPARE(document->SourceCount(), 1);
        QCOMPARE(document->Text(),
            QStringLiteral("Shown [1][1]") + FWindow->Templater().ParseString(*paper, 1) + QStringLiteral("\r\n"));

        FWindow->GroupsTree()->setCurrentIndex(QModelIndex());
        FPrompts.Shown.clear();
        FWindow->WordObjectsToGroup();
        QCOMPARE(FPrompts.Messages(), QStringList {QStringLiteral("Select the group on the Groups page first.")});
        FWindow->SelectGroupAndPaper(0, 1); // Favorites, empty so far
        FWindow->WordObjectsToGroup();
        QCOMPARE(FWindow->PaperModel(TfrmMain::pgGroups).rowCount(), 1);
        QCOMPARE(FWindow->PaperModel(TfrmMain::pgGroups).Paper(0)->ID, paper->ID);

        auto numbered = std::make_shared<TMemoryDocument>(QStringLiteral("As in [1]."));
        FWindow->OpenWordDocument = [numbered] { return numbered; };
        FWindow->WordConvertToObjects();
        QCOMPARE(numbered->Text(), QStringLiteral("As in [1]."));
        QCOMPARE(numbered->FieldCount(), 1);
        QCOMPARE(CitationTag(numbered->FieldCode(1)), tag);
        FWindow->WordConvertToText();
        QCOMPARE(numbered->FieldCount(), 0);
    }
};

QTEST_MAIN(TestLibraryCommands)
#include "tst_librarycommands.moc"
