#include "Commands.h"
#include "LibraryFixture.h"
#include "MainWindow.h"
#include "PaperInfoPanel.h"
#include "PdfViewer.h"
#include "Ribbon.h"
#include "TestFiles.h"
#include "TestRecords.h"
#include "library/DataModule.h"
#include "shell/Config.h"
#include "web/LocalStatus.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPdfDocument>
#include <QPrinter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

// The real window on a real library in a temporary data folder.
class TestMainWindow : public QObject, private TLibraryFixture
{
    Q_OBJECT

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
        QVERIFY(OpenLibrary());
        FCarbon = AddJournal(QStringLiteral("Carbon"));
        AddJournal(QStringLiteral("Elsevier"), u'P');
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
        // No INI file yet: the default place and size, the normal layout everywhere, the default style.
        QCOMPARE(window->geometry(), QRect(100, 100, 900, 780));
        for (int page = 0; page < 3; ++page)
            QVERIFY(!window->WideMode(page) && window->PdfSheet(page));
        QCOMPARE(window->Ribbon()->Templates()->currentText(), QStringLiteral("Thin Solid Films"));
        QCOMPARE(window->Templater().Template()->Title, QStringLiteral("Thin Solid Films"));
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
        QVERIFY(
            ReadTestFile(FConfig->GetSystemFileName(TVarnelSystemFile::sfColumnsStore)).contains("[COLUMNS_JOURNALS]"));
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
        QVERIFY(
            ReadTestFile(FConfig->GetSystemFileName(TVarnelSystemFile::sfColumnsStore)).contains("[COLUMNS_GROUPS]"));
        window->HeaderMenuClick(97);
        QCOMPARE(model.ColumnOfTag(97), model.columnCount() - 1);
        QCOMPARE(model.headerData(model.columnCount() - 1, Qt::Horizontal, Qt::DisplayRole).toString(),
            QStringLiteral("Pages"));
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

    // Moving one splitter brings back that splitter alone at the next start; the others keep their places.
    void splittersRestored()
    {
        TWindowOptions &options = FConfig->GetOptions<TWindowOptions>();
        const int search = options.SplitterS();
        options.SetSplitterJ(65); // as the last run left it
        {
            auto window = Window();
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        }
        QVERIFY2(std::abs(options.SplitterJ() - 65) <= 1, qPrintable(QString::number(options.SplitterJ())));
        QVERIFY2(std::abs(options.SplitterS() - search) <= 1, qPrintable(QString::number(options.SplitterS())));
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

    // Every command has its place, caption, shortcut and screen tip; one with no work behind it yet is shown
    // but cannot be chosen (the download ordering buttons never can).
    void commands_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("group"); // "tab/group" on the ribbon, empty for a command without a button
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shortcut");
        QTest::addColumn<QString>("tip");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("read") << QStringLiteral("PaperRead") << QStringLiteral("Content/Citation")
                              << QStringLiteral("&Read") << QStringLiteral("Shift+Return")
                              << QStringLiteral("Open selected paper in the external PDF Viewer") << true;
        QTest::newRow("delete journal in the drop-down")
            << QStringLiteral("JournalDelete") << QStringLiteral("Content/Journal") << QStringLiteral("&Delete journal")
            << QStringLiteral("") << QStringLiteral("all sub-entries will be deleted") << false;
        QTest::newRow("copy") << QStringLiteral("PaperCopyRef") << QStringLiteral("Content/Export")
                              << QStringLiteral("&Copy") << QStringLiteral("Ctrl+C")
                              << QStringLiteral("Copy formatted reference to clipboard") << true;
        QTest::newRow("export ris") << QStringLiteral("FileSaveRIS") << QStringLiteral("Content/Export")
                                    << QStringLiteral("& Export RIS ...") << QStringLiteral("Ctrl+S")
                                    << QStringLiteral("Export selected entries") << true;
        QTest::newRow("word") << QStringLiteral("WordPaste") << QStringLiteral("Content/Export")
                              << QStringLiteral("&Word") << QStringLiteral("")
                              << QStringLiteral("Paste selected papers as citations") << true;
        QTest::newRow("favorites") << QStringLiteral("PaperAddToFavorites") << QStringLiteral("Content/Manage group")
                                   << QStringLiteral("F&avorites") << QStringLiteral("Ctrl+0")
                                   << QStringLiteral("Add selected entry to Favorites") << true;
        QTest::newRow("wide") << QStringLiteral("actViewMode") << QStringLiteral("Content/View")
                              << QStringLiteral("&Wide") << QStringLiteral("")
                              << QStringLiteral("Toggle layout  between normal/wide screen") << true;
        QTest::newRow("uncheck") << QStringLiteral("actTreeUncheckAll") << QStringLiteral("Content/Citation")
                                 << QStringLiteral("&UnCheck") << QStringLiteral("")
                                 << QStringLiteral("UnCheck all items") << true;
        QTest::newRow("quick search") << QStringLiteral("actFastSearch") << QStringLiteral("Tools/Search")
                                      << QStringLiteral("&In active\nlist") << QStringLiteral("F3")
                                      << QStringLiteral("(F3)") << true;
        QTest::newRow("download order") << QStringLiteral("DwnlUp") << QStringLiteral("Downloads/Organize")
                                        << QStringLiteral("&DwnlUp") << QStringLiteral("") << QStringLiteral("")
                                        << false;
        QTest::newRow("first is last") << QStringLiteral("DwnlLast") << QStringLiteral("Downloads/Organize")
                                       << QStringLiteral("&First") << QStringLiteral("") << QStringLiteral("") << false;
        QTest::newRow("clear downloads") << QStringLiteral("DwnlClear") << QStringLiteral("Downloads/List")
                                         << QStringLiteral("&Clear") << QStringLiteral("")
                                         << QStringLiteral("Clear the list of downloads") << true;
        QTest::newRow("update database") << QStringLiteral("DBUpdate") << QStringLiteral("Tools/Database")
                                         << QStringLiteral("&Update") << QStringLiteral("")
                                         << QStringLiteral("Make a backup first!") << true;
        QTest::newRow("help") << QStringLiteral("Help") << QStringLiteral("Help/Help")
                              << QStringLiteral("&Help content") << QStringLiteral("F1") << QStringLiteral("") << true;
        QTest::newRow("groups page") << QStringLiteral("acGroupShow") << QStringLiteral("") << QStringLiteral("Groups")
                                     << QStringLiteral("Ctrl+Alt+G") << QStringLiteral("") << true;
        QTest::newRow("never shown") << QStringLiteral("TemplateEdit") << QStringLiteral("") << QStringLiteral("Edit")
                                     << QStringLiteral("") << QStringLiteral("") << false;
    }

