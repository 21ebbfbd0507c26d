#include "DatabaseFixture.h"
#include "MemoryDocument.h"
#include "shell/VarnelError.h"
#include "styles/ReferenceText.h"
#include "styles/Templater.h"
#include "wordlink/CitationSource.h"
#include "wordlink/WordHelper.h"

#include <QRegularExpression>
#include <QSet>

// The word-link operations on a document in memory and a real library: three papers of "Wear", the group "Cited"
// holding them in the order C, A, B.
class TestWordLink : public QObject
{
    Q_OBJECT

    std::unique_ptr<TDatabaseFixture> FDb;
    std::unique_ptr<TMemoryDocument> FDoc;
    std::unique_ptr<TWordHelper> FHelper;
    TPapers FPapers; // A, B, C
    int FGroup = 0;
    TTemplateRecord FStyle;
    TTemplater FTemplater;

    TPaperRecord *Paper(int index) { return FPapers[std::size_t(index)].get(); }
    QString Tag(int index) { return Paper(index)->FileName; }

    void AddUnknownCitation()
    {
        FDoc->AppendField({CitationFieldType, QStringLiteral(" CITATION 0123456789abcdef0123456789abcdef \\l 1033 "),
            QStringLiteral("[?]")});
    }

private Q_SLOTS:
    void initTestCase()
    {
        FDb = std::make_unique<TDatabaseFixture>();
        QVERIFY(FDb->Create());
        const int wear = FDb->AddJournal(QStringLiteral("Wear"));
        FPapers.clear();
        for (const char *title : {"Friction & wear of films", "Hardness of coatings", "Scratch tests"}) {
            const int id = FDb->AddPaper(wear, QString::fromUtf8(title), QString(), {{0, QStringLiteral("Ivan"), QStringLiteral("Ivanov")}});
            TPapers loaded = FDb->LoadPaper(id);
            QVERIFY(!loaded.front()->FileName.isEmpty());
            FPapers.push_back(std::move(loaded.front()));
        }
        FGroup = AddTestGroup(*FDb->Dm, QStringLiteral("Cited"));
        FDb->Dm->AddToGroup(FGroup, TPaperRefs {Paper(2), Paper(0), Paper(1)});
        TTemplates styles;
        FDb->Dm->GetTemplates(styles);
        FStyle = *styles.front();
        QCOMPARE(FTemplater.SetTemplate(&FStyle), TErrorType::ErFine);
    }

    void init()
    {
        FDb->Prompts.Shown.clear();
        FDoc = std::make_unique<TMemoryDocument>(QStringLiteral("Known "));
        FHelper = std::make_unique<TWordHelper>(*FDoc, *FDb->Dm, FDb->Prompts);
        FHelper->FTemplater = &FTemplater;
    }

    void cleanupTestCase()
    {
        FHelper.reset();
        FPapers.clear();
        FDb.reset();
    }

    // A paper's source: the tag, the escaped title, the container's abbreviation, one person per author.
    void sourceXml()
    {
        TCitationSource source = CitationSourceOf(*Paper(0));
        source.Journal = QStringLiteral("Wear <J>");
        source.Year = 2012;
        source.FirstPage = QStringLiteral("125");
        source.LastPage = QStringLiteral("147");
        source.Volume = QStringLiteral("%1");
        QCOMPARE(CitationSourceXml(source),
            QStringLiteral("<b:Source xmlns:b=\"http://schemas.microsoft.com/office/word/2004/10/bibliography\">  <b:Tag>")
                + Tag(0)
                + QStringLiteral("</b:Tag>  <b:SourceType>JournalArticle</b:SourceType>  <b:Title>Friction &amp; wear of "
                                 "films</b:Title>  <b:Year>2012</b:Year>  <b:Author><b:Author>    <b:NameList>           "
                                 "<b:Person>          <b:Last>Ivanov</b:Last>          <b:First>Ivan</b:First>       "
                                 "</b:Person>    </b:NameList>  </b:Author></b:Author>  <b:JournalName>Wear &lt;J&gt;"
                                 "</b:JournalName>  <b:Pages>125 - 147</b:Pages>  <b:Volume>%1</b:Volume>  <b:Issue>"
                                 "</b:Issue></b:Source>"));
        QCOMPARE(CitationTag(QStringLiteral(" CITATION abc \\l 1033 ")), QStringLiteral("abc"));
        QCOMPARE(CitationTag(QStringLiteral(" CITATION abc")), QStringLiteral("abc"));
    }

    // Citing A, then A and B, with a citation of a paper the library lacks between them: two sources, four
    // fields; the list numbers A, the missing one and B by first citation, each paper once, and is pasted at
    // the cursor as the reference copy's RTF.
    void citationsAndReferenceList()
    {
        FHelper->AddCitations({Paper(0)}, false);
        QCOMPARE(FDoc->Text(), QStringLiteral("Known [1]"));
        AddUnknownCitation();
        FHelper->AddCitations({Paper(0), Paper(1)}, true);
        QCOMPARE(FDoc->SourceCount(), 2);
        QCOMPARE(FHelper->FindCitation(Tag(1)), 2);
        QCOMPARE(FHelper->FindCitation(Tag(2)), 0);
        QCOMPARE(FDoc->FieldCount(), 4);
        QVERIFY(FDoc->Text().endsWith(u'[' + Tag(1) + u']')); // fast mode: not refreshed yet

        FDoc->GoToStart();
        FHelper->PrepareReferenses();
        const QStringList lines = {FTemplater.ParseString(*Paper(0), 1), QStringLiteral("[2] CITATION NOT FOUND"),
            FTemplater.ParseString(*Paper(1), 3)};
        const QString list = ReferenceText(lines);
        QCOMPARE(FDoc->Text(), list + QStringLiteral("Known [1][2][1][3]"));
        QCOMPARE(FDoc->LastRtf, ReferenceRtf(list));
        QVERIFY(FDoc->LastRtf.contains("\\b "));
    }

