#include "TestFiles.h"
#include "DatabaseFixture.h"
#include "TestRecords.h"
#include "shell/FileUtils.h"
#include "shell/PaperFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace {

QStringList LastNames(const TPaperRecord &paper)
{
    QStringList names;
    for (const TAuthorRecord &author : paper.AuthorList)
        names << author.Last;
    return names;
}

} // namespace

class TestPapers : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TDatabaseFixture> FDb;

private Q_SLOTS:
    void init()
    {
        FDb = std::make_unique<TDatabaseFixture>();
        QVERIFY(FDb->Create());
    }

    void journals()
    {
        const int id = FDb->AddJournal(QStringLiteral("Zeolites"), u'J');
        QVERIFY(id > 2);
        // A new journal whose title exists in another letter case updates that journal.
        TJournalRecord again;
        again.ID = -1;
        again.Title = QStringLiteral("ZEOLITES");
        again.JType = u'J';
        again.Abbrv = QStringLiteral("Zeol.");
        FDb->Dm->UpdateJournal(again);
        QCOMPARE(FDb->Scalar(QStringLiteral("SELECT Count(*) FROM Journals")), 3);
        const PJournalRecord loaded = FDb->Dm->GetJournal(id);
        QVERIFY(loaded);
        QCOMPARE(loaded->Abbrv, QStringLiteral("Zeol."));
        QVERIFY(!FDb->Dm->GetJournal(999));

        TJournals list;
        FDb->Dm->GetJournals(list);
        QCOMPARE(list.size(), std::size_t(3));
        QCOMPARE(list[0]->Title, QStringLiteral("Dissertations"));
        QCOMPARE(list[0]->JType, QChar(u'J')); // stored NULL
        QCOMPARE(list[2]->Title, QStringLiteral("ZEOLITES"));
    }

    void textsRoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("single quotes") << QStringLiteral("O'Neil's 'quoted' title");
        QTest::newRow("backslashes and percent") << QStringLiteral("50% of C:\\data \\b bold\\b0 %pt");
        QTest::newRow("hash and semicolon") << QStringLiteral("C# ; -- not a comment /* nor this */");
        QTest::newRow("non-ASCII") << QStringLiteral("Синтез графена: α-β переходы 日本語 \U0001F600");
    }

    void textsRoundTrip()
    {
        QFETCH(QString, text);
        TPaperRecord paper;
        paper.JID = 1;
        paper.Journal = FDb->Dm->GetJournal(1);
        paper.PType = u'P';
        paper.Title = text;
        paper.Abst = text + QStringLiteral("\r\nsecond line");
        paper.Keywords = text;
        paper.Added = QDate(2026, 12, 9);
        paper.AuthorList = {{0, QStringLiteral("D'Arcy"), QStringLiteral("O'Brien")}};
        const int id = FDb->Dm->UpdatePaper(paper);
        QVERIFY(id > 0);
        const TPapers loaded = FDb->LoadPaper(id);
        QCOMPARE(loaded.size(), std::size_t(1));
        QCOMPARE(loaded[0]->Title, text);
        QCOMPARE(loaded[0]->Abst, text + QStringLiteral("\r\nsecond line"));
        QCOMPARE(loaded[0]->Keywords, text);
        QCOMPARE(loaded[0]->PType, QChar(u'P'));
        QCOMPARE(loaded[0]->Added, QDate(2026, 12, 9));
        QCOMPARE(loaded[0]->AuthorList.front().Last, QStringLiteral("O'Brien"));
        QCOMPARE(loaded[0]->JournalTitle(), QStringLiteral("Patents"));
        QCOMPARE(loaded[0]->Ext, QStringLiteral(".pdf"));
        QCOMPARE(loaded[0]->FileName, MD5Hex(QStringLiteral("Patents"), text));
    }

    // An abstract far beyond the largest text a statement could carry goes into its blob whole.
    void longAbstractKeptWhole()
    {
        TPaperRecord paper;
        paper.JID = 1;
        paper.Title = QStringLiteral("Long abstract");
        paper.Abst = QStringLiteral("Синтез графена 日本語 ").repeated(5000); // 90,000 characters, 200,000 bytes
        const int id = FDb->Dm->UpdatePaper(paper);
        QVERIFY(id > 0);
        QCOMPARE(FDb->LoadPaper(id).front()->Abst, paper.Abst);
        paper.Abst += QStringLiteral("updated");
        FDb->Dm->UpdatePaper(paper);
        QCOMPARE(FDb->LoadPaper(id).front()->Abst, paper.Abst);
    }

    void newPaperMatchesJournalTitleAndDoi()
    {
        const int journal = FDb->AddJournal(QStringLiteral("Carbon"));
        const int first = FDb->AddPaper(journal, QStringLiteral("Graphene growth"), QStringLiteral("10.1/x"), {Author("A.", "Smith")});
        QVERIFY(first > 0);
        QCOMPARE(FDb->AddPaper(journal, QStringLiteral("Graphene growth"), QStringLiteral("10.1/x")), first);
        // Matched in any letter case, the paper's authors too: the later spelling is kept, nothing doubles.
        QCOMPARE(FDb->AddPaper(journal, QStringLiteral("GRAPHENE Growth"), QStringLiteral("10.1/x"), {Author("a.", "SMITH")}), first);
        QCOMPARE(FDb->Scalar(QStringLiteral("SELECT Count(*) FROM Papers")), 1);
        QCOMPARE(FDb->LoadPaper(first)[0]->Title, QStringLiteral("GRAPHENE Growth"));
        QCOMPARE(LastNames(*FDb->LoadPaper(first)[0]), QStringList{QStringLiteral("SMITH")});
        // Another DOI is another paper, which gets its own ID and its own authors.
        const int second = FDb->AddPaper(journal, QStringLiteral("Graphene growth"), QStringLiteral("10.1/y"), {Author("N.", "New")});
        QVERIFY(second > 0 && second != first);
        QCOMPARE(FDb->Scalar(QStringLiteral("SELECT Count(*) FROM Papers")), 2);
        QCOMPARE(FDb->Scalar(QStringLiteral("SELECT PID FROM Authors WHERE Last = 'New'")), second);
    }

    // The same citation stored again (an import repeated, in another letter case) brings no file: the paper
    // keeps the one it has, moved to the place of its new title.
    void storedAgainKeepsTheFile()
    {
        const int journal = FDb->AddJournal(QStringLiteral("Carbon"));
        const int id = FDb->AddPaper(journal, QStringLiteral("Graphene growth"), QStringLiteral("10.1/x"));
        TPaperRecord stored = *FDb->LoadPaper(id).front();
        const QString oldPath = StoredPaperPath(FDb->Library, stored);
        QVERIFY(WriteTestFile(oldPath, "%PDF"));
        FDb->Dm->SetLocal(id, true);

        QCOMPARE(FDb->AddPaper(journal, QStringLiteral("GRAPHENE growth"), QStringLiteral("10.1/x")), id);
        const TPaperRecord again = *FDb->LoadPaper(id).front();
        QVERIFY(again.Local);
        QCOMPARE(ReadTestFile(StoredPaperPath(FDb->Library, again)), QByteArray("%PDF"));
        QVERIFY(again.FileName != stored.FileName);
        QVERIFY(!QFileInfo::exists(oldPath));
    }

    void authorsKeepTheirStoredOrder()
    {
        // Identical names are stored once.
        const int id = FDb->AddPaper(1, QStringLiteral("Paper"), {}, {Author("I.", "Ivanov"), Author("P.", "Petrov"), Author("I.", "Ivanov")});
        TPapers papers = FDb->LoadPaper(id);
        QCOMPARE(LastNames(*papers[0]), (QStringList{QStringLiteral("Ivanov"), QStringLiteral("Petrov")}));

        // Edited in place by ID; a new author goes after the stored ones wherever it stands in the list.
        TPaperRecord &paper = *papers[0];
        const TAuthorRecord ivanov = paper.AuthorList[0];
        QVERIFY(ivanov.ID != 0); // the repeated name did not overwrite the stored author's ID
        TAuthorRecord petrov = paper.AuthorList[1];
        petrov.Last = QStringLiteral("Petrova");
        paper.AuthorList = {Author("A.", "Aaronson"), petrov, ivanov};
        QCOMPARE(FDb->Dm->UpdatePaper(paper), 0);
        QCOMPARE(LastNames(*FDb->LoadPaper(id)[0]),
                 (QStringList{QStringLiteral("Ivanov"), QStringLiteral("Petrova"), QStringLiteral("Aaronson")}));
        FDb->Dm->DeleteAuthor(ivanov.ID);
        QCOMPARE(LastNames(*FDb->LoadPaper(id)[0]), (QStringList{QStringLiteral("Petrova"), QStringLiteral("Aaronson")}));
    }

    void failedWriteKeepsNoId()
    {
        TPaperRecord paper;
        paper.JID = 1;
        paper.PType = u'P';
        paper.Title = QString(251, u'x'); // longer than the column
        QCOMPARE(FDb->Dm->UpdatePaper(paper), 0);
        QCOMPARE(paper.ID, 0);
        QCOMPARE(FDb->Scalar(QStringLiteral("SELECT Count(*) FROM Papers")), 0);
        QVERIFY(FDb->Prompts.Shown.isEmpty());
    }

    void editingMovesTheFile()
    {
        const int journal = FDb->AddJournal(QStringLiteral("Thin Solid Films"));
        const int id = FDb->AddPaper(journal, QStringLiteral("Old title"), {}, {}, u'J', QStringLiteral("520"));
        TPaperRecord paper = *FDb->LoadPaper(id)[0];
        const QString oldPath = StoredPaperPath(FDb->Library, paper);
        QCOMPARE(oldPath, FDb->Library + QStringLiteral("Thin Solid Films/520/") + MD5Hex(QStringLiteral("Thin Solid Films"), QStringLiteral("Old title")) + QStringLiteral(".pdf"));
        QVERIFY(WriteTestFile(oldPath, "%PDF one"));
        paper.Title = QStringLiteral("New title");
        paper.Volume = QStringLiteral("521");
        FDb->Dm->UpdatePaper(paper);
        const QString newPath = FDb->Library + QStringLiteral("Thin Solid Films/521/") + MD5Hex(QStringLiteral("Thin Solid Films"), QStringLiteral("New title")) + QStringLiteral(".pdf");
        QCOMPARE(ReadTestFile(newPath), QByteArray("%PDF one"));
        QVERIFY(!QFile::exists(oldPath));
        const TPaperRecord stored = *FDb->LoadPaper(id)[0];
        QCOMPARE(StoredPaperPath(FDb->Library, stored), newPath);

        // When the copy cannot be made the file stays where it was (here the new volume folder is a file).
        QVERIFY(WriteTestFile(FDb->Library + QStringLiteral("Thin Solid Films/522"), "blocker"));
        TPaperRecord again = stored;
        again.Volume = QStringLiteral("522");
        FDb->Dm->UpdatePaper(again);
        QCOMPARE(ReadTestFile(newPath), QByteArray("%PDF one"));
    }

    void renamingAJournalMovesItsFiles()
    {
        // The library folder's own path holds the old title: only the journal folder below it may change.
        FDb->Library = FDb->Dir.filePath(QStringLiteral("Carbon/Library/"));
        const int journal = FDb->AddJournal(QStringLiteral("Carbon"));
        const int article = FDb->AddPaper(journal, QStringLiteral("Nanotubes"), {}, {}, u'J', QStringLiteral("7"));
        const int book = FDb->AddPaper(journal, QStringLiteral("Fullerenes"), {}, {}, u'B');
        const int remote = FDb->AddPaper(journal, QStringLiteral("Not here"));
        for (int id : {article, book}) {
            TPaperRecord paper = *FDb->LoadPaper(id)[0];
            QVERIFY(WriteTestFile(StoredPaperPath(FDb->Library, paper), "pdf " + QByteArray::number(id)));
            paper.Local = true;
            FDb->Dm->SetLocal(paper);
        }
        Q_UNUSED(remote);
        TJournalRecord renamed = *FDb->Dm->GetJournal(journal);
        renamed.Title = QStringLiteral("Carbon Letters");
        FDb->Dm->UpdateJournal(renamed);
        FDb->Dm->UpdatePaths(FDb->Library, QStringLiteral("Carbon"), renamed);

        const QString newArticle = FDb->Library + QStringLiteral("Carbon Letters/7/") + MD5Hex(QStringLiteral("Carbon Letters"), QStringLiteral("Nanotubes")) + QStringLiteral(".pdf");
        const QString newBook = FDb->Library + QStringLiteral("Carbon Letters/") + MD5Hex(QStringLiteral("Carbon Letters"), QStringLiteral("Fullerenes")) + QStringLiteral(".pdf");
        QCOMPARE(ReadTestFile(newArticle), "pdf " + QByteArray::number(article));
        QCOMPARE(ReadTestFile(newBook), "pdf " + QByteArray::number(book));
        QVERIFY(!QFileInfo::exists(FDb->Library + QStringLiteral("Carbon")));
        QVERIFY(QFileInfo(FDb->Dir.filePath(QStringLiteral("Carbon/Library"))).isDir());
        QVERIFY(!QFileInfo::exists(FDb->Dir.filePath(QStringLiteral("Carbon Letters"))));
        // The next store of each paper records its new place without moving anything.
        TPaperRecord paper = *FDb->LoadPaper(article)[0];
        FDb->Dm->UpdatePaper(paper);
        QCOMPARE(StoredPaperPath(FDb->Library, *FDb->LoadPaper(article)[0]), newArticle);
        QCOMPARE(ReadTestFile(newArticle), "pdf " + QByteArray::number(article));
    }

    void setLocal()
    {
        const int id = FDb->AddPaper(1, QStringLiteral("Patent"));
        FDb->Dm->SetLocal(id, true);
        QVERIFY(FDb->LoadPaper(id)[0]->Local);
        FDb->Dm->SetLocal(id, QStringLiteral("Patents/"), QStringLiteral("ABC'D"), QStringLiteral(".djvu"), false);
        const TPaperRecord paper = *FDb->LoadPaper(id)[0];
        QVERIFY(!paper.Local);
        QCOMPARE(paper.FileName, QStringLiteral("ABC'D"));
        QCOMPARE(paper.Ext, QStringLiteral(".djvu"));
        FDb->Dm->PreparePaper(QStringLiteral("ABC'D"));
        TPapers byName;
        FDb->Dm->GetPapers(byName);
        QCOMPARE(byName.size(), std::size_t(1));
    }

    // A list shares one journal record per journal and loads every paper's authors in stored order, whether
    // they are read by ID ranges (papers stored together) or looked up a few at a time (papers spread through
    // the library, a group).
    void listsLoadAuthorsAndJournals()
    {
        const int carbon = FDb->AddJournal(QStringLiteral("Carbon"));
        TdmMain::TBatch batch(*FDb->Dm);
        for (int i = 0; i < 1205; ++i) // more than one IN list of authors
            FDb->AddPaper(i % 3 ? 2 : carbon, QStringLiteral("Paper %1").arg(i), {},
                          {Author("A.", "First"), Author("B.", qPrintable(QStringLiteral("Second%1").arg(i)))}, i % 3 ? u'D' : u'J');
        batch.Commit();
        // The bulk write measured the indices again: two journals make PAPERS_JID's selectivity 1/2, where a
        // new library's never-measured 0 would make the engine walk it for every matching write.
        FDb->Dm->Open(QStringLiteral("SELECT RDB$STATISTICS FROM RDB$INDICES WHERE RDB$INDEX_NAME = 'PAPERS_JID'"));
        FDb->Dm->Query().First();
        QVERIFY(FDb->Dm->Query().AsString(0).toDouble() > 0.01);
        const auto checkAuthors = [](const TPapers &papers) {
            for (const auto &paper : papers) {
                const QString number = paper->Title.section(u' ', 1);
                QCOMPARE(LastNames(*paper), (QStringList{QStringLiteral("First"), QStringLiteral("Second") + number}));
            }
        };
        FDb->Dm->PrepareAllPaperList();
        TPapers all;
        FDb->Dm->GetPapers(all);
        QCOMPARE(all.size(), std::size_t(1205));
        for (std::size_t i = 0; i < all.size(); ++i) {
            QCOMPARE(all[i]->Title, QStringLiteral("Paper %1").arg(i));
            QCOMPARE(all[i]->JournalTitle(), i % 3 ? QStringLiteral("Dissertations") : QStringLiteral("Carbon"));
        }
        checkAuthors(all);
        QCOMPARE(all[0]->Journal.get(), all[3]->Journal.get());
        FDb->Dm->PreparePaperJID(carbon); // every third paper: looked up
        TPapers journal;
        FDb->Dm->GetPapers(journal);
        QCOMPARE(journal.size(), std::size_t(402));
        checkAuthors(journal);
        FDb->Dm->PreparePaperJID(2); // two of every three: by ID ranges
        journal.clear();
        FDb->Dm->GetPapers(journal);
        QCOMPARE(journal.size(), std::size_t(803));
        checkAuthors(journal);
        FDb->Dm->AddGroup(QStringLiteral("Spread"), 0);
        TGroups groups;
        FDb->Dm->GetGroups(groups);
        const auto found = std::find_if(groups.begin(), groups.end(),
            [](const auto &g) { return g->Title == QStringLiteral("Spread"); });
        QVERIFY(found != groups.end());
        const int spread = (*found)->ID;
        FDb->Dm->AddToGroup(spread, TPaperRefs{all[7].get(), all[500].get(), all[1204].get()});
        FDb->Dm->PreparePaperByGroup(spread);
        TPapers group;
        FDb->Dm->GetPapers(group, true);
        QCOMPARE(group.size(), std::size_t(3));
        checkAuthors(group);
    }

    // A batch commits once; a failing record inside it is skipped.
    void batchSkipsFailingRecords()
    {
        {
            TdmMain::TBatch batch(*FDb->Dm);
            QVERIFY(FDb->AddPaper(1, QStringLiteral("Kept 1"), {}, {Author("A.", "One")}) > 0);
            QCOMPARE(FDb->AddPaper(1, QString(300, u'x')), 0);
            QVERIFY(FDb->AddPaper(1, QStringLiteral("Kept 2")) > 0);
            batch.Commit();
        }
        QCOMPARE(FDb->Scalar(QStringLiteral("SELECT Count(*) FROM Papers")), 2);
        QCOMPARE(FDb->Scalar(QStringLiteral("SELECT Count(*) FROM Authors")), 1);
        {
            TdmMain::TBatch batch(*FDb->Dm);
            FDb->AddPaper(1, QStringLiteral("Abandoned"));
        }
        QCOMPARE(FDb->Scalar(QStringLiteral("SELECT Count(*) FROM Papers")), 2);
    }

    // The download worker marks papers from its own thread while the main thread reads the library.
    void setLocalFromAnotherThread()
    {
        QList<int> ids;
        for (int i = 0; i < 50; ++i)
            ids << FDb->AddPaper(1, QStringLiteral("P%1").arg(i));
        std::unique_ptr<QThread> worker(QThread::create([&] {
            for (int id : ids)
                FDb->Dm->SetLocal(id, true);
        }));
        worker->start();
        for (int round = 0; round < 20; ++round) {
            FDb->Dm->PrepareAllPaperList();
            TPapers papers;
            FDb->Dm->GetPapers(papers);
            QCOMPARE(papers.size(), std::size_t(50));
        }
        QVERIFY(worker->wait(60000));
        QCOMPARE(FDb->Scalar(QStringLiteral("SELECT Count(*) FROM Papers WHERE Local = 1")), 50);
    }
};

QTEST_GUILESS_MAIN(TestPapers)
#include "tst_papers.moc"