    void commands()
    {
        QFETCH(QString, name);
        QFETCH(QString, group);
        QFETCH(QString, caption);
        QFETCH(QString, shortcut);
        QFETCH(QString, tip);
        QFETCH(bool, enabled);
        auto window = Window();
        window->Pages()->setCurrentIndex(TfrmMain::pgJournals);
        window->Pages()->setCurrentIndex(TfrmMain::pgSearch); // the page rules apply last
        QAction *command = window->Commands().Get(name);
        QCOMPARE(command->iconText(), QString(caption).replace(QLatin1String("\\n"), QLatin1String("\n")));
        QCOMPARE(command->shortcut().toString(QKeySequence::PortableText), shortcut);
        QVERIFY2(command->toolTip().contains(tip), qPrintable(command->toolTip()));
        QCOMPARE(command->isEnabled(), enabled);
        if (group.isEmpty())
            return;
        const QStringList place = group.split(QLatin1Char('/'));
        QWidget *box = window->Ribbon()->Group(place[0], place[1]);
        QVERIFY(box);
        bool placed = false;
        for (QToolButton *button : box->findChildren<QToolButton *>()) {
            placed = placed || button->defaultAction() == command;
            if (button->menu())
                placed = placed || button->menu()->actions().contains(command);
        }
        QVERIFY(placed);
    }

