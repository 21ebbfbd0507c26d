#include "TestFiles.h"
#include "DatabaseFixture.h"
#include "library/SqlText.h"
#include "library/StatementScript.h"
#include "shell/VarnelError.h"

#include <QFile>
#include <QProcess>
#include <QStringEncoder>
#include <QTest>

class TestDatabase : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void splitScriptText_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("statements");
        QTest::newRow("separators, comments, blanks")
            << QStringLiteral("/* header */\nCREATE TABLE A (X INTEGER);\n--@@ rest ignored\n\n   \nCREATE TABLE B\n(Y INTEGER);\n")
            << QStringList{QStringLiteral("CREATE TABLE A (X INTEGER);\r\n"), QStringLiteral("CREATE TABLE B\r\n(Y INTEGER);\r\n")};
        QTest::newRow("comment line inside a trigger body is dropped")
            << QStringLiteral("CREATE TRIGGER T\nAS\nBEGIN\n  /* why */\n  x = 1;\nEND\n--@@")
            << QStringList{QStringLiteral("CREATE TRIGGER T\r\nAS\r\nBEGIN\r\n  x = 1;\r\nEND\r\n")};
        QTest::newRow("consecutive separators yield nothing")
            << QStringLiteral("--@@\n--@@\nSELECT 1 FROM RDB$DATABASE\n--@@\n--@@\n")
            << QStringList{QStringLiteral("SELECT 1 FROM RDB$DATABASE\r\n")};
        QTest::newRow("indented separator is text") << QStringLiteral("A\n --@@\nB")
                                                    << QStringList{QStringLiteral("A\r\n --@@\r\nB\r\n")};
        QTest::newRow("CR LF lines") << QStringLiteral("A\r\n--@@\r\nB\r\n") << QStringList{QStringLiteral("A\r\n"), QStringLiteral("B\r\n")};
        QTest::newRow("empty") << QString() << QStringList{};
    }

    void splitScriptText()
    {
        QFETCH(QString, script);
        QFETCH(QStringList, statements);
        QCOMPARE(SplitScriptText(script), statements);
    }

    void splitScriptFileFollowsItsByteOrderMark()
    {
        QTemporaryDir dir;
        const QString text = QStringLiteral("UPDATE X SET T = 'Straße';\n--@@\nB\n");
        const QStringList expected{QStringLiteral("UPDATE X SET T = 'Straße';\r\n"), QStringLiteral("B\r\n")};
        const QString plain = dir.filePath(QStringLiteral("plain.sql"));
        QVERIFY(WriteTestFile(plain, text.toUtf8()));
        QCOMPARE(SplitScriptFile(plain), expected);
        const QString utf8Bom = dir.filePath(QStringLiteral("bom8.sql"));
        QVERIFY(WriteTestFile(utf8Bom, "\xEF\xBB\xBF" + text.toUtf8()));
        QCOMPARE(SplitScriptFile(utf8Bom), expected);
        const QString utf16 = dir.filePath(QStringLiteral("bom16.sql"));
        QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
        QVERIFY(WriteTestFile(utf16, encoder.encode(text)));
        QCOMPARE(SplitScriptFile(utf16), expected);
        QVERIFY_THROWS_EXCEPTION(EVarnelError, SplitScriptFile(dir.filePath(QStringLiteral("missing.sql"))));
    }

    void newDatabaseHoldsTheSeedData()
    {
        TDatabaseFixture db;
        QVERIFY(db.Create());
        QVERIFY(db.Prompts.Shown.isEmpty());
        QCOMPARE(db.Scalar(QStringLiteral("SELECT ID FROM Groups WHERE Title = 'Favorites'")), 1);
        QCOMPARE(db.Scalar(QStringLiteral("SELECT Count(*) FROM Groups")), 1);
        QCOMPARE(db.Dm->GetJournalID(QStringLiteral("Patents")), 1);
        QCOMPARE(db.Dm->GetJournalID(QStringLiteral("Dissertations")), 2);
        QCOMPARE(db.Scalar(QStringLiteral("SELECT Count(*) FROM Templates")), 4);
        QCOMPARE(db.Scalar(QStringLiteral("SELECT Count(*) FROM TemplFields")), 12);
        QCOMPARE(db.Scalar(QStringLiteral("SELECT ID FROM Templates WHERE Title = 'Carbon'")), 4);
        db.Dm->Open(QStringLiteral("SELECT TValue FROM TemplFields WHERE TID = 4 AND TType = 'J'"));
        db.Dm->Query().First();
        QCOMPARE(db.Dm->Query().AsString(0), QStringLiteral("%ld. %pt. %jd %jy; \\b %jv\\b0[(%ji)]:%ps-%pe."));
        QCOMPARE(db.Scalar(QStringLiteral("SELECT Count(*) FROM Templates WHERE Extra IS NULL")), 4);
        QCOMPARE(db.Scalar(QStringLiteral("SELECT MON$PAGE_SIZE FROM MON$DATABASE")), TdmMain::PageSize);
        TStatRecord stats;
        db.Dm->GetStats(stats);
        QCOMPARE(stats.Journals, 2);
        QCOMPARE(stats.Papers, 0);
    }

    void textsCompareWithoutLetterCaseButKeepAccents()
    {
        TDatabaseFixture db;
        QVERIFY(db.Create());
        const int id = db.AddJournal(QStringLiteral("Äbc Straße"));
        QVERIFY(id > 2);
        QCOMPARE(db.Dm->GetJournalID(QStringLiteral("äBC STRAßE")), id);
        QCOMPARE(db.Dm->GetJournalID(QStringLiteral("Abc Straße")), 0);
        const int paper = db.AddPaper(id, QStringLiteral("Ŝtudy of Œuvres"));
        QCOMPARE(db.Scalar(QStringLiteral("SELECT ID FROM Papers WHERE Title = 'ŝTUDY OF œUVRES'")), paper);
    }

    void triggersGiveTheIdsAndCascade()
    {
        TDatabaseFixture db;
        QVERIFY(db.Create());
        db.Dm->ExecTransaction(QStringLiteral("INSERT INTO Papers (ID, JID, Title) VALUES (5, 1, 'Supplied ID')"));
        QCOMPARE(db.Scalar(QStringLiteral("SELECT ID FROM Papers WHERE Title = 'Supplied ID'")), 1);

        const int journal = db.AddJournal(QStringLiteral("Carbon"));
        const int a = db.AddPaper(journal, QStringLiteral("A"), {}, {{0, QStringLiteral("I."), QStringLiteral("Ivanov")}});
        const int b = db.AddPaper(journal, QStringLiteral("B"), {}, {{0, QStringLiteral("P."), QStringLiteral("Petrov")}});
        const int other = db.AddPaper(1, QStringLiteral("Patent"), {}, {{0, QStringLiteral("S."), QStringLiteral("Sidorov")}});
        TPapers members;
        for (int id : {a, b, other}) {
            members.push_back(std::make_unique<TPaperRecord>());
            members.back()->ID = id;
        }
        db.Dm->AddToGroup(1, members);
        db.Dm->DeleteJournal(journal);
        QCOMPARE(db.Scalar(QStringLiteral("SELECT Count(*) FROM Papers WHERE JID = %1").arg(journal)), 0);
        QCOMPARE(db.Scalar(QStringLiteral("SELECT Count(*) FROM Authors")), 1);
        QCOMPARE(db.Scalar(QStringLiteral("SELECT Count(*) FROM GroupList")), 1);
        QCOMPARE(db.Scalar(QStringLiteral("SELECT PID FROM GroupList")), other);
        // Journal 1 holds the patents: deleting it removes every one of them.
        db.Dm->DeleteJournal(1);
        QCOMPARE(db.Scalar(QStringLiteral("SELECT Count(*) FROM Papers")), 0);
        QCOMPARE(db.Scalar(QStringLiteral("SELECT Count(*) FROM GroupList")), 0);
    }

    void readAndWriteFailures()
    {
        TDatabaseFixture db;
        QVERIFY(db.Create());
        QCOMPARE(db.Dm->Open(QStringLiteral("SELECT * FROM NoSuchTable")), 0);
        QCOMPARE(db.Prompts.Messages(), QStringList{QStringLiteral("Database Structure mismatch. Run \"Database update\" from ")});
        QVERIFY(db.Dm->Query().Eof());
        // A failing write is rolled back with everything before it in the same transaction, and not reported.
        db.Dm->ExecTransaction(QStringLiteral("INSERT INTO Groups (Title) VALUES (NULL)"));
        QCOMPARE(db.Prompts.Shown.size(), 1);
        QCOMPARE(db.Scalar(QStringLiteral("SELECT Count(*) FROM Groups")), 1);
        QVERIFY_THROWS_EXCEPTION(EVarnelError, db.Dm->Exec(QStringLiteral("DELETE FROM NoSuchTable")));
    }

    void checkDBStructureAndUpdate()
    {
        TDatabaseFixture db;
        QVERIFY(db.Create());
        QVERIFY(!db.Dm->CheckDBStructure());
        db.Dm->ExecTransaction(QStringLiteral("ALTER TABLE Papers DROP Added"));
        QVERIFY(db.Dm->CheckDBStructure());
        db.Dm->Disconnect();

        // Outdated and no update script: the user is told.
        QVERIFY(db.Dm->OpenLibrary(db.DBFileName(), db.Dir.filePath(QStringLiteral("update.sql")), false));
        QVERIFY(db.Prompts.Messages().contains(QStringLiteral("Update of the database structure is required! Visit the program web-site")));

        // With a script each statement stands alone: the failing one does not undo the others.
        QVERIFY(WriteTestFile(db.Dir.filePath(QStringLiteral("update.sql")),
                 "\xEF\xBB\xBF/* structure 2 */\nALTER TABLE Papers ADD Added DATE;\n--@@\nALTER TABLE NoSuchTable ADD X INTEGER;\n--@@\n"
                 "INSERT INTO Groups (Title) VALUES ('Über');\n"));
        db.Prompts.Shown.clear();
        QVERIFY(db.Dm->OpenLibrary(db.DBFileName(), db.Dir.filePath(QStringLiteral("update.sql")), false));
        QVERIFY(db.Prompts.Shown.isEmpty());
        QVERIFY(!db.Dm->CheckDBStructure());
        QCOMPARE(db.Scalar(QStringLiteral("SELECT Count(*) FROM Groups WHERE Title = 'über'")), 1);
        QVERIFY_THROWS_EXCEPTION(EVarnelError, db.Dm->UpdateDB(db.Dir.filePath(QStringLiteral("missing.sql"))));
    }

    void openLibraryCreatesOrRefuses()
    {
        TDatabaseFixture db;
        db.Dm = std::make_unique<TdmMain>(db.Prompts, [] { return QStringLiteral("/tmp/"); });
        // No file yet: a new library is created with its folder.
        QVERIFY(db.Dm->OpenLibrary(db.DBFileName(), QString(), false));
        QCOMPARE(db.Dm->GetJournalID(QStringLiteral("Patents")), 1);
        db.Dm->Disconnect();
        // A file that is no database is not connected, and nothing is shown for it here.
        const QString junk = db.Dir.filePath(QStringLiteral("junk.gdb"));
        QVERIFY(WriteTestFile(junk, QByteArray(16384, 'x')));
        QVERIFY(!db.Dm->OpenLibrary(junk, QString(), false));
        QVERIFY(!db.Dm->Connected());
        QVERIFY(db.Prompts.Shown.isEmpty());
        QCOMPARE(db.Dm->Open(QStringLiteral("SELECT * FROM Papers")), 0);
        // A database that cannot be created is reported.
        db.Dm->SetDBFileName(junk + QStringLiteral("/inside.gdb"));
        QVERIFY(!db.Dm->CreateDatabase());
        QVERIFY(db.Prompts.Messages().contains(QStringLiteral("Can't create database file !")));
    }

    void selectIds_data()
    {
        QList<int> run;
        for (int id = 100; id < 3100; id += 2)
            run << id;
        QList<int> everyThird;
        for (int id = 0; id < 300; id += 3)
            everyThird << id;
        QTest::addColumn<QList<int>>("ids");
        QTest::addColumn<QString>("runs");
        QTest::addColumn<QList<int>>("listed");
        QTest::newRow("run of close IDs, unsorted and repeated")
            << (QList<int>{5, 3} + run + QList<int>{100, 3100, 3103}) << QStringLiteral("100-3100") << QList<int>{3, 5, 3103};
        QTest::newRow("IDs 3 apart are looked up") << everyThird << QString() << everyThird;
        QTest::newRow("15 consecutive IDs are too few for a range")
            << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15} << QString()
            << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
        QTest::newRow("none") << QList<int>{} << QString() << QList<int>{};
    }

    // Which IDs a list reads by ranges and which one by one.
    void selectIds()
    {
        QFETCH(QList<int>, ids);
        QFETCH(QString, runs);
        QFETCH(QList<int>, listed);
        const TIdSelection selection = SelectIds(ids);
        QStringList ranges;
        for (const auto &[first, last] : selection.Runs)
            ranges << QStringLiteral("%1-%2").arg(first).arg(last);
        QCOMPARE(ranges.join(u' '), runs);
        QCOMPARE(selection.Listed, listed);
    }

    void serverNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("server");
        QTest::newRow("host") << QStringLiteral("dbhost:/srv/lib.fdb") << true;
        QTest::newRow("host and port") << QStringLiteral("dbhost/3051:/srv/lib.fdb") << true;
        QTest::newRow("address") << QStringLiteral("127.0.0.1:/srv/lib.fdb") << true;
        QTest::newRow("local path") << QStringLiteral("/home/u/.local/share/Varnel/Database/varnel.gdb") << false;
        QTest::newRow("local path with colon") << QStringLiteral("/data/a:b/varnel.gdb") << false;
    }

    void serverNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, server);
        QCOMPARE(TdmMain::IsServerName(name), server);
    }

    // The desktop program and the command-line tool work on one library at the same time.
    void twoProcessesShareOneLibrary()
    {
        TDatabaseFixture db;
        QVERIFY(db.Create());
        const int journal = db.AddJournal(QStringLiteral("Shared"));
        QCOMPARE(db.Scalar(QStringLiteral("SELECT Count(*) FROM Papers")), 0);

        QProcess peer;
        peer.start(QStringLiteral(VARNEL_DB_PEER), {db.DBFileName(), QString::number(journal)});
        QVERIFY(peer.waitForFinished(60000));
        QVERIFY2(peer.exitCode() == 0, peer.readAllStandardError().constData());
        QCOMPARE(peer.readAllStandardOutput().trimmed(), QByteArray("journals=3"));

        // This process, still attached, sees the other's paper and can write beside it.
        QCOMPARE(db.Scalar(QStringLiteral("SELECT Count(*) FROM Papers WHERE JID = %1").arg(journal)), 1);
        QVERIFY(db.AddPaper(journal, QStringLiteral("From the program")) > 0);
        QCOMPARE(db.Scalar(QStringLiteral("SELECT Count(*) FROM Papers")), 2);
    }
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
