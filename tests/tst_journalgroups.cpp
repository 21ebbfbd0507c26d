#include "Commands.h"
#include "JournalEditor.h"
#include "LibraryFixture.h"
#include "MainWindow.h"
#include "PaperInfoPanel.h"
#include "Ribbon.h"
#include "TestFiles.h"
#include "library/DataModule.h"
#include "shell/Config.h"
#include "shell/PaperFiles.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

// Journal and group commands of the real window on a real library, the journal editor answered by the test.
class TestJournalGroups : public QObject, private TLibraryFixture
{
    Q_OBJECT

    std::unique_ptr<TfrmMain> FWindow;
    int FCarbon = 0;
    QList<int> FPapers;

    int AddPaper(int jid, const QString &title)
    {
        TPaperRecord paper;
        paper.JID = jid;
        paper.PType = u'J';
        paper.Title = title;
        paper.Volume = QStringLiteral("7");
        paper.AuthorList = {{0, QStringLiteral("A."), title.section(u' ', 0, 0)}};
        FDm->UpdatePaper(paper);
        return paper.ID;
    }

    TGroupRecord Group(const QString &title)
    {
        TGroups groups;
        FDm->GetGroups(groups);
        for (const auto &group : groups)
            if (group->Title == title)
                return *group;
        return {};
    }

    QModelIndex GroupNode(const QString &title)
    {
        return FWindow->GroupsTree()
            ->model()
            ->match(FWindow->GroupsTree()->model()->index(0, 0), Qt::DisplayRole, title, 1,
                Qt::MatchExactly | Qt::MatchRecursive)
            .value(0);
    }

    QStringList GroupOrder()
    {
        QStringList titles;
        TPaperListModel &model = FWindow->PaperModel(TfrmMain::pgGroups);
        for (int row = 0; row < model.rowCount(); ++row)
            titles << model.Paper(row)->Title;
        return titles;
    }

    static QStringList Titles(const char *titles) { return QString::fromUtf8(titles).split(u'|'); }

    void Trigger(const char *command) { FWindow->Commands()[command]->trigger(); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(OpenLibrary());
        FCarbon = AddJournal(QStringLiteral("Carbon"));
        for (const char *title : {"Alpha films", "Beta coatings", "Gamma layers"})
            FPapers << AddPaper(FCarbon, QString::fromLatin1(title));
        FWindow = std::make_unique<TfrmMain>(*FConfig, *FDm, FPrompts);
        FWindow->Start(true);
        FWindow->show(); // drops find their node by its place on the screen
        QVERIFY(QTest::qWaitForWindowExposed(FWindow.get()));
    }

    void cleanupTestCase() { FWindow.reset(); }

    // The journal editor: its look follows the type, the type never changes, and "Ok" needs a title.
    void journalEditor_data()
    {
        QTest::addColumn<QChar>("type");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("impact");
        QTest::addColumn<bool>("city");
        QTest::addColumn<bool>("abbreviation");
        QTest::newRow("journal") << QChar(u'J') << QStringLiteral("Journal title") << QStringLiteral("New/Edit Journal")
                                 << true << false << true;
        QTest::newRow("publisher") << QChar(u'P') << QStringLiteral("Publisher") << QStringLiteral("New/Edit Publisher")
                                   << false << true << false;
        QTest::newRow("conference") << QChar(u'C') << QStringLiteral("Conference name")
                                    << QStringLiteral("New/Edit Conference") << false << true << true;
    }

