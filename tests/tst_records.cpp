#include "records/DownloadData.h"
#include "records/LibraryRecords.h"
#include "records/RecordLists.h"
#include "records/TypeCodes.h"

#include <QTest>

class TestRecords : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typeIndexes_data()
    {
        QTest::addColumn<bool>("paper");
        QTest::addColumn<QChar>("code");
        QTest::addColumn<int>("index");
        QTest::newRow("paper J") << true << QChar(u'J') << 0;
        QTest::newRow("paper O") << true << QChar(u'O') << 5;
        QTest::newRow("paper P") << true << QChar(u'P') << 4;
        QTest::newRow("paper unknown X") << true << QChar(u'X') << 0;
        QTest::newRow("paper lower-case o") << true << QChar(u'o') << 0;
        QTest::newRow("paper null") << true << QChar() << 0;
        QTest::newRow("journal D") << false << QChar(u'D') << 4;
        QTest::newRow("journal C") << false << QChar(u'C') << 2;
        QTest::newRow("journal unknown Z") << false << QChar(u'Z') << 0;
    }

    void typeIndexes()
    {
        QFETCH(bool, paper);
        QFETCH(QChar, code);
        QFETCH(int, index);
        QCOMPARE(paper ? PaperTypeIndex(code) : JournalTypeIndex(code), index);
    }

    void typeTablesLineUp()
    {
        QCOMPARE(PaperTypeNames[std::size_t(PaperTypeIndex(u'D'))], QStringLiteral("Dissertation"));
        QCOMPARE(PaperTypeNames[std::size_t(PaperTypeIndex(u'O'))], QStringLiteral("Proceeding"));
        QCOMPARE(JournalTypeNames[std::size_t(JournalTypeIndex(u'P'))], QStringLiteral("Publisher"));
    }

    void newRecordsAreZeroFilled()
    {
        const TPaperRecord paper;
        QCOMPARE(paper.ID, 0);
        QVERIFY(paper.Journal == nullptr);
        QVERIFY(paper.PType.isNull());
        QVERIFY(paper.AuthorList.isEmpty());
        QVERIFY(!paper.Local);
        QVERIFY(paper.Added.isNull());
        QVERIFY(paper.JournalTitle().isEmpty());
        const TTemplateRecord style;
        QVERIFY(style.Fields.isEmpty());
        QCOMPARE(style.EtAlLimit, 0);
        const TDownloadData entry;
        QCOMPARE(entry.State, TDownloadState::dsWait);
        QCOMPARE(int(TDownloadState::dsError), 3);
        QCOMPARE(sizeof(TDownloadState), std::size_t(1));
    }

    // Copies of a paper share its journal record, which outlives the list that loaded it; authors are copied.
    void copiesShareTheJournalAndOwnTheirAuthors()
    {
        TPapers list;
        auto loaded = std::make_unique<TPaperRecord>();
        loaded->Journal = std::make_shared<TJournalRecord>();
        loaded->Journal->Title = QStringLiteral("Thin Solid Films");
        loaded->AuthorList.append({1, QStringLiteral("Ivan"), QStringLiteral("Ivanov")});
        list.push_back(std::move(loaded));
        list.push_back(nullptr); // a null entry is skipped on release

        TPaperRecord nodeCopy = *list.front();
        nodeCopy.AuthorList.front().Last = QStringLiteral("Petrov");
        QCOMPARE(list.front()->AuthorList.front().Last, QStringLiteral("Ivanov"));
        QCOMPARE(nodeCopy.Journal.get(), list.front()->Journal.get());

        const std::weak_ptr<TJournalRecord> journal = nodeCopy.Journal;
        FreePapers(list);
        QVERIFY(list.empty());
        QVERIFY(!journal.expired());
        QCOMPARE(nodeCopy.JournalTitle(), QStringLiteral("Thin Solid Films"));
        nodeCopy = TPaperRecord();
        QVERIFY(journal.expired());
    }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
