#include "DatabaseFixture.h"
#include "library/SearchBuilders.h"
#include "shell/VarnelError.h"

namespace {

const QDateTime Now(QDate(2026, 12, 9), QTime(10, 30));

} // namespace

class TestSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void conditions_data()
    {
        QTest::addColumn<QString>("built");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain value with wildcards") << MakeCondition(QStringLiteral(" 2010 "), true) << QStringLiteral("LIKE '%2010%'");
        QTest::newRow("plain value without") << MakeCondition(QStringLiteral("2010"), false) << QStringLiteral("= '2010'");
        QTest::newRow("own wildcard") << MakeCondition(QStringLiteral("thin%"), true) << QStringLiteral("LIKE 'thin%'");
        QTest::newRow("operator kept") << MakeCondition(QStringLiteral(">= 2005"), true) << QStringLiteral(">= 2005");
        QTest::newRow("quote doubled") << MakeCondition(QStringLiteral("O'Neil"), true) << QStringLiteral("LIKE '%O''Neil%'");
        QTest::newRow("line breaks") << MakeCondition(QStringLiteral("LIKE 'a'\r\nOR LIKE 'b'"), true) << QStringLiteral("LIKE 'a' OR LIKE 'b'");
        QTest::newRow("empty") << MakeCondition(QStringLiteral("   "), true) << QString();
        QTest::newRow("words") << MakeWordsCondition(QStringLiteral("thin film")) << QStringLiteral("LIKE '%thin%' AND LIKE '%film%'");
        QTest::newRow("double blank matches everything") << MakeWordsCondition(QStringLiteral("a  b"))
                                                         << QStringLiteral("LIKE '%a%' AND LIKE '%%' AND LIKE '%b%'");
        QTest::newRow("later operators get the field") << AddCondition(QStringLiteral("Title"), QStringLiteral("LIKE 'a%' OR LIKE 'b%'"), QString())
                                                       << QStringLiteral("(Title LIKE 'a%' OR Title LIKE 'b%')");
        QTest::newRow("NOT LIKE") << AddCondition(QStringLiteral("Vol"), QStringLiteral("NOT LIKE '1%' AND NOT LIKE '2%'"), QStringLiteral("(PY = 1)"))
                                  << QStringLiteral("(PY = 1) and (Vol NOT LIKE '1%' AND NOT LIKE '2%')"); // a later NOT LIKE gets no field
        QTest::newRow("comparisons") << AddCondition(QStringLiteral("PY"), QStringLiteral("> 2000 AND < 2010 OR <> 2005"), QString())
                                     << QStringLiteral("(PY > 2000 AND PY < 2010 OR PY <> 2005)");
        QTest::newRow("upper") << AddUpperCondition(QStringLiteral("Abstract"), QStringLiteral("LIKE '%A%' AND LIKE '%B%'"), QString())
                               << QStringLiteral("(UPPER(Abstract) LIKE '%A%' AND UPPER(Abstract) LIKE '%B%')");
    }

    void conditions()
    {
        QFETCH(QString, built);
        QFETCH(QString, expected);
        QCOMPARE(built, expected);
    }

    void statements_data()
    {
        QTest::addColumn<TSearchFields>("fields");
        QTest::addColumn<QString>("statement");
        TSearchFields title;
        title.Title = QStringLiteral("thin film");
        QTest::newRow("title words") << title << QStringLiteral("SELECT * FROM Papers WHERE (Title LIKE '%thin%' AND Title LIKE '%film%')");
        TSearchFields year;
        year.Year = QStringLiteral("2010");
        QTest::newRow("year substring") << year << QStringLiteral("SELECT * FROM Papers WHERE (PY LIKE '%2010%')");
        TSearchFields yearOp;
        yearOp.Year = QStringLiteral(">= 2005");
        QTest::newRow("year operator") << yearOp << QStringLiteral("SELECT * FROM Papers WHERE (PY >= 2005)");
        TSearchFields author;
        author.Author = QStringLiteral("smith");
        QTest::newRow("author") << author
                                << QStringLiteral("SELECT distinct *\r\nFROM Papers p\r\nJOIN Authors a on a.PID = p.Id\r\nWHERE (a.Last LIKE '%smith%')");
        TSearchFields authorYear = author;
        authorYear.Year = QStringLiteral("2010");
        QTest::newRow("author and year")
            << authorYear
            << QStringLiteral("SELECT distinct *\r\nFROM Papers p\r\nJOIN Authors a on a.PID = p.Id\r\nWHERE (a.Last LIKE '%smith%')\r\nAND(PY LIKE '%2010%')");
        TSearchFields journal;
        journal.Journal = QStringLiteral("Carbon");
        QTest::newRow("journal") << journal
                                 << QStringLiteral("SELECT distinct *\r\nFROM Journals j\r\nJOIN Papers p on p.JID = j.Id\r\nWHERE (j.Title LIKE '%Carbon%')");
        TSearchFields both = author;
        both.Journal = QStringLiteral("Carbon");
        QTest::newRow("author and journal in one statement")
            << both
            << QStringLiteral("SELECT distinct *\r\nFROM Papers p\r\nJOIN Authors a on a.PID = p.Id\r\nJOIN Journals j on j.Id = p.JID\r\n"
                              "WHERE (a.Last LIKE '%smith%') and (j.Title LIKE '%Carbon%')");
        TSearchFields abs;
        abs.Abs = QStringLiteral("graphene oxide");
        QTest::newRow("abstract upper-cased")
            << abs << QStringLiteral("SELECT * FROM Papers WHERE (UPPER(Abstract) LIKE '%GRAPHENE%' AND UPPER(Abstract) LIKE '%OXIDE%')");
        TSearchFields keyword;
        keyword.Keyword = QStringLiteral("C#");
        QTest::newRow("marker becomes a blank") << keyword << QStringLiteral("SELECT * FROM Papers WHERE (Keywords LIKE '%C %')");
        TSearchFields week;
        week.DateIndex = 2;
        QTest::newRow("past week") << week << QStringLiteral("SELECT * FROM Papers WHERE (Added > '2026-12-02')");
        TSearchFields today;
        today.DateIndex = 0;
        QTest::newRow("today") << today << QStringLiteral("SELECT * FROM Papers WHERE (Added = '2026-12-09')");
        TSearchFields months = year;
        months.DateIndex = 5;
        QTest::newRow("three months and year") << months
                                               << QStringLiteral("SELECT * FROM Papers WHERE (PY LIKE '%2010%') and (Added > '2026-09-10')");
        TSearchFields typed;
        typed.DateText = QStringLiteral(">= '2026-01-01'");
        QTest::newRow("typed date") << typed << QStringLiteral("SELECT * FROM Papers WHERE (Added >= '2026-01-01')");
        TSearchFields order;
        order.Id = QStringLiteral("7");
        order.Vol = QStringLiteral("12");
        order.Issue = QStringLiteral("3");
        order.Page = QStringLiteral("101");
        QTest::newRow("field order")
            << order << QStringLiteral("SELECT * FROM Papers WHERE (ID LIKE '%7%') and (Vol LIKE '%12%') and (Issue LIKE '%3%') and (PS LIKE '%101%')");
        QTest::newRow("nothing") << TSearchFields() << QString();
    }

    void statements()
    {
        QFETCH(TSearchFields, fields);
        QFETCH(QString, statement);
        QCOMPARE(BuildSearchStatement(fields, Now), statement);
    }

    // The statements run on a real library and read back as papers.
    void searchTheLibrary()
    {
        TDatabaseFixture db;
        QVERIFY(db.Create());
        db.Dm->SetClock([] { return Now; });
        const int carbon = db.AddJournal(QStringLiteral("Carbon"));
        TPaperRecord paper;
        paper.JID = carbon;
        paper.PType = u'J';
        paper.Title = QStringLiteral("Thin carbon films");
        paper.Year = 2010;
        paper.Keywords = QStringLiteral("C#; graphene");
        paper.Abst = QStringLiteral("Graphene oxide was reduced.");
        paper.Added = QDate(2026, 12, 5);
        paper.AuthorList = {{0, QStringLiteral("J."), QStringLiteral("Smith")}, {0, QStringLiteral("A."), QStringLiteral("Smithson")}};
        const int id = db.Dm->UpdatePaper(paper);
        db.AddPaper(1, QStringLiteral("A film patent"), {}, {{0, QStringLiteral("B."), QStringLiteral("Jones")}}, u'P');

        const auto found = [&](const TSearchFields &f) {
            db.Dm->Search(f.Id, f.Author, f.Journal, f.Title, f.Year, f.Vol, f.Issue, f.Page, f.Keyword, f.Abs, f.DateText, f.DateIndex);
            TPapers papers;
            db.Dm->GetPapers(papers);
            QList<int> ids;
            for (const auto &p : papers)
                ids << p->ID;
            return ids;
        };
        TSearchFields fields;
        fields.Title = QStringLiteral("FILM thin");
        QCOMPARE(found(fields), QList<int>{id});
        fields = {};
        fields.Abs = QStringLiteral("graphene OXIDE");
        QCOMPARE(found(fields), QList<int>{id});
        fields = {};
        fields.Year = QStringLiteral(">= 2005");
        QCOMPARE(found(fields), QList<int>{id});
        fields = {};
        fields.DateIndex = 2;
        QCOMPARE(found(fields), QList<int>{id});
        // Both authors match: the paper is listed twice, with the paper's own columns.
        fields = {};
        fields.Author = QStringLiteral("smith");
        QCOMPARE(found(fields), (QList<int>{id, id}));
        db.Dm->Search({}, QStringLiteral("smith"), {}, {}, {}, {}, {}, {}, {}, {}, {}, -1);
        TPapers twice;
        db.Dm->GetPapers(twice);
        QCOMPARE(twice[0]->Title, QStringLiteral("Thin carbon films"));
        QCOMPARE(twice[0]->AuthorList.size(), 2);
        fields.Journal = QStringLiteral("carb");
        QCOMPARE(found(fields), (QList<int>{id, id}));
        fields.Journal = QStringLiteral("Patents");
        QCOMPARE(found(fields), QList<int>{});
        fields = {};
        fields.Journal = QStringLiteral("carbon");
        QCOMPARE(found(fields), QList<int>{id});

        // Statements that cannot run reach the caller.
        QVERIFY_THROWS_EXCEPTION(EVarnelError, found(TSearchFields()));
        fields = {};
        fields.Year = QStringLiteral("= = 3");
        QVERIFY_THROWS_EXCEPTION(EVarnelError, found(fields));
        QVERIFY(db.Prompts.Shown.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSearch)
#include "tst_search.moc"