    void journalEditor()
    {
        QFETCH(QChar, type);
        QFETCH(QString, label);
        QFETCH(QString, caption);
        QFETCH(bool, impact);
        QFETCH(bool, city);
        QFETCH(bool, abbreviation);
        TfrmJournal editor(FPrompts);
        TJournalRecord journal;
        journal.JType = type;
        journal.Title = QStringLiteral("Old");
        editor.SetValues(journal);
        QCOMPARE(editor.TitleLabel()->text(), label);
        QCOMPARE(editor.windowTitle(), caption);
        QCOMPARE(editor.Field(QStringLiteral("Impact"))->isEnabled(), impact);
        QCOMPARE(editor.Field(QStringLiteral("City"))->isEnabled(), city);
        QCOMPARE(editor.Field(QStringLiteral("Abbrv"))->isEnabled(), abbreviation);
        QVERIFY(!editor.Types()->isEnabled());

        editor.show();
        editor.Field(QStringLiteral("Title"))->clear();
        FPrompts.Shown.clear();
        editor.accept();
        QVERIFY(editor.isVisible()); // stays open
        QCOMPARE(FPrompts.Messages(), QStringList {QStringLiteral("Please fill requred fields!")});
        editor.Field(QStringLiteral("Title"))->setText(QStringLiteral("New"));
        editor.accept();
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        editor.GetValues(journal);
        QCOMPARE(journal.Title, QStringLiteral("New"));
        QCOMPARE(journal.JType, type);
    }

    // "New" with a journal of "Books" focused adds a publisher and selects it; categories refuse what would
    // touch them as a whole.
    void journalCommands()
    {
        FWindow->Pages()->setCurrentIndex(TfrmMain::pgJournals);
        QTreeView *tree = FWindow->JournalsTree();
        QAbstractItemModel *journals = tree->model();
        tree->setCurrentIndex(journals->index(1, 0)); // "Books"
        FWindow->RunJournalEditor = [](TfrmJournal &editor) {
            editor.Field(QStringLiteral("Title"))->setText(QStringLiteral("Springer"));
            editor.accept();
            return editor.result() == QDialog::Accepted;
        };
        Trigger("JournalAdd");
        QCOMPARE(tree->currentIndex().data().toString(), QStringLiteral("Springer"));
        QCOMPARE(tree->currentIndex().parent().row(), 1);
        QCOMPARE(FDm->GetJournal(FDm->GetJournalID(QStringLiteral("Springer")))->JType, QChar(u'P'));

        // A second one from the publisher itself goes into the same category.
        FWindow->RunJournalEditor = [](TfrmJournal &editor) {
            editor.Field(QStringLiteral("Title"))->setText(QStringLiteral("Elsevier"));
            editor.accept();
            return true;
        };
        Trigger("JournalAdd");
        QCOMPARE(tree->currentIndex().data().toString(), QStringLiteral("Elsevier"));
        QCOMPARE(tree->currentIndex().parent().row(), 1);

        // "Patents" disables the journal commands; were "New" reached there anyway it is refused.
        FPrompts.Shown.clear();
        tree->setCurrentIndex(journals->index(3, 0)); // "Patents"
        QVERIFY(!FWindow->Commands()["JournalAdd"]->isEnabled());
        FWindow->JournalAdd();
        QVERIFY(FPrompts.Messages().value(0).contains(QStringLiteral("\"Patents\" holds its papers directly")));
        // A category is never deleted with its contents.
        tree->setCurrentIndex(journals->index(0, 0)); // "Journals"
        tree->selectionModel()->select(journals->index(0, 0), QItemSelectionModel::ClearAndSelect);
        Trigger("JournalDelete");
        QCOMPARE(FPrompts.Messages().value(1), QStringLiteral("A category cannot be deleted."));
        QCOMPARE(FPrompts.Shown.size(), 2); // no question was asked

        // Deleting a journal asks first; No keeps it.
        FWindow->JournalFinder()->setText(QStringLiteral("Elsevier"));
        FPrompts.SetNextAnswer(false);
        Trigger("JournalDelete");
        QVERIFY(FDm->GetJournalID(QStringLiteral("Elsevier")) > 0);
        FPrompts.SetNextAnswer(true);
        Trigger("JournalDelete");
        QCOMPARE(FDm->GetJournalID(QStringLiteral("Elsevier")), 0);
    }

