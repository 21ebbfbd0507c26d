#include "DatabaseFixture.h"
#include "TestFiles.h"
#include "TestRecords.h"
#include "exchange/Exports.h"
#include "exchange/RISImporter.h"
#include "exchange/RISWriter.h"
#include "exchange/TextFiles.h"
#include "shell/PaperFiles.h"
#include "shell/TextUtils.h"

#include <QDir>

namespace {

const QDateTime Now(QDate(2026, 12, 9), QTime(10, 30));

// The fields of a stored paper as "Name=value" texts, for table comparisons.
QStringList Describe(const TPaperRecord &paper)
{
    QStringList authors;
    for (const TAuthorRecord &author : paper.AuthorList)
        authors << author.Last + u'|' + author.First;
    const TJournalRecord journal = paper.Journal ? *paper.Journal : TJournalRecord();
    return {QStringLiteral("Type=") + paper.PType, QStringLiteral("Title=") + paper.Title,
        QStringLiteral("SubTitle=") + paper.SubTitle, QStringLiteral("Journal=") + journal.Title,
        QStringLiteral("Abbrv=") + journal.Abbrv, QStringLiteral("JType=") + journal.JType,
        QStringLiteral("City=") + journal.City, QStringLiteral("Year=%1").arg(paper.Year),
        QStringLiteral("Volume=") + paper.Volume, QStringLiteral("Issue=") + paper.Issue,
        QStringLiteral("Pages=") + paper.PS + u'|' + paper.PE, QStringLiteral("Keywords=") + paper.Keywords,
        QStringLiteral("Abstract=") + paper.Abst, QStringLiteral("URL=") + paper.URL,
        QStringLiteral("DOI=") + paper.DOI, QStringLiteral("Added=") + paper.Added.toString(Qt::ISODate),
        QStringLiteral("Authors=") + authors.join(QStringLiteral("; "))};
}

// Only the fields named in expected are compared.
void CompareFields(const TPaperRecord &paper, const QStringList &expected)
{
    const QStringList actual = Describe(paper);
    for (const QString &field : expected) {
        const QString name = field.left(field.indexOf(u'=') + 1);
        const auto found
            = std::find_if(actual.begin(), actual.end(), [&](const QString &a) { return a.startsWith(name); });
        QVERIFY2(found != actual.end(), qPrintable(name));
        QCOMPARE(*found, field);
    }
}

} // namespace

class TestRIS : public QObject
{
    Q_OBJECT

    std::unique_ptr<TDatabaseFixture> FDb;

    TRISImporter::TOutcome Import(const QString &text, bool ignoreDate = false, int *jid = nullptr, int *pid = nullptr)
    {
        TRISImporter importer(*FDb->Dm, FDb->Prompts);
        importer.SetClock([] { return Now; });
        int j = 0, p = 0;
        const TRISImporter::TOutcome outcome = importer.Parse(SplitLines(text), ignoreDate, j, p);
        if (jid)
            *jid = j;
        if (pid)
            *pid = p;
        return outcome;
    }

    TPapers AllPapers()
    {
        TPapers papers;
        FDb->Dm->PrepareAllPaperList();
        FDb->Dm->GetPapers(papers);
        return papers;
    }

private Q_SLOTS:
    void init()
    {
        FDb = std::make_unique<TDatabaseFixture>();
        QVERIFY(FDb->Create());
    }