    // The commands of this window at work: the tree walk of Ctrl+Right, the wide layout, "Go to Journal", the
    // statistics, the help pages at their anchors, the database update and the journal panel's "Copy".
    void commandsAtWork()
    {
        FDm->AddGroup(QStringLiteral("Reading"), 0);
        TGroups groups;
        FDm->GetGroups(groups);
        TPapers papers;
        FDm->PreparePaperJID(FCarbon);
        FDm->GetPapers(papers, false);
        papers.resize(2);
        // "Reading" (a new group outside any folder) comes before "Favorites" in the tree.
        const auto byTitle = [&groups](const QString &title) {
            return (*std::find_if(groups.begin(), groups.end(), [&title](const auto &g) {
                return g->Title == title;
            }))->ID;
        };
        FDm->AddToGroup(byTitle(QStringLiteral("Reading")), papers);
        FConfig->GetOptions<TLastOptions>().SetLastGroup(byTitle(QStringLiteral("Favorites")));

        auto window = Window();
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        window->Pages()->setCurrentIndex(TfrmMain::pgGroups);
        QCOMPARE(window->GroupsTree()->currentIndex().data().toString(), QStringLiteral("Favorites"));
        QTest::keyClick(window->GroupsTree(), Qt::Key_Left, Qt::ControlModifier);
        QCOMPARE(window->GroupsTree()->currentIndex().data().toString(), QStringLiteral("Reading"));
        QCOMPARE(window->PaperList(TfrmMain::pgGroups)->currentIndex().row(), 0);
        QCOMPARE(window->InfoPanel(TfrmMain::pgGroups)->TitleLabel()->text(),
            window->PaperModel(TfrmMain::pgGroups).Paper(0)->Title);
        QTest::keyClick(window->GroupsTree(), Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(window->GroupsTree()->currentIndex().data().toString(), QStringLiteral("Favorites"));
        QTest::keyClick(window->GroupsTree(), Qt::Key_Left, Qt::ControlModifier);

        // The wide layout takes away the "View PDF" tab and shows the viewer beside the list; back to normal,
        // the tab comes back as the last one.
        window->Commands()["actViewMode"]->trigger();
        QVERIFY(window->WideMode(TfrmMain::pgGroups));
        QVERIFY(!window->PdfSheet(TfrmMain::pgGroups));
        QCOMPARE(window->DetailTabs(TfrmMain::pgGroups)->count(), 1);
        QVERIFY(window->Viewer(TfrmMain::pgGroups)->isVisible());
        window->Commands()["actViewMode"]->trigger();
        QTabWidget *tabs = window->DetailTabs(TfrmMain::pgGroups);
        QCOMPARE(tabs->indexOf(window->PdfSheet(TfrmMain::pgGroups)), tabs->count() - 1);
        QCOMPARE(tabs->tabText(tabs->count() - 1), QStringLiteral("View PDF"));
        QVERIFY(window->Viewer(TfrmMain::pgGroups)->isVisibleTo(window->PdfSheet(TfrmMain::pgGroups)));

        // "Go to Journal" from the groups list.
        window->PaperMenu(TfrmMain::pgGroups)->actions().at(4)->trigger();
        QCOMPARE(window->Pages()->currentIndex(), int(TfrmMain::pgJournals));
        QCOMPARE(window->JournalsTree()->currentIndex().data().toString(), QStringLiteral("Carbon"));
        QCOMPARE(window->InfoPanel(TfrmMain::pgJournals)->TitleLabel()->text(),
            window->PaperModel(TfrmMain::pgGroups).Paper(0)->Title);
        QStringList captions;
        for (QAction *entry : window->PaperMenu(TfrmMain::pgGroups)->actions())
            captions << (entry->isSeparator() ? QStringLiteral("-") : entry->text());
        QCOMPARE(captions,
            QStringLiteral(
                "Read|Copy as formatted text|Edit|Add to downloads|Go to Journal|-|Delete from Group|-|Delete")
                .split(QLatin1Char('|')));

        FPrompts.Shown.clear();
        window->Commands()["actDBStatistics"]->trigger();
        QCOMPARE(FPrompts.Messages().value(0), QStringLiteral("Database contents:\n\nJournals: 4\nPapers: 4"));

        // Help: without the pages the user is told; with them each context number has its anchor.
        window->Commands()["Help"]->trigger();
        QVERIFY(FPrompts.Messages().last().startsWith(QStringLiteral("The help pages were not found")));
        const QString help = FConfig->ProgramFolder() + QStringLiteral("help/index.html");
        QVERIFY(QDir().mkpath(FConfig->ProgramFolder() + QStringLiteral("help")));
        QVERIFY(QFile::copy(QStringLiteral(VARNEL_FIXTURES "/../../docs/help/index.html"), help));
        window->Commands()["actQuickStart"]->trigger();
        QCOMPARE(FPrompts.Opened.last(), QUrl::fromLocalFile(help).toString() + QStringLiteral("#context-60"));
        window->Commands()["Help"]->trigger();
        QCOMPARE(FPrompts.Opened.last(), QUrl::fromLocalFile(help).toString());
        const QByteArray pages = ReadTestFile(help);
        for (int context : {60, 133, 143, 144, 303, 304, 700, 900})
            QVERIFY2(pages.contains(QByteArray(QByteArray("id=\"context-") + QByteArray::number(context) + '"')),
                qPrintable(QString::number(context)));

        // The update action: the script the user picks runs; an unreadable one is reported, not called done.
        FPrompts.Shown.clear();
        const QString script = FDir->filePath(QStringLiteral("extra.sql"));
        QVERIFY(WriteTestFile(script,
            "INSERT INTO GROUPS (ID, TITLE, CODE, ORD) VALUES (GEN_ID(GEN_GROUPS_ID, 1), 'From script', 0, 0);\n"));
        FPrompts.SetNextFileName(script);
        window->Commands()["DBUpdate"]->trigger();
        QCOMPARE(FPrompts.Shown.value(0).Caption, QStringLiteral("Open update file"));
        QCOMPARE(FPrompts.Messages().last(), QStringLiteral("Database update complete!"));
        FDm->GetGroups(groups);
        QVERIFY(std::any_of(
            groups.begin(), groups.end(), [](const auto &g) { return g->Title == QStringLiteral("From script"); }));
        FPrompts.SetNextFileName(FDir->filePath(QStringLiteral("missing.sql")));
        window->Commands()["DBUpdate"]->trigger();
        QVERIFY(FPrompts.Messages().last() != QStringLiteral("Database update complete!"));
        QCOMPARE(FPrompts.Shown.last().MessageKind, TMessageKind::mkError);

        // The journal panel's "Copy": the label's text; nothing to copy over the panel's background.
        QLabel *title = window->JournalTitleLabel();
        QAction *copy = window->JournalPanelMenu()->actions().first();
        Q_EMIT title->customContextMenuRequested(QPoint(1, 1));
        QVERIFY(copy->isEnabled());
        copy->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Carbon"));
        window->JournalPanelMenu()->hide();
        Q_EMIT title->parentWidget()->customContextMenuRequested(QPoint(1, 1));
        QVERIFY(!copy->isEnabled());
        window->JournalPanelMenu()->hide();
    }

    // Copy: the chosen papers' references numbered in list order, as text and as RTF with one hanging-indent
    // paragraph each; the gallery's numbering stands in for the style's. Print: the same lines on the printer.
    void copyAndPrint()
    {
        auto window = Window();
        window->JournalFinder()->setText(QStringLiteral("carb"));
        QTreeView *list = window->PaperList(TfrmMain::pgJournals);
        TPaperListModel &model = window->PaperModel(TfrmMain::pgJournals);
        // Graphene growth (Ivanov) checked, Graphite films (Smith) selected: list order decides the numbers.
        int graphite = 0;
        while (model.Paper(graphite)->Title != QStringLiteral("Graphite films"))
            ++graphite;
        const int graphene = model.RowOfPaper(FGraphene);
        const int first = std::min(graphene, graphite);
        const int second = std::max(graphene, graphite);
        const auto choose = [&] {
            list->clearSelection();
            list->selectionModel()->select(
                model.index(graphite, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
            model.setData(model.index(graphene, model.ColumnOfTag(90)), Qt::Checked, Qt::CheckStateRole);
        };
        choose();
        window->Commands()["NumberArabicSquareActn"]->setChecked(true);
        window->Commands()["PaperCopyRef"]->trigger();
        const QMimeData *copied = QApplication::clipboard()->mimeData();
        const QStringList lines = copied->text().split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 3); // two references, each followed by CR LF
        QVERIFY2(lines[0].startsWith(QStringLiteral("[1] "))
                && lines[0].contains(model.Paper(first)->AuthorList.front().Last),
            qPrintable(lines[0]));
        QVERIFY2(lines[1].startsWith(QStringLiteral("[2] "))
                && lines[1].contains(model.Paper(second)->AuthorList.front().Last),
            qPrintable(lines[1]));
        const QByteArray rtf = copied->data(QStringLiteral("text/rtf"));
        QVERIFY(rtf.startsWith("{\\rtf1") && rtf.contains("\\fi-426\\li426"));
        QCOMPARE(rtf.count("\\par "), 2);
        QCOMPARE(model.CheckedPapers(std::nullopt).size(), size_t(0)); // the checks were taken

        choose();
        window->Commands()["NumberNoneActn"]->setChecked(true);
        window->Commands()["PaperCopyRef"]->trigger();
        const QStringList unnumbered = QApplication::clipboard()->text().split(QStringLiteral("\r\n"));
        QCOMPARE(unnumbered[0], lines[0].mid(4));
        QCOMPARE(unnumbered[1], lines[1].mid(4));

        choose();
        window->Commands()["NumberArabicDotActn"]->setChecked(true);
        const QString pdf = FDir->filePath(QStringLiteral("printed.pdf"));
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        window->PrintReferences(printer);
        QPdfDocument document;
        QCOMPARE(document.load(pdf), QPdfDocument::Error::None);
        const QString printed = document.getAllText(0).text();
        QVERIFY2(
            printed.contains(QStringLiteral("1. ")) && printed.contains(QStringLiteral("2. ")), qPrintable(printed));
        QVERIFY(printed.contains(model.Paper(second)->AuthorList.front().Last));
    }

    // RIS text on the clipboard becomes a paper, selected in its journal.
    void importFromClipboard()
    {
        TfrmMain window(*FConfig, *FDm, FPrompts);
        window.Start(true);
        QApplication::clipboard()->setText(
            QStringLiteral("TY  - JOUR\r\nT1  - Boron nitride sheets\r\nJO  - Ceramics\r\nER  - \r\n"));
        window.Commands()["ImportFromClipboard"]->trigger();
        QCOMPARE(window.JournalsTree()->currentIndex().data().toString(), QStringLiteral("Ceramics"));
        QCOMPARE(window.InfoPanel(TfrmMain::pgJournals)->TitleLabel()->text(), QStringLiteral("Boron nitride sheets"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