    // Renaming a journal moves its papers' files with it and keeps the shown paper.
    void renameJournal()
    {
        FWindow->JournalFinder()->setText(QStringLiteral("Carbon"));
        TPaperListModel &model = FWindow->PaperModel(TfrmMain::pgJournals);
        FWindow->PaperList(TfrmMain::pgJournals)->setCurrentIndex(model.index(1, 0));
        TPaperRecord &shown = *model.Paper(1);
        const QString oldFile = PaperFullPath(FConfig->LibraryFolder(), shown);
        QVERIFY(WriteTestFile(oldFile, "%PDF-1.4 beta"));
        FDm->SetLocal(shown.ID, true);
        const int shownId = shown.ID;
        FWindow->RunJournalEditor = [](TfrmJournal &editor) {
            editor.Field(QStringLiteral("Title"))->setText(QStringLiteral("Carbon Letters"));
            editor.accept();
            return true;
        };
        Trigger("JournalEdit");
        QCOMPARE(FWindow->JournalsTree()->currentIndex().data().toString(), QStringLiteral("Carbon Letters"));
        TPaperListModel &after = FWindow->PaperModel(TfrmMain::pgJournals);
        const int row = FWindow->PaperList(TfrmMain::pgJournals)->currentIndex().row();
        QCOMPARE(after.Paper(row)->ID, shownId);
        const QString newFile = PaperFullPath(FConfig->LibraryFolder(), *after.Paper(row));
        QVERIFY(newFile.contains(QStringLiteral("/Carbon Letters/")));
        QCOMPARE(ReadTestFile(newFile), QByteArray("%PDF-1.4 beta"));
        QVERIFY(!QFileInfo::exists(oldFile));
    }

    // Folders and groups: the codes, the selection after adding, "Move to Folder" and "Favorites".
    void groupsAndFolders()
    {
        FWindow->Pages()->setCurrentIndex(TfrmMain::pgGroups);
        FPrompts.SetNextInput(QStringLiteral("Thesis"));
        Trigger("actGroupAddFolder");
        QCOMPARE(Group(QStringLiteral("Thesis")).Code, GroupFolderBase);
        QVERIFY(FWindow->GroupsTree()->currentIndex().data().toString() != QStringLiteral("Thesis"));

        FWindow->GroupsTree()->setCurrentIndex(GroupNode(QStringLiteral("Thesis")));
        FPrompts.SetNextInput(QStringLiteral("Chapter 1"));
        Trigger("GroupAdd");
        QCOMPARE(Group(QStringLiteral("Chapter 1")).Code, 1);
        QCOMPARE(GroupNode(QStringLiteral("Chapter 1")).parent(), GroupNode(QStringLiteral("Thesis")));

        FPrompts.SetNextInput(QStringLiteral("Reviews"));
        Trigger("actGroupAddFolder");
        QCOMPARE(Group(QStringLiteral("Reviews")).Code, GroupFolderBase + 1);
        FWindow->GroupsTree()->setCurrentIndex(GroupNode(QStringLiteral("Reviews")));
        FPrompts.SetNextInput(QStringLiteral("Old reviews"));
        Trigger("GroupAdd");
        QCOMPARE(Group(QStringLiteral("Old reviews")).Code, 2);

        // Cancelled input: nothing.
        const int before = FWindow->GroupsTree()->model()->rowCount();
        Trigger("GroupAdd");
        QCOMPARE(FWindow->GroupsTree()->model()->rowCount(), before);

        // "Root" takes a group out of its folder; it is then shown after the folders.
        FWindow->GroupsTree()->setCurrentIndex(GroupNode(QStringLiteral("Chapter 1")));
        QMenu *move = FWindow->MoveToFolderMenu();
        QCOMPARE(move->actions().first()->text(), QStringLiteral("Root"));
        move->actions().first()->trigger();
        QCOMPARE(Group(QStringLiteral("Chapter 1")).Code, 0);
        const QModelIndex chapter = GroupNode(QStringLiteral("Chapter 1"));
        QVERIFY(!chapter.parent().isValid());
        QVERIFY(chapter.row() > GroupNode(QStringLiteral("Reviews")).row());

        // The add-to-group menus hold the folders with their groups, never "Favorites"; the search page's too.
        for (int page : {int(TfrmMain::pgJournals), int(TfrmMain::pgSearch)}) {
            QMenu *menu = FWindow->AddToGroupMenu(page);
            QVERIFY(menu->isEnabled());
            QStringList top;
            for (QAction *entry : menu->actions())
                top << entry->text();
            QVERIFY(top.contains(QStringLiteral("Thesis")) && top.contains(QStringLiteral("Chapter 1")));
            QVERIFY(!top.contains(QStringLiteral("Favorites")));
            QMenu *reviews = menu->findChild<QMenu *>();
            QVERIFY(reviews);
        }

        // "Favorites" is never deleted.
        FWindow->GroupsTree()->setCurrentIndex(GroupNode(QStringLiteral("Favorites")));
        FPrompts.Shown.clear();
        Trigger("GroupDelete");
        QCOMPARE(FPrompts.Messages(), QStringList {QStringLiteral("Can't delete the Favorites!")});
        QCOMPARE(Group(QStringLiteral("Favorites")).ID, 1);
    }