    // Without a style nothing is pasted.
    void referenceListNeedsAStyle()
    {
        FHelper->FTemplater = nullptr;
        QVERIFY_THROWS_EXCEPTION(EVarnelError, FHelper->PrepareReferenses());
        FHelper->FTemplater = &FTemplater;
        QCOMPARE(FDoc->Text(), QStringLiteral("Known "));
    }

    // Citations become the text they show; "] [" then reads ", " everywhere; other fields stay.
    void convertToText()
    {
        FDoc->AppendField({33, QStringLiteral(" PAGE "), QStringLiteral("7")});
        FHelper->AddCitations({Paper(0)}, true);
        FDoc->InsertAfterSelection(QStringLiteral(" "));
        FDoc->SetCursor(FDoc->FieldCount() + 7); // after "Known ", the page field, the citation and the blank
        FHelper->AddCitations({Paper(1)}, false);
        FDoc->InsertAfterSelection(QStringLiteral(" and [a] [b]"));
        FHelper->ConvertToText();
        QCOMPARE(FDoc->FieldCount(), 1);
        QCOMPARE(FDoc->Text(), QStringLiteral("Known 7[1, 2] and [a, b]"));
    }

    // Bracketed numbers become citations of the group's papers at those places (C, A, B); a document without
    // brackets stays as it is.
    void convertToObjects_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("cited"); // places in the group, in document order
        QTest::addColumn<QString>("rest"); // the text around the citations
        QTest::newRow("range") << QStringLiteral("see [1-3] here") << QStringLiteral("123")
                               << QStringLiteral("see  here");
        QTest::newRow("list with blanks") << QStringLiteral("[3, 1]") << QStringLiteral("31") << QString();
        QTest::newRow("two brackets") << QStringLiteral("[2] and [2]") << QStringLiteral("22")
                                      << QStringLiteral(" and ");
        QTest::newRow("no brackets") << QStringLiteral("plain text") << QString() << QStringLiteral("plain text");
    }

    void convertToObjects()
    {
        QFETCH(QString, text);
        QFETCH(QString, cited);
        QFETCH(QString, rest);
        TMemoryDocument doc(text);
        TWordHelper helper(doc, *FDb->Dm, FDb->Prompts);
        helper.ConvertToObjects(FGroup);
        QString expected = doc.Markup();
        const int order[] = {2, 0, 1}; // the group's places 1, 2, 3
        QStringList tags;
        for (QChar place : cited)
            tags << Tag(order[place.digitValue() - 1]);
        QStringList found;
        for (qsizetype at = 0; (at = expected.indexOf(QLatin1String("{ CITATION "), at)) >= 0; ++at)
            found << expected.mid(at + 11, 32);
        QCOMPARE(found, tags);
        QCOMPARE(doc.FieldCount(), int(cited.size()));
        QCOMPARE(doc.SourceCount(), int(QSet<QString>(tags.begin(), tags.end()).size()));
        // The text without the fields is what was around the brackets.
        static const QRegularExpression fields(QStringLiteral("\\{[^}]*\\}"));
        QCOMPARE(expected.remove(fields), rest);
    }

    // A bracket that is no number list, or names a place the group lacks, ends the conversion where it stands:
    // the brackets before it are citations, it and those after it stay text.
    void convertToObjectsStopsAtBadBracket_data()
    {
        QTest::addColumn<QString>("bad");
        QTest::newRow("mixed list and range") << QStringLiteral("[1,2-3]");
        QTest::newRow("words") << QStringLiteral("[see 2]");
        QTest::newRow("place beyond the group") << QStringLiteral("[2, 9]");
        QTest::newRow("reversed range") << QStringLiteral("[3-1]");
        QTest::newRow("huge range") << QStringLiteral("[1-99999999]");
        QTest::newRow("empty") << QStringLiteral("[]");
    }

    void convertToObjectsStopsAtBadBracket()
    {
        QFETCH(QString, bad);
        TMemoryDocument doc(QStringLiteral("[1] then ") + bad + QStringLiteral(" and [2]"));
        TWordHelper helper(doc, *FDb->Dm, FDb->Prompts);
        QVERIFY_THROWS_EXCEPTION(EVarnelError, helper.ConvertToObjects(FGroup));
        QCOMPARE(doc.FieldCount(), 1);
        QCOMPARE(doc.Text(), QStringLiteral("[1] then ") + bad + QStringLiteral(" and [2]"));
    }

    // The cited papers join the group in order of first citation, each once, after the papers it had; a
    // citation the library lacks is reported for each of its fields.
    void objectsToGroup()
    {
        const int extracted = AddTestGroup(*FDb->Dm, QStringLiteral("Extracted"));
        FDb->Dm->AddToGroup(extracted, TPaperRefs {Paper(1)});
        FHelper->AddCitations({Paper(2)}, true);
        AddUnknownCitation();
        FHelper->AddCitations({Paper(1), Paper(2), Paper(0)}, true);
        AddUnknownCitation();
        FHelper->ObjectsToGroup(extracted);
        QCOMPARE(GroupPaperTitles(*FDb->Dm, extracted),
            (QStringList {QStringLiteral("Hardness of coatings"), QStringLiteral("Scratch tests"),
                QStringLiteral("Friction & wear of films")}));
        const QString missing
            = QStringLiteral("Citation 0123456789abcdef0123456789abcdef wasn't found in the database!");
        QCOMPARE(FDb->Prompts.Messages(), (QStringList {missing, missing}));
    }
};

QTEST_GUILESS_MAIN(TestWordLink)
#include "tst_wordlink.moc"
