#include "DownloadListModel.h"
#include "LibraryTrees.h"

#include <QAbstractItemModelTester>
#include <QColor>
#include <QFont>
#include <QTest>

namespace {

std::unique_ptr<TJournalRecord> Journal(int id, const QString &title, QChar type)
{
    auto journal = std::make_unique<TJournalRecord>();
    journal->ID = id;
    journal->Title = title;
    journal->JType = type;
    return journal;
}

std::unique_ptr<TGroupRecord> Group(int id, int code, const QString &title)
{
    return std::make_unique<TGroupRecord>(TGroupRecord{id, code, title});
}

QStringList Titles(const QAbstractItemModel &model, const QModelIndex &parent = {})
{
    QStringList titles;
    for (int row = 0; row < model.rowCount(parent); ++row)
        titles << model.index(row, 0, parent).data().toString();
    return titles;
}

} // namespace

class TestLibraryTrees : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void journalsTree()
    {
        TJournalTreeModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        TJournals journals; // as GetJournals gives them: by title
        journals.push_back(Journal(4, QStringLiteral("Carbon"), u'J'));
        journals.push_back(Journal(2, QStringLiteral("Dissertations"), u'J'));
        journals.push_back(Journal(6, QStringLiteral("Elsevier"), u'P'));
        journals.push_back(Journal(7, QStringLiteral("Odd Type"), u'X'));
        journals.push_back(Journal(1, QStringLiteral("Patents"), u'J'));
        journals.push_back(Journal(5, QStringLiteral("Wear"), u'J'));
        model.Build(journals);
        QCOMPARE(Titles(model), (QStringList{QStringLiteral("Journals"), QStringLiteral("Books"), QStringLiteral("Proceedings"),
                                             QStringLiteral("Patents"), QStringLiteral("Dissertations")}));
        QCOMPARE(Titles(model, model.index(0, 0)),
                 (QStringList{QStringLiteral("Carbon"), QStringLiteral("Odd Type"), QStringLiteral("Wear")}));
        QCOMPARE(Titles(model, model.index(1, 0)), QStringList{QStringLiteral("Elsevier")});
        QCOMPARE(model.rowCount(model.index(3, 0)), 0);
        QCOMPARE(model.rowCount(model.index(4, 0)), 0);
        const TJournalRecord *patents = model.Record(model.index(3, 0));
        QVERIFY(patents && patents->ID == 1 && !patents->AllowChild && patents->JType == u'A' && patents->Level == 0);
        const QModelIndex wear = model.IndexOfJournal(5);
        QCOMPARE(wear.data().toString(), QStringLiteral("Wear"));
        QVERIFY(model.Record(wear)->AllowChild && model.Record(wear)->Level == 1);
        QVERIFY(!model.IndexOfJournal(1).isValid()); // a category, never a journal node
    }

    void groupsTree()
    {
        TGroupTreeModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        const int folderA = TGroupTreeModel::FolderBase + 1, folderB = TGroupTreeModel::FolderBase;
        TGroups groups; // as GetGroups gives them: by code descending, then ID
        groups.push_back(Group(5, folderA, QStringLiteral("Projects")));
        groups.push_back(Group(4, folderB, QStringLiteral("Teaching")));
        groups.push_back(Group(7, folderA - TGroupTreeModel::RootCode, QStringLiteral("Grant")));
        groups.push_back(Group(8, 77, QStringLiteral("Lost folder")));
        groups.push_back(Group(1, 0, QStringLiteral("Favorites")));
        model.Build(groups);
        QCOMPARE(Titles(model), (QStringList{QStringLiteral("Projects"), QStringLiteral("Teaching"), QStringLiteral("Lost folder"),
                                             QStringLiteral("Favorites")}));
        QCOMPARE(Titles(model, model.index(0, 0)), QStringList{QStringLiteral("Grant")});
        QVERIFY(model.index(0, 0).data(Qt::FontRole).value<QFont>().bold());
        QVERIFY(!model.index(3, 0).data(Qt::FontRole).isValid());
        QCOMPARE(model.IndexOfGroup(7).parent(), model.index(0, 0));
        QCOMPARE(model.MoveTargets().size(), 3);
        QCOMPARE(model.MoveTargets().front(), (std::pair<QString, int>{QStringLiteral("Root"), TGroupTreeModel::RootCode}));
        QCOMPARE(model.MoveTargets()[1].second, folderA);
    }

    void downloadList()
    {
        TDownloadQueue queue;
        TDownloadListModel model(queue);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        TPaperRecord paper;
        paper.ID = 3;
        paper.Title = QStringLiteral("Friction");
        queue.Add(paper, QString());
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("Friction"));
        QCOMPARE(model.index(0, 3).data().toString(), QStringLiteral("Waiting"));
        QVERIFY(!model.index(0, 3).data(Qt::ForegroundRole).isValid());
        queue.SetEntryState(3, TDownloadState::dsRun);
        QCOMPARE(model.index(0, 3).data().toString(), QStringLiteral("Download"));
        QCOMPARE(model.index(0, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(0, 128, 0));
        queue.SetEntryState(3, TDownloadState::dsError);
        QCOMPARE(model.index(0, 3).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
        QCOMPARE(model.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Size"));
        queue.Clear();
        QCOMPARE(model.rowCount(), 0);
    }
};

QTEST_MAIN(TestLibraryTrees)
#include "tst_librarytrees.moc"