    // Papers into a group and their order: First, Up, Down (the last one wraps to the top), Last; removing.
    void papersInAGroup()
    {
        FWindow->Pages()->setCurrentIndex(TfrmMain::pgJournals);
        FWindow->JournalFinder()->setText(QStringLiteral("Carbon"));
        TPaperListModel &journal = FWindow->PaperModel(TfrmMain::pgJournals);
        QTreeView *list = FWindow->PaperList(TfrmMain::pgJournals);
        list->clearSelection();
        for (int row = 0; row < 3; ++row)
            journal.setData(journal.index(row, journal.ColumnOfTag(90)), Qt::Checked, Qt::CheckStateRole);
        const int group = Group(QStringLiteral("Chapter 1")).ID;
        QAction *entry = nullptr;
        for (QAction *action : FWindow->AddToGroupMenu(TfrmMain::pgJournals)->actions())
            if (action->text() == QStringLiteral("Chapter 1"))
                entry = action;
        QVERIFY(entry);
        entry->trigger();
        QCOMPARE(FWindow->Pages()->currentIndex(), int(TfrmMain::pgJournals)); // the page stays
        QCOMPARE(FWindow->GroupsTree()->currentIndex().data().toString(), QStringLiteral("Chapter 1"));
        QCOMPARE(GroupOrder(), Titles("Alpha films|Beta coatings|Gamma layers"));

        FWindow->Pages()->setCurrentIndex(TfrmMain::pgGroups);
        QTreeView *groupList = FWindow->PaperList(TfrmMain::pgGroups);
        const auto select
            = [&](int row) { groupList->setCurrentIndex(FWindow->PaperModel(TfrmMain::pgGroups).index(row, 0)); };
        const auto stored = [&] {
            TPapers papers;
            FDm->PreparePaperByGroup(group);
            FDm->GetPapers(papers, true);
            QStringList titles;
            for (const auto &paper : papers)
                titles << QString::number(paper->Ord) + u' ' + paper->Title;
            return titles;
        };
        select(0);
        Trigger("GroupUp"); // the first stays first
        QCOMPARE(GroupOrder(), Titles("Alpha films|Beta coatings|Gamma layers"));
        Trigger("GroupLast");
        QCOMPARE(GroupOrder(), Titles("Beta coatings|Gamma layers|Alpha films"));
        QCOMPARE(stored(), Titles("1 Beta coatings|2 Gamma layers|3 Alpha films"));
        select(2);
        Trigger("GroupDown"); // the last wraps to the top
        QCOMPARE(GroupOrder(), Titles("Alpha films|Beta coatings|Gamma layers"));
        select(2);
        Trigger("GroupFirst");
        QCOMPARE(stored(), Titles("1 Gamma layers|2 Alpha films|3 Beta coatings"));

        // Removing the checked paper renumbers the rest.
        FWindow->PaperModel(TfrmMain::pgGroups)
            .setData(FWindow->PaperModel(TfrmMain::pgGroups)
                         .index(1, FWindow->PaperModel(TfrmMain::pgGroups).ColumnOfTag(90)),
                Qt::Checked, Qt::CheckStateRole);
        groupList->clearSelection();
        Trigger("actPaperDeleteFromGroup");
        QCOMPARE(stored(), Titles("1 Gamma layers|2 Beta coatings"));

        // Clearing asks; Yes empties the group, the papers stay in the library.
        FPrompts.SetNextAnswer(true);
        Trigger("GroupClear");
        QVERIFY(stored().isEmpty());
        QCOMPARE(FWindow->PaperModel(TfrmMain::pgGroups).rowCount(), 0);
    }