    void records_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("fields");
        const auto lines = [](std::initializer_list<const char *> list) {
            QStringList result;
            for (const char *line : list)
                result << QString::fromUtf8(line);
            return result.join(u'\n');
        };
        QTest::newRow("RIS worked example")
            << lines({"TY  - JOUR", "T1  - Friction of thin films", "JO  - Tribology Letters", "JA  - Tribol. Lett.",
                   "VL  - 45", "IS  - 2", "SP  - 301-310", "PY  - 2012/03/15/", "KW  - friction", "KW  - coating",
                   "AU  - Ivanov, Ivan", "AU  - Petrov, Peter", "AB  - A study of", "      friction.",
                   "M3  - 10.1000/xyz123", "ER  - ", ""})
            << QStringList {QStringLiteral("Type=J"), QStringLiteral("Title=Friction of thin films"),
                   QStringLiteral("Journal=Tribology Letters"), QStringLiteral("Abbrv=Tribol. Lett."),
                   QStringLiteral("JType=J"), QStringLiteral("Volume=45"), QStringLiteral("Issue=2"),
                   QStringLiteral("Pages=301|310"), QStringLiteral("Year=2012"),
                   QStringLiteral("Keywords= friction coating"), QStringLiteral("Authors=Ivanov|Ivan; Petrov|Peter"),
                   QStringLiteral("Abstract=A study of      friction."), QStringLiteral("DOI=10.1000/xyz123"),
                   QStringLiteral("Added=2026-12-09")};
        QTest::newRow("tagged-text worked example")
            << lines({"%0 Journal Article", "%T Friction of thin films", "%J Tribology Letters", "%A Ivanov, Ivan",
                   "%A Petrov, Peter", "%D 2012", "%V 45", "%N 2", "%P 301-310", "%X A study of friction."})
            << QStringList {QStringLiteral("Type=J"), QStringLiteral("Title=Friction of thin films"),
                   QStringLiteral("Journal=Tribology Letters"), QStringLiteral("Abbrv=Tribology Letters"),
                   QStringLiteral("Volume=45"), QStringLiteral("Issue=2"), QStringLiteral("Pages=301|310"),
                   QStringLiteral("Year=2012"), QStringLiteral("Keywords="),
                   QStringLiteral("Authors=Ivanov|Ivan; Petrov|Peter"), QStringLiteral("Abstract=A study of friction."),
                   QStringLiteral("DOI=")};
        QTest::newRow("empty RIS value: the next tag")
            << lines({"TY  - JOUR", "TI  - ", "JO  - J", "T1  - Title"}) << QStringList {QStringLiteral("Title=Title")};
        QTest::newRow("earliest line wins") << lines({"TY  - JOUR", "TI  - Second", "T1  - First", "JO  - J"})
                                            << QStringList {QStringLiteral("Title=Second")};
        QTest::newRow("SP and EP") << lines({"TY  - JOUR", "T1  - T", "JO  - J", "SP  - 125", "EP  - 147"})
                                   << QStringList {QStringLiteral("Pages=125|147")};
        QTest::newRow("no pages") << lines({"TY  - JOUR", "T1  - T", "JO  - J"})
                                  << QStringList {QStringLiteral("Pages=0|")};
        QTest::newRow("no year: this year")
            << lines({"TY  - JOUR", "T1  - T", "JO  - J"}) << QStringList {QStringLiteral("Year=2026")};
        QTest::newRow("year in a conference date")
            << lines({"TY  - CONF", "T1  - T", "JO  - Conf", "PY  - 4-8 Aug. 2020"})
            << QStringList {QStringLiteral("Year=2020"), QStringLiteral("Type=O"), QStringLiteral("JType=C")};
        QTest::newRow("two-digit year") << lines({"TY  - JOUR", "T1  - T", "JO  - J", "PY  - 99"})
                                        << QStringList {QStringLiteral("Year=99")};
        QTest::newRow("only an abbreviation")
            << lines({"TY  - JOUR", "T1  - T", "JA  - Tribol. Lett."})
            << QStringList {QStringLiteral("Journal=Tribol. Lett."), QStringLiteral("Abbrv=Tribol. Lett.")};
        QTest::newRow("no journal tag at all")
            << lines({"TY  - JOUR", "T1  - T"})
            << QStringList {QStringLiteral("Journal=NOT SPECIFIED"), QStringLiteral("Abbrv=NOT SPECIFIED")};
        QTest::newRow("dissertation without publisher")
            << lines({"TY  - DISS", "TI  - Thesis", "T1  - Sub"})
            << QStringList {
                   QStringLiteral("Journal=Dissertations"), QStringLiteral("Type=D"), QStringLiteral("SubTitle=Sub")};
        QTest::newRow("patent") << lines({"TY  - PATN", "TI  - Device"})
                                << QStringList {QStringLiteral("Journal=Patents"), QStringLiteral("Type=P")};
        QTest::newRow("chapter") << lines(
            {"TY  - CHAP", "BT  - Book title", "T1  - Chapter", "PB  - Springer", "CY  - Berlin"})
                                 << QStringList {QStringLiteral("Type=C"), QStringLiteral("Title=Book title"),
                                        QStringLiteral("SubTitle=Chapter"), QStringLiteral("Journal=Springer"),
                                        QStringLiteral("JType=P"), QStringLiteral("City=Berlin")};
        QTest::newRow("unknown type: a book") << lines({"TY  - ELEC", "TI  - Page", "PB  - Web"})
                                              << QStringList {QStringLiteral("Type=B"), QStringLiteral("JType=P")};
        QTest::newRow("A1 names") << lines(
            {"TY  - JOUR", "T1  - T", "JO  - J", "A1  - Ivan Ivanov and Peter P. Petrov"})
                                  << QStringList {QStringLiteral("Authors=Ivanov|Ivan; Petrov|Peter P.")};
        QTest::newRow("A1 as databases write it")
            << lines({"TY  - JOUR", "T1  - T", "JO  - J", "A1  - Adler D.G.", "A1  - Smith, John"})
            << QStringList {QStringLiteral("Authors=Adler|D.G.; Smith|John")};
        QTest::newRow("AU without comma")
            << lines({"TY  - JOUR", "T1  - T", "JO  - J", "AU  - Fanning E.", "AU  - Consortium"})
            << QStringList {QStringLiteral("Authors=Fanning|E.; Consortium|")};
        QTest::newRow("AU without blank after comma")
            << lines({"TY  - JOUR", "T1  - T", "JO  - J", "AU  - Valle-Delgado,J. J. "})
            << QStringList {QStringLiteral("Authors=Valle-Delgado|J. J.")};
        QTest::newRow("DOI from DO, resolver address removed")
            << lines({"TY  - JOUR", "T1  - T", "JO  - J", "M3  - Article",
                   "DO  - http://dx.doi.org/10.1016/j.x.2020.01.001"})
            << QStringList {QStringLiteral("DOI=10.1016/j.x.2020.01.001")};
        QTest::newRow("doi: prefix") << lines({"TY  - JOUR", "T1  - T", "JO  - J", "M3  - doi:10.1021/ja01"})
                                     << QStringList {QStringLiteral("DOI=10.1021/ja01")};
        QTest::newRow("AD as our date") << lines({"TY  - JOUR", "T1  - T", "JO  - J", "AD  - 2020/02/29"})
                                        << QStringList {QStringLiteral("Added=2020-02-29")};
        QTest::newRow("AD as an address") << lines({"TY  - JOUR", "T1  - T", "JO  - J", "AD  - Dept. of Physics, Oslo"})
                                          << QStringList {QStringLiteral("Added=2026-12-09")};
        QTest::newRow("URL holding %0A") << lines({"TY  - JOUR", "T1  - T", "JO  - J", "UR  - http://x.org/a%0Ab",
            "VL  - 7"}) << QStringList {QStringLiteral("URL=http://x.org/a%0Ab"), QStringLiteral("Volume=7")};
        QTest::newRow("BOM and CR line ends") << QStringLiteral("\ufeffTY  - JOUR\rT1  - T\rJO  - J\r")
                                              << QStringList {QStringLiteral("Title=T"), QStringLiteral("Journal=J")};
        QTest::newRow("long values are cut to the columns")
            << lines({"TY  - JOUR", "JO  - J", "VL  - 123456789012345678901234"}) + QStringLiteral("\nT1  - ")
                + QString(300, u'x')
            << QStringList {
                   QStringLiteral("Title=") + QString(250, u'x'), QStringLiteral("Volume=12345678901234567890")};
    }

    void records()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, fields);
        int jid = 0, pid = 0;
        const TRISImporter::TOutcome outcome = Import(text, false, &jid, &pid);
        QCOMPARE(FDb->Prompts.Messages(), QStringList());
        QCOMPARE(outcome.Stored, 1);
        const TPapers papers = FDb->LoadPaper(pid);
        QCOMPARE(papers.size(), std::size_t(1));
        QCOMPARE(papers[0]->JID, jid);
        CompareFields(*papers[0], fields);
        QCOMPARE(papers[0]->FileName, PaperFileName(*papers[0]));
    }

    void splitting_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<int>("failed");
        QTest::newRow("empty line between")
            << QStringLiteral("TY  - JOUR\nT1  - A\nJO  - J\n\nTY  - JOUR\nT1  - B\nJO  - J\n")
            << QStringList {QStringLiteral("A"), QStringLiteral("B")} << 0;
        QTest::newRow("ER then TY, no empty line")
            << QStringLiteral("TY  - JOUR\nT1  - A\nJO  - J\nER  - \nTY  - JOUR\nT1  - B\nJO  - J\nER  -")
            << QStringList {QStringLiteral("A"), QStringLiteral("B")} << 0;
        QTest::newRow("TY right after TY")
            << QStringLiteral("TY  - JOUR\nT1  - A\nJO  - J\nTY  - JOUR\nT1  - B\nJO  - J")
            << QStringList {QStringLiteral("A"), QStringLiteral("B")} << 0;
        QTest::newRow("junk between records")
            << QStringLiteral("1.\nTY  - JOUR\nT1  - A\nJO  - J\nER  - \nLink to the full text\n\n2.\n"
                              "TY  - JOUR\nT1  - B\nJO  - J\nER  - ")
            << QStringList {QStringLiteral("A"), QStringLiteral("B")} << 0;
        QTest::newRow("last line ends the record")
            << QStringLiteral("TY  - JOUR\nT1  - A\nJO  - J") << QStringList {QStringLiteral("A")} << 0;
        QTest::newRow("failing record skipped") << QStringLiteral(
            "TY  - CHAP\nTI  - Orphan\n\nTY  - JOUR\nT1  - B\nJO  - J\nPY  - n.d.\n\nTY  - JOUR\nT1  - C\nJO  - J\n")
                                                << QStringList {QStringLiteral("C")} << 2;
        QTest::newRow("tagged text records")
            << QStringLiteral("%0 Journal Article\n%T A\n%J J\n\n%0 Book\n%T B\n%P Publisher\n")
            << QStringList {QStringLiteral("A"), QStringLiteral("B")} << 0;
    }

    void splitting()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, titles);
        QFETCH(int, failed);
        const TRISImporter::TOutcome outcome = Import(text);
        QCOMPARE(outcome.Failed, failed);
        QCOMPARE(outcome.Stored, titles.size());
        QStringList stored;
        for (const auto &paper : AllPapers())
            stored << paper->Title;
        QCOMPARE(stored, titles);
        QCOMPARE(FDb->Prompts.Messages().size(), failed);
    }

    // A failing record shows its lines and the reason; what was stored for it (a new container) stays.
    void failureMessage()
    {
        const TRISImporter::TOutcome outcome
            = Import(QStringLiteral("TY  - JOUR\nT1  - A\nJO  - New Journal\nPY  - n.d.\n"));
        QCOMPARE(outcome.Failed, 1);
        QCOMPARE(FDb->Prompts.Messages(),
            QStringList {QStringLiteral(
                "Can't parse data: \r\n TY  - JOUR\r\nT1  - A\r\nJO  - New Journal\r\nPY  - n.d.\r\n \n\r "
                "'n.d.' is not a valid integer value")});
        QVERIFY(FDb->Dm->GetJournalID(QStringLiteral("New Journal")) > 0);
        FDb->Prompts.Shown.clear();
        Import(QStringLiteral("TY  - CHAP\nTI  - Orphan\n"));
        QVERIFY(FDb->Prompts.Messages().value(0).endsWith(QStringLiteral(" \n\r Journal title not found!")));
    }

    void noRecords()
    {
        const TRISImporter::TOutcome outcome
            = Import(QStringLiteral("FN Clarivate Analytics Web of Science\nVR 1.0\nPT J\nTI Title\nER\nEF\n"));
        QCOMPARE(outcome.Records, 0);
        QCOMPARE(FDb->Prompts.Messages().size(), 1);
        QVERIFY(FDb->Prompts.Messages()[0].startsWith(QStringLiteral("No citation records found")));
    }

    void putToRIS()
    {
        TPaperRecord paper;
        paper.PType = u'J';
        paper.Title = QStringLiteral("New impressive results");
        paper.Journal = std::make_shared<TJournalRecord>();
        paper.Journal->Title = QStringLiteral("Applied Physics Letters");
        paper.Journal->Abbrv = QStringLiteral("App. Phys. Lett.");
        paper.Volume = QStringLiteral("512");
        paper.Issue = QStringLiteral("1-2");
        paper.PS = QStringLiteral("125");
        paper.PE = QStringLiteral("147");
        paper.Year = 2012;
        paper.Added = QDate(2024, 3, 5);
        paper.AuthorList = {Author("Ivan", "Ivanov"), Author("Peter", "Petrov")};
        QStringList lines {QStringLiteral("kept")};
        PutToRIS(paper, true, lines);
        QCOMPARE(lines,
            (QStringList {QStringLiteral("kept"), QStringLiteral("TY  - JOUR"),
                QStringLiteral("T1  - New impressive results"), QStringLiteral("JO  - Applied Physics Letters"),
                QStringLiteral("JA  - App. Phys. Lett."), QStringLiteral("VL  - 512"), QStringLiteral("IS  - 1-2"),
                QStringLiteral("SP  - 125"), QStringLiteral("EP  - 147"), QStringLiteral("PY  - 2012"),
                QStringLiteral("AB  - "), QStringLiteral("UR  - "), QStringLiteral("M3  - "), QStringLiteral("KW  - "),
                QStringLiteral("AD  - "), QStringLiteral("AU  - Ivanov, Ivan"),
                QStringLiteral("AU  - Petrov, Peter")}));
        lines.clear();
        PutToRIS(paper, false, lines);
        QVERIFY(lines.contains(QStringLiteral("AD  - 2024/03/05")));
        paper.PType = u'X';
        paper.AuthorList.clear();
        paper.Year = 0;
        lines.clear();
        PutToRIS(paper, false, lines);
        QCOMPARE(lines.mid(0, 4),
            (QStringList {QStringLiteral("TY  - BOOK"), QStringLiteral("BT  - New impressive results"),
                QStringLiteral("PB  - Applied Physics Letters"), QStringLiteral("CY  - ")}));
        QVERIFY(lines.contains(QStringLiteral("PY  - 0")));
        QVERIFY(!lines.last().startsWith(QStringLiteral("AU")));
    }

    // Written and read back, a paper of each type keeps its type and fields, with the documented differences.
    void roundTrip_data()
    {
        QTest::addColumn<QChar>("type");
        for (const char type : {'J', 'C', 'O', 'D', 'P', 'B'})
            QTest::newRow(QByteArray(1, type).constData()) << QChar::fromLatin1(type);
    }

    void roundTrip()
    {
        QFETCH(QChar, type);
        TPaperRecord paper;
        paper.PType = type;
        paper.Title = QStringLiteral("Ünïcode title with 'quotes' and %jy");
        if (type == u'C' || type == u'D' || type == u'P')
            paper.SubTitle = QStringLiteral("Sub title");
        paper.Journal = std::make_shared<TJournalRecord>();
        paper.Journal->Title = QStringLiteral("Container Λ");
        paper.Journal->Abbrv = type == u'J' ? QStringLiteral("Cont.") : QString();
        paper.Journal->City = QStringLiteral("Oslo");
        paper.Volume = type == u'J' || type == u'O' ? QStringLiteral("12") : QString();
        paper.Issue = paper.Volume.isEmpty() ? QString() : QStringLiteral("3");
        paper.PS = QStringLiteral("5");
        paper.PE = QStringLiteral("9");
        paper.Year = 2019;
        paper.Abst = QStringLiteral("Line one\r\nline two");
        paper.URL = QStringLiteral("https://example.org/p?a=1&b=%20");
        paper.DOI = QStringLiteral("10.1234/abc.5");
        paper.Keywords = QStringLiteral("wear friction");
        paper.Added = QDate(2021, 7, 1);
        paper.AuthorList = {Author("Ivan", "Ivanov"), Author("Zoë", "Łukasiewicz")};
        QStringList lines;
        PutToRIS(paper, false, lines);
        int pid = 0;
        QCOMPARE(Import(SplitLines(LinesWithCRLF(lines)).join(u'\n'), true, nullptr, &pid).Stored, 1);
        const TPapers back = FDb->LoadPaper(pid);
        QCOMPARE(back.size(), std::size_t(1));
        const TPaperRecord &read = *back[0];
        QCOMPARE(read.PType, type);
        QCOMPARE(read.Title, paper.Title);
        QCOMPARE(read.SubTitle, paper.SubTitle);
        QCOMPARE(read.Year, 2019);
        QCOMPARE(read.Volume, paper.Volume);
        QCOMPARE(read.Issue, paper.Issue);
        QCOMPARE(read.PS + u'-' + read.PE, QStringLiteral("5-9"));
        QCOMPARE(read.Abst, QStringLiteral("Line oneline two")); // line breaks are joined away
        QCOMPARE(read.URL, paper.URL);
        QCOMPARE(read.DOI, paper.DOI);
        QCOMPARE(read.Keywords, QStringLiteral(" wear friction")); // one more leading blank
        QCOMPARE(read.Added, paper.Added);
        QCOMPARE(read.AuthorList.size(), 2);
        QCOMPARE(read.AuthorList[1].Last, QStringLiteral("Łukasiewicz"));
        QCOMPARE(read.AuthorList[1].First, QStringLiteral("Zoë"));
        if (type == u'D')
            QCOMPARE(read.JournalTitle(), QStringLiteral("Dissertations"));
        else if (type == u'P')
            QCOMPARE(read.JournalTitle(), QStringLiteral("Patents"));
        else
            QCOMPARE(read.JournalTitle(), paper.Journal->Title);
        if (type == u'C' || type == u'B' || type == u'O')
            QCOMPARE(read.Journal->City, QStringLiteral("Oslo"));
    }

    // Hostile values: 10 MB fields, every Unicode plane, control characters, quotes and backslashes, journal
    // titles that would name no folder or a parent one. Each is stored (cut to its column where one limits it)
    // and read back; the paper's files stay inside the library folder.
    void hostileValues_data()
    {
        QTest::addColumn<QString>("journal");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("storedTitle");
        QTest::addColumn<int>("abstractSize");
        const QString planes = QString::fromUcs4(U"A\u00e9\u0416\u4e2d\U0001F600\U00020000\U000E0041\U000F0000\U0010FFFD");
        QTest::newRow("every plane") << QStringLiteral("Wear") << planes << planes << 10;
        QTest::newRow("quotes, backslashes, controls")
            << QStringLiteral("Wear") << QStringLiteral("O'Brien's \\ \"x\" \x01\x07\t end") << QStringLiteral("O'Brien's \\ \"x\" \x01\x07\t end") << 10;
        QTest::newRow("10 MB title and abstract") << QStringLiteral("Wear") << QString(10 << 20, u'T') << QString(250, u'T')
                                                  << (10 << 20);
        QTest::newRow("journal of dots") << QStringLiteral("..") << QStringLiteral("Dots") << QStringLiteral("Dots") << 10;
        QTest::newRow("journal of a slash") << QStringLiteral("/") << QStringLiteral("Slash") << QStringLiteral("Slash") << 10;
        QTest::newRow("journal climbing") << QStringLiteral("../../etc") << QStringLiteral("Climb") << QStringLiteral("Climb") << 10;
    }

    void hostileValues()
    {
        QFETCH(QString, journal);
        QFETCH(QString, title);
        QFETCH(QString, storedTitle);
        QFETCH(int, abstractSize);
        const QString abstract(abstractSize, u'a');
        int pid = 0;
        QCOMPARE(Import(QStringLiteral("TY  - JOUR\nT1  - ") + title + QStringLiteral("\nJO  - ") + journal
                            + QStringLiteral("\nVL  - ..\nAB  - ") + abstract + QStringLiteral("\nER  - \n"),
                     false, nullptr, &pid)
                     .Stored,
            1);
        const TPapers back = FDb->LoadPaper(pid);
        QCOMPARE(back.front()->Title, storedTitle);
        QCOMPARE(back.front()->Abst.size(), abstract.size());
        TPaperRecord paper = *back.front();
        const QString library = QDir(FDb->Library).absolutePath() + u'/';
        const QString path = QDir::cleanPath(PaperFullPath(FDb->Library, paper));
        QVERIFY2(path.startsWith(library), qPrintable(path));
        QCOMPARE(QDir::cleanPath(path).count(u'/'), library.count(u'/') + 2); // journal folder, volume folder, file
    }

    void exports()
    {
        const int journal = FDb->AddJournal(QStringLiteral("Applied Physics Letters"));
        TPapers papers;
        for (const char *title : {"First", "Second: a/b", "Third"}) {
            auto paper = std::make_unique<TPaperRecord>();
            paper->PType = title[0] == 'S' ? u'B' : u'J';
            paper->Title = QString::fromUtf8(title);
            paper->JID = journal;
            paper->Journal = FDb->Dm->GetJournal(journal);
            paper->Journal->Abbrv = QStringLiteral("App. Phys. Lett.");
            paper->Volume = QStringLiteral("512");
            paper->Year = 2012;
            paper->Added = QDate(2012, 1, 2);
            paper->AuthorList = {Author("Ivan", "Ivanov")};
            QVERIFY(FDb->Dm->UpdatePaper(*paper) > 0);
            papers.push_back(std::move(paper));
        }
        QTemporaryDir out;
        QStringList progress;
        ExportRISFiles(PaperRefs(papers), out.path(),
            [&](int done, int total) { progress << QStringLiteral("%1 of %2").arg(done).arg(total); });
        QCOMPARE(
            progress, (QStringList {QStringLiteral("1 of 3"), QStringLiteral("2 of 3"), QStringLiteral("3 of 3")}));
        // The two articles share an export name: the second replaced the first. "/" and ":" became blanks.
        QCOMPARE(QDir(out.path()).entryList(QDir::Files, QDir::Name),
            (QStringList {QStringLiteral("Ivanov, App. Phys. Lett. (512-2012).ris"),
                QStringLiteral("Ivanov, Second  a b (2012).ris")}));
        const QByteArray bytes = ReadTestFile(out.filePath(QStringLiteral("Ivanov, App. Phys. Lett. (512-2012).ris")));
        QVERIFY(bytes.startsWith("\xEF\xBB\xBFTY  - JOUR\r\nT1  - Third\r\n"));
        QVERIFY(bytes.endsWith("AD  - \r\nAU  - Ivanov, Ivan\r\n"));

        QTemporaryDir all;
        QCOMPARE(ExportAllRIS(*FDb->Dm, all.path()), 3);
        QCOMPARE(QDir(all.path()).entryList(QDir::Files).size(), 3); // digest names differ by title
        QVERIFY(
            ReadTestFile(all.filePath(papers[1]->FileName + QStringLiteral(".ris"))).contains("AD  - 2012/01/02\r\n"));
        QVERIFY_THROWS_EXCEPTION(EVarnelError, ExportRISFiles(PaperRefs(papers), out.filePath(QStringLiteral("missing/folder"))));
    }

    // Real exports of publishers and databases (tests/fixtures/corpus/SOURCES.md): records found, stored and
    // failed per file. A failing record is reported; a file without any record says so once.
    void corpus_data()
    {
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("failed");
        QTest::newRow("asreview-embase-elsevier-bom-a1-initials.ris") << 6 << 6 << 0;
        QTest::newRow("asreview-endnote-all-reference-types-crlf-bom.ris") << 61 << 7 << 54;
        QTest::newRow("asreview-endnote-pubmed-multiline-kw-n1.ris") << 6 << 6 << 0;
        QTest::newRow("asreview-lens-100rec-crlf-bom-noblank.ris") << 100 << 100 << 0;
        QTest::newRow("asreview-ovid-psycinfo-numbered-trailing-junk.ris") << 6 << 6 << 0;
        QTest::newRow("asreview-proquest-ptsdpubs.ris") << 6 << 6 << 0;
        QTest::newRow("asreview-rayyan-multiline-kw.ris") << 19 << 19 << 0;
        QTest::newRow("asreview-scopus-elsevier-references-n1.ris") << 6 << 6 << 0;
        QTest::newRow("asreview-scopus-via-citavi-untagged-lines-book.ris") << 7 << 7 << 0;
        QTest::newRow("asreview-webofscience-ris-export.ris") << 10 << 10 << 0;
        QTest::newRow("asreview-zotero-lens-crlf-100rec.ris") << 100 << 100 << 0;
        QTest::newRow("asreview-zotero-pubmed-da-undefined.ris") << 6 << 6 << 0;
        QTest::newRow("colrev-ais-elibrary-misq.enw") << 2 << 2 << 0;
        QTest::newRow("colrev-ieee-xplore-conf-anonymized-crlf.ris") << 2 << 2 << 0;
        QTest::newRow("colrev-jstor-provider-header-anonymized-crlf.ris") << 4 << 4 << 0;
        QTest::newRow("colrev-proquest-thesis-anonymized-crlf.ris") << 2 << 2 << 0;
        QTest::newRow("jabref-aip-jchemphys-leading-blanks.ris") << 1 << 1 << 0;
        QTest::newRow("jabref-cambridge-book-editors.ris") << 1 << 1 << 0;
        QTest::newRow("jabref-crcpress-chapter-doi-prefix.ris") << 1 << 1 << 0;
        QTest::newRow("jabref-dnb-book-german-umlaut.enw") << 1 << 1 << 0;
        QTest::newRow("jabref-elsevier-cellpress-neuron.ris") << 1 << 1 << 0;
        QTest::newRow("jabref-pmc-hindawi-multi-py.ris") << 1 << 1 << 0;
        QTest::newRow("jabref-pubmed-ris-export.ris") << 1 << 1 << 0;
        QTest::newRow("jabref-sciencedirect-acta-materialia.ris") << 1 << 1 << 0;
        QTest::newRow("jabref-scifinder-caplus-acs-m3-doi.ris") << 1 << 1 << 0;
        QTest::newRow("jabref-scifinder-medline.ris") << 1 << 1 << 0;
        QTest::newRow("jabref-scopus-2016-export.ris") << 1 << 1 << 0;
        QTest::newRow("jabref-springer-no-ty-bom.ris") << 0 << 0 << 0;
        QTest::newRow("refparsers-googlescholar-crlf.enw") << 1 << 1 << 0;
        QTest::newRow("refparsers-googlescholar-like-malformed-crlf.ris") << 2 << 2 << 0;
        QTest::newRow("rispy-embase-empty-sp-doi-url.ris") << 1 << 1 << 0;
        QTest::newRow("rispy-generic-russian-bom-jo-vo.ris") << 1 << 1 << 0;
        QTest::newRow("rispy-webofscience-fieldtagged-misnamed.ris") << 0 << 0 << 0;
    }

    void corpus()
    {
        QFETCH(int, records);
        QFETCH(int, stored);
        QFETCH(int, failed);
        const QString file = QStringLiteral(VARNEL_FIXTURES "/corpus/") + QString::fromLatin1(QTest::currentDataTag());
        const TRISImporter::TOutcome outcome = Import(ReadTextLines(file).join(u'\n'));
        QCOMPARE(outcome.Records, records);
        QCOMPARE(outcome.Stored, stored);
        QCOMPARE(outcome.Failed, failed);
        QCOMPARE(FDb->Prompts.Messages().size(), records == 0 ? 1 : failed);
        QCOMPARE(AllPapers().empty(), stored == 0);
    }

    // Files as they come: other encodings and line ends, a megabyte on one line, bytes that are no text.
    void unusualFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("stored");
        const QString record = QStringLiteral("TY  - JOUR\r\nT1  - Синтез графена\r\nJO  - Carbon\r\nAB  - %1\r\nER  - \r\n");
        QByteArray utf16("\xFF\xFE");
        const QString text = record.arg(QStringLiteral("short"));
        utf16.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
        QTest::newRow("UTF-16 with BOM") << utf16 << 1;
        QTest::newRow("CR line ends") << text.toUtf8().replace("\r\n", "\r") << 1;
        QTest::newRow("a line of 1 MB") << record.arg(QString(1 << 20, u'a')).toUtf8() << 1;
        QByteArray garbage(4096, '\0');
        for (int i = 0; i < garbage.size(); ++i)
            garbage[i] = char((i * 7919) & 0xFF);
        QTest::newRow("binary garbage") << garbage << 0;
    }

    void unusualFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, stored);
        const QString file = FDb->Dir.filePath(QStringLiteral("input.ris"));
        QVERIFY(WriteTestFile(file, bytes));
        const TRISImporter::TOutcome outcome = Import(ReadTextLines(file).join(u'\n'));
        QCOMPARE(outcome.Stored, stored);
        const TPapers papers = AllPapers();
        QCOMPARE(int(papers.size()), stored);
        if (stored) {
            QCOMPARE(papers.front()->Title, QStringLiteral("Синтез графена"));
            QVERIFY(papers.front()->Abst == QStringLiteral("short") || papers.front()->Abst.size() == 1 << 20);
        } else {
            QCOMPARE(FDb->Prompts.Messages().size(), 1);
        }
    }

    void exportAllOfAnEmptyLibrary()
    {
        QTemporaryDir all;
        QCOMPARE(ExportAllRIS(*FDb->Dm, all.path()), 0);
        QVERIFY(QDir(all.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRIS)
#include "tst_ris.moc"