    // Dragging: within the list the focused paper goes after the one dropped on; onto another group the
    // selected papers move, or with Ctrl are copied and stay. The drops go through the views as a user's do.
    void dragAndDrop()
    {
        const int chapter = Group(QStringLiteral("Chapter 1")).ID;
        const int reviews = Group(QStringLiteral("Old reviews")).ID;
        TPapers papers;
        FDm->PreparePaperJID(FDm->GetJournalID(QStringLiteral("Carbon Letters")));
        FDm->GetPapers(papers, false);
        std::sort(papers.begin(), papers.end(), [](const auto &a, const auto &b) { return a->Title < b->Title; });
        FDm->AddToGroup(chapter, papers);
        FWindow->Pages()->setCurrentIndex(TfrmMain::pgGroups);
        FWindow->SelectGroupAndPaper(0, chapter);
        QCOMPARE(GroupOrder(), Titles("Alpha films|Beta coatings|Gamma layers"));
        QTreeView *list = FWindow->PaperList(TfrmMain::pgGroups);
        TPaperListModel &model = FWindow->PaperModel(TfrmMain::pgGroups);
        const auto drop = [&](QTreeView *view, const QModelIndex &at, Qt::KeyboardModifiers modifiers) {
            QModelIndexList dragged = list->selectionModel()->selectedIndexes();
            std::unique_ptr<QMimeData> data(model.mimeData(dragged));
            const QPointF place(view->visualRect(at).center());
            QDragEnterEvent enter(place.toPoint(), Qt::CopyAction, data.get(), Qt::LeftButton, modifiers);
            QCoreApplication::sendEvent(view->viewport(), &enter);
            QDropEvent event(place, Qt::CopyAction, data.get(), Qt::LeftButton, modifiers, QEvent::Drop);
            QCoreApplication::sendEvent(view->viewport(), &event);
            return event.isAccepted();
        };

        list->setCurrentIndex(model.index(0, 0));
        QVERIFY(!drop(list, model.index(0, 0), Qt::NoModifier)); // not onto itself
        QVERIFY(drop(list, model.index(2, 0), Qt::NoModifier));
        QCOMPARE(GroupOrder(), Titles("Beta coatings|Gamma layers|Alpha films"));
        TPapers stored;
        FDm->PreparePaperByGroup(chapter);
        FDm->GetPapers(stored, true);
        QCOMPARE(stored.front()->Title, QStringLiteral("Beta coatings"));
        QCOMPARE(stored.front()->Ord, 1);

        // Two papers onto another group: with Ctrl they stay here too, without they leave.
        list->clearSelection();
        list->selectionModel()->select(model.index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        list->selectionModel()->select(model.index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QTreeView *groups = FWindow->GroupsTree();
        QVERIFY(!drop(groups, groups->currentIndex(), Qt::NoModifier)); // not onto the group shown
        QVERIFY(drop(groups, GroupNode(QStringLiteral("Old reviews")), Qt::ControlModifier));
        QCOMPARE(model.rowCount(), 3);
        TPapers copied;
        FDm->PreparePaperByGroup(reviews);
        FDm->GetPapers(copied, true);
        QCOMPARE(copied.size(), size_t(2));
        list->selectionModel()->select(model.index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        list->selectionModel()->select(model.index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QVERIFY(drop(groups, GroupNode(QStringLiteral("Thesis")), Qt::NoModifier));
        QCOMPARE(GroupOrder(), Titles("Alpha films"));
    }
};

QTEST_MAIN(TestJournalGroups)
#include "tst_journalgroups.moc"
