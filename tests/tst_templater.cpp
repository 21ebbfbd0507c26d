#include "TestRecords.h"
#include "shell/FormatString.h"
#include "shell/VarnelError.h"
#include "styles/ReferenceText.h"
#include "styles/Templater.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(TErrorType)

namespace {

// The sample papers of the style examples, by name; later names vary one thing of the journal paper.
TPaperRecord SamplePaper(const QString &name)
{
    TPaperRecord paper;
    paper.PType = u'J';
    paper.Title = QStringLiteral("New impressive results");
    paper.Year = 2012;
    paper.Volume = QStringLiteral("512");
    paper.Issue = QStringLiteral("1-2");
    paper.PS = QStringLiteral("125");
    paper.PE = QStringLiteral("147");
    paper.AuthorList = {Author("Ivan", "Ivanov"), Author("Peter", "Petrov")};
    auto journal = std::make_shared<TJournalRecord>();
    journal->Title = QStringLiteral("Applied Physics Letters");
    journal->Abbrv = QStringLiteral("App. Phys. Lett.");
    paper.Journal = journal;
    if (name == u"book") {
        paper.PType = u'B';
        paper.Title = QStringLiteral("Thin film growth");
        paper.Year = 2010;
        journal->Title = QStringLiteral("AIP Publishing");
        journal->Abbrv.clear();
        journal->City = QStringLiteral("San-Diego");
    } else if (name == u"names") {
        paper.AuthorList = {Author("Ivan-Peter", "Ivanov-Petrov"), Author("Anna Maria", "Sidorova"),
            Author("B", "Kuznetsov"), Author("C.D.", "Orlov")};
    } else if (name == u"no issue") {
        paper.Issue.clear();
    } else if (name == u"issue 0") {
        paper.Issue = QStringLiteral(" 0 ");
    } else if (name == u"no volume or issue") {
        paper.Volume.clear();
        paper.Issue.clear();
    } else if (name == u"year 0") {
        paper.Year = 0;
    } else if (name == u"no authors") {
        paper.AuthorList.clear();
    } else if (name == u"no first name") {
        paper.AuthorList = {Author("", "Ivanov")};
    } else if (name == u"hyphen first") {
        paper.AuthorList = {Author("-Ivan", "Ivanov")};
    } else if (name == u"one author") {
        paper.AuthorList = {Author("Ivan", "Ivanov")};
    } else if (name.startsWith(u"authors ")) {
        paper.AuthorList.clear();
        for (int i = 1; i <= name.mid(8).toInt(); ++i)
            paper.AuthorList.append({0, QStringLiteral("A"), QStringLiteral("N%1").arg(i)});
    } else if (name == u"rtf title") {
        paper.Title = QStringLiteral("{Na}\\Cl");
    } else if (name == u"title with own element") {
        paper.Title = QStringLiteral("Why %pt?");
    } else if (name == u"title with year element") {
        paper.Title = QStringLiteral("Results of %jy");
    } else if (name == u"padded") {
        paper.Title = QStringLiteral("\t New impressive results \r\n");
        journal->Abbrv = QStringLiteral(" App. Phys. Lett. ");
    } else if (name == u"no journal") {
        paper.Journal.reset();
    }
    return paper;
}

TTemplateRecord Style(QChar type, const QString &text, const QString &delimiter = QStringLiteral(","), int etAl = 6,
    const QString &numFormat = QStringLiteral("[%d]"))
{
    TTemplateRecord style;
    style.Title = QStringLiteral("Test");
    style.Fields = {{1, type, text}};
    style.AuthDelimeter = delimiter;
    style.EtAlLimit = etAl;
    style.NumFormat = numFormat;
    return style;
}

} // namespace

class TestTemplater : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void validate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<TErrorType>("result");
        QTest::newRow("seeded journal style")
            << QStringLiteral("%fn, %ja %jv [(%ji)] (%jy) %pe.") << TErrorType::ErFine;
        QTest::newRow("rtf words and blocks")
            << QStringLiteral("%ld. %pt. %jd %jy; \\b %jv\\b0[(%ji)]:%ps-%pe.") << TErrorType::ErFine;
        QTest::newRow("names in any case") << QStringLiteral("%FN %Pt") << TErrorType::ErFine;
        QTest::newRow("nested blocks, one element each") << QStringLiteral("%fn [(%jv [%ji])]") << TErrorType::ErFine;
        QTest::newRow("every element") << QStringLiteral("%fn%ln%pt%jt%ja%jy%jv%ji%ps%pe%cy%pb%ld%jd")
                                       << TErrorType::ErFine;
        QTest::newRow("literal text only") << QStringLiteral("Unpublished") << TErrorType::ErFine;
        QTest::newRow("empty") << QString() << TErrorType::ErTemplate;
        QTest::newRow("only element in a block") << QStringLiteral("[%jv]") << TErrorType::ErTemplate;
        QTest::newRow("two elements in a block") << QStringLiteral("%jv [%ji %jy]") << TErrorType::ErTemplate;
        QTest::newRow("block without element text") << QStringLiteral("[a]") << TErrorType::ErTemplate;
        QTest::newRow("close without open") << QStringLiteral("%fn ]") << TErrorType::ErBlocks;
        QTest::newRow("unclosed block") << QStringLiteral("%fn [%ji") << TErrorType::ErBlocks;
        QTest::newRow("empty block") << QStringLiteral("%fn %jv []") << TErrorType::ErBlocks;
        QTest::newRow("percent without name") << QStringLiteral("%fn %") << TErrorType::ErElements;
        QTest::newRow("percent before a digit") << QStringLiteral("%fn 100%2") << TErrorType::ErElements;
        QTest::newRow("unknown element") << QStringLiteral("%fn %xx") << TErrorType::ErElements;
        QTest::newRow("unknown element in a block") << QStringLiteral("%fn [%jvv]") << TErrorType::ErElements;
        QTest::newRow("name runs to the first non-letter") << QStringLiteral("%jy;%fnx") << TErrorType::ErElements;
    }

    void validate()
    {
        QFETCH(QString, text);
        QFETCH(TErrorType, result);
        TTemplater templater;
        QCOMPARE(templater.ValidateTemplate(text), result);
    }

    // The element map records blocks by the positions of their brackets, inner blocks before outer ones.
    void blocksMap()
    {
        TTemplater templater;
        QCOMPARE(templater.ValidateTemplate(QStringLiteral("%fn [(%jv [%ji])] %jy")), TErrorType::ErFine);
        const std::vector<TElement> &map = templater.BlocksMap();
        QCOMPARE(map.size(), std::size_t(4));
        QCOMPARE(map[0].name, QStringLiteral("fn"));
        QCOMPARE(map[0].BegBlock, 0);
        QCOMPARE(map[1].name, QStringLiteral("ji"));
        QCOMPARE(map[1].BegBlock, 11);
        QCOMPARE(map[1].EndBlock, 15);
        QCOMPARE(map[2].name, QStringLiteral("jv"));
        QCOMPARE(map[2].BegBlock, 5);
        QCOMPARE(map[2].EndBlock, 17);
        QCOMPARE(map[3].name, QStringLiteral("jy"));
    }

    // A style becomes active only when every field validates; a failing one leaves the previous style.
    void setTemplate()
    {
        TTemplater templater;
        QCOMPARE(templater.SetTemplate(nullptr), TErrorType::ErTemplate);
        TTemplateRecord good = Style(u'J', QStringLiteral("%fn"));
        TTemplateRecord bad = Style(u'J', QStringLiteral("%fn"));
        bad.Fields.append({2, u'B', QStringLiteral("%fn %xx")});
        TTemplateRecord none = Style(u'J', QString());
        none.Fields.clear();
        QCOMPARE(templater.SetTemplate(&good), TErrorType::ErFine);
        QCOMPARE(templater.SetTemplate(&bad), TErrorType::ErTemplate); // an element fault reports as ErTemplate
        QCOMPARE(templater.Template(), &good);
        QCOMPARE(templater.SetTemplate(&none), TErrorType::ErFine);
        QCOMPARE(templater.ParseString(SamplePaper(QStringLiteral("journal")), 4), QStringLiteral("[4] "));
        // The style is not copied: an edit is seen by the next line.
        QCOMPARE(templater.SetTemplate(&good), TErrorType::ErFine);
        good.Fields[0].Value = QStringLiteral("%ln");
        QCOMPARE(templater.ParseString(SamplePaper(QStringLiteral("journal")), 1),
            QStringLiteral("[1] Ivanov I., Petrov P."));
    }

    void format_data()
    {
        QTest::addColumn<QString>("paper");
        QTest::addColumn<QChar>("type"); // of the style's one field
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("delimiter");
        QTest::addColumn<int>("etAl");
        QTest::addColumn<QString>("numFormat");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("result");
        const QString comma = QStringLiteral(",");
        const QString square = QStringLiteral("[%d]");
        const QString tsfJ = QStringLiteral("%fn, %ja %jv [(%ji)] (%jy) %pe.");
        const QString carbonJ = QStringLiteral("%ld. %pt. %jd %jy; \\b %jv\\b0[(%ji)]:%ps-%pe.");
        const auto row = [&](const char *name, const char *paper, const QString &text, const char *result,
                             int number = 1, const QString &delimiter = QStringLiteral(","), int etAl = 6,
                             const QString &numFormat = QStringLiteral("[%d]"), QChar type = QChar()) {
            const QString paperName = QString::fromUtf8(paper);
            QTest::newRow(name) << paperName << (type.isNull() ? SamplePaper(paperName).PType : type) << text
                                << delimiter << etAl << numFormat << number << QString::fromUtf8(result);
        };
        // The seeded styles on the sample journal paper and the sample book.
        row("Thin Solid Films J", "journal", tsfJ, "[1] I. Ivanov, P. Petrov, App. Phys. Lett. 512 (1-2) (2012) 147.");
        row("Thin Solid Films O", "journal", QStringLiteral("%fn, %pt. %ja [%jv] %ps-%pe (%jy)"),
            "[1] I. Ivanov, P. Petrov, New impressive results. App. Phys. Lett. 512 125-147 (2012)");
        row("Surface and Coatings Technology J", "journal", QStringLiteral("%fn, %pt, %ja %jv (%jy) %ps."),
            "[1] I. Ivanov, P. Petrov, New impressive results, App. Phys. Lett. 512 (2012) 125.");
        row("Tribology International J", "journal", QStringLiteral("%ln: %pt. %ja %jv, %ps-%pe (%jy)"),
            "[1] Ivanov I., Petrov P.: New impressive results. App. Phys. Lett. 512, 125-147 (2012)");
        row("Carbon J", "journal", carbonJ,
            "[1] Ivanov I, Petrov P. New impressive results. App Phys Lett 2012; \\b 512\\b0(1-2):125-147.");
        row("Thin Solid Films J, no issue", "no issue", tsfJ,
            "[1] I. Ivanov, P. Petrov, App. Phys. Lett. 512  (2012) 147.");
        row("Carbon J, no issue", "no issue", carbonJ,
            "[1] Ivanov I, Petrov P. New impressive results. App Phys Lett 2012; \\b 512\\b0:125-147.");
        row("Thin Solid Films B", "book", QStringLiteral("%fn. %pt, %pb %cy (%jy)"),
            "[1] I. Ivanov, P. Petrov. Thin film growth, AIP Publishing San-Diego (2010)");
        row("Carbon B", "book", QStringLiteral("%ld. %pt. %cy: %pb; %jy."),
            "[1] Ivanov I, Petrov P. Thin film growth. San-Diego: AIP Publishing; 2010.");
        // The author forms.
        row("ld removes every hyphen", "names", QStringLiteral("%ld"),
            "[1] IvanovPetrov IP, Sidorova AM, Kuznetsov B, Orlov CD");
        row("ln with et-al limit 3", "names", QStringLiteral("%ln"),
            "[1] Ivanov-Petrov I.P., Sidorova A.M., Kuznetsov B. et al.", 1, comma, 3);
        row("fn with delimiter ;", "names", QStringLiteral("%fn"),
            "[1] I.P. Ivanov-Petrov; A.M. Sidorova; B. Kuznetsov; C.D. Orlov", 1, QStringLiteral(";"));
        row("empty delimiter", "journal", QStringLiteral("%fn"), "[1] I. Ivanov P. Petrov", 1, QString());
        row("exactly the limit", "authors 6", QStringLiteral("%ln"), "[1] N1 A., N2 A., N3 A., N4 A., N5 A., N6 A.");
        row("one over the limit", "authors 7", QStringLiteral("%ln"),
            "[1] N1 A., N2 A., N3 A., N4 A., N5 A., N6 A. et al.");
        row("limit 1", "journal", QStringLiteral("%fn"), "[1] I. Ivanov et al.", 1, comma, 1);
        row("limit 0 lists all", "authors 7", QStringLiteral("%ld"), "[1] N1 A, N2 A, N3 A, N4 A, N5 A, N6 A, N7 A", 1,
            comma, 0);
        row("no authors: blocks vanish", "no authors", QStringLiteral("[%fn: ]%pt[ (%ln)][ %ld]"),
            "[1] New impressive results");
        row("author without first name", "no first name", QStringLiteral("<%fn>|<%ln>|<%ld>"),
            "[1] < Ivanov>|<Ivanov >|<Ivanov >");
        row("first name starting with a hyphen", "hyphen first", QStringLiteral("%fn"),
            "[1] ..I. Ivanov"); // ".Ivan": "." then the letter after it
        // Values and blocks.
        row("issue 0 counts as empty", "issue 0", tsfJ, "[1] I. Ivanov, P. Petrov, App. Phys. Lett. 512  (2012) 147.");
        row("year 0", "year 0", QStringLiteral("%pt ([%jy])"), "[1] New impressive results (0)");
        row("two empty blocks", "no volume or issue", QStringLiteral("%fn [%jv] [%ji] %jy"),
            "[1] I. Ivanov, P. Petrov   2012");
        row("values are trimmed", "padded", QStringLiteral("%pt|%ja|%jd"),
            "[1] New impressive results|App. Phys. Lett.|App Phys Lett");
        row("paper without its journal", "no journal", QStringLiteral("%pt[, %ja]"), "[1] New impressive results");
        row("braces and backslashes verbatim", "rtf title", QStringLiteral("%pt"), "[1] {Na}\\Cl");
        row("title holding its own element", "title with own element", QStringLiteral("%pt %pt"),
            "[1] Why %pt? Why %pt?");
        row("title holding a later element", "title with year element", QStringLiteral("%pt"), "[1] Results of 2012");
        // Letter case of element names.
        row("upper-case elements", "no issue", QStringLiteral("%FN, %JA %JV[ (%JI)] (%JY)"),
            "[1] I. Ivanov, P. Petrov, App. Phys. Lett. 512 (2012)");
        row("mixed-case elements stay", "journal", QStringLiteral("%Jy %jy"), "[1] %Jy 2012");
        // Number formats and types.
        row("number with a dot", "journal", QStringLiteral("%jy"), "12. 2012", 12, comma, 6, QStringLiteral("%d."));
        row("zero-padded number", "journal", QStringLiteral("%jy"), "(007) 2012", 7, comma, 6,
            QStringLiteral("(%.3d)"));
        row("percent sign in the format", "journal", QStringLiteral("%jy"), "%3 2012", 3, comma, 6,
            QStringLiteral("%%%d"));
        row("no field for the type", "book", QStringLiteral("%fn"), "[2] ", 2, comma, 6, square, u'J');
    }

    void format()
    {
        QFETCH(QString, paper);
        QFETCH(QChar, type);
        QFETCH(QString, text);
        QFETCH(QString, delimiter);
        QFETCH(int, etAl);
        QFETCH(QString, numFormat);
        QFETCH(int, number);
        QFETCH(QString, result);
        TTemplateRecord style = Style(type, text, delimiter, etAl, numFormat);
        TTemplater templater;
        QCOMPARE(templater.SetTemplate(&style), TErrorType::ErFine);
        QCOMPARE(templater.ParseString(SamplePaper(paper), number), result);
    }

    // The last field of the paper's type wins.
    void lastFieldOfTheTypeWins()
    {
        TTemplateRecord style = Style(u'J', QStringLiteral("first %jy"));
        style.Fields.append({2, u'B', QStringLiteral("book %jy")});
        style.Fields.append({3, u'J', QStringLiteral("second %jy")});
        TTemplater templater;
        QCOMPARE(templater.SetTemplate(&style), TErrorType::ErFine);
        QCOMPARE(templater.ParseString(SamplePaper(QStringLiteral("journal")), 1), QStringLiteral("[1] second 2012"));
    }

    void formatString_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("result"); // empty: the format is refused
        QTest::newRow("square") << QStringLiteral("[%d] %s") << QStringLiteral("[42] text");
        QTest::newRow("width") << QStringLiteral("%4d| %s") << QStringLiteral("  42| text");
        QTest::newRow("left-justified") << QStringLiteral("%-4d| %6.2s|") << QStringLiteral("42  |     te|");
        QTest::newRow("index") << QStringLiteral("%1:s %0:d") << QStringLiteral("text 42");
        QTest::newRow("hex") << QStringLiteral("%x %s") << QStringLiteral("2A text");
        QTest::newRow("left-over argument ignored") << QStringLiteral("%d") << QStringLiteral("42");
        QTest::newRow("empty number format") << QStringLiteral(" %s") << QString();
        QTest::newRow("text directive for the number") << QStringLiteral("%s %s") << QString();
        QTest::newRow("two number directives") << QStringLiteral("%d%d %s") << QString();
        QTest::newRow("more directives than arguments") << QStringLiteral("%d %s %s") << QString();
        QTest::newRow("lone percent") << QStringLiteral("[%d] %s %") << QString();
        QTest::newRow("unknown type") << QStringLiteral("%n %s") << QString();
        QTest::newRow("huge width") << QStringLiteral("%999999999d %s") << QString();
    }

    // A user's number format can only produce text or a clear error, never read past its arguments.
    void formatString()
    {
        QFETCH(QString, format);
        QFETCH(QString, result);
        if (result.isEmpty()) {
            try {
                FormatString(format, {42, QStringLiteral("text")});
                QFAIL("the format was accepted");
            } catch (const EVarnelError &error) {
                QVERIFY(error.Message().contains(QStringLiteral("invalid or incompatible with argument")));
            }
        } else {
            QCOMPARE(FormatString(format, {42, QStringLiteral("text")}), result);
        }
    }

    // A style whose number format cannot number the line fails the line, as does formatting without a style.
    void unusableStyleRaises()
    {
        TTemplater templater;
        const TPaperRecord paper = SamplePaper(QStringLiteral("journal"));
        QVERIFY_THROWS_EXCEPTION(EVarnelError, templater.ParseString(paper, 1));
        for (const QString &format : {QString(), QStringLiteral("%s"), QStringLiteral("%d%d"), QStringLiteral("No.")}) {
            TTemplateRecord style = Style(u'J', QStringLiteral("%pt"), QStringLiteral(","), 6, format);
            QCOMPARE(templater.SetTemplate(&style), TErrorType::ErFine);
            QVERIFY_THROWS_EXCEPTION(EVarnelError, templater.ParseString(paper, 1));
        }
    }

    void referenceTextAndRtf()
    {
        TTemplateRecord style = Style(u'J', QStringLiteral("%ld. %pt. %jd %jy; \\b %jv\\b0[(%ji)]:%ps-%pe."));
        TTemplater templater;
        QCOMPARE(templater.SetTemplate(&style), TErrorType::ErFine);
        TPapers papers;
        papers.push_back(std::make_unique<TPaperRecord>(SamplePaper(QStringLiteral("journal"))));
        papers.push_back(nullptr);
        papers.push_back(std::make_unique<TPaperRecord>(SamplePaper(QStringLiteral("no issue"))));
        const QString text = FormatReferences(templater, papers);
        QCOMPARE(text,
            QStringLiteral(
                "[1] Ivanov I, Petrov P. New impressive results. App Phys Lett 2012; \\b 512\\b0(1-2):125-147.\r\n"
                "[2] Ivanov I, Petrov P. New impressive results. App Phys Lett 2012; \\b 512\\b0:125-147.\r\n"));
        const QByteArray header(
            "{\\rtf1\\ansi\\ansicpg1252\\deff0\\viewkind4\\uc1\\pard\\fi-426\\li426\\sl480\\slmult1\\lang9\\f0\\fs24 ");
        QCOMPARE(ReferenceRtf(QString()), header + '}');
        QCOMPARE(ReferenceRtf(ReferenceText({QStringLiteral("[1] a"), QStringLiteral("[2] b")})),
            header + "[1] a\\par [2] b\\par }");
        // Outside 7-bit ASCII: signed 16-bit code units, a character beyond the BMP as its surrogate pair.
        QCOMPARE(ReferenceRtf(QStringLiteral("M\u00fcller \u03a9 \u4e2d \U0001D6FC")),
            header + "M\\u252?ller \\u937? \\u20013? \\u-10187?\\u-8452?}");
    }

    // LibreOffice reads the document as a word processor does: control words of the style take effect and
    // every script survives.
    void rtfOpensInLibreOffice()
    {
        const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        QVERIFY2(!soffice.isEmpty(), "LibreOffice (soffice) is needed: scripts/varnel test installs it");
        QTemporaryDir dir;
        const QString title = QStringLiteral("\u0398\u03b5\u03c1\u03bc\u03b9\u03ba\u03ae "
                                             "\u03b1\u03b3\u03c9\u03b3\u03b9\u03bc\u03cc\u03c4\u03b7\u03c4\u03b1 "
                                             "\u0141ukasiewicz");
        QFile file(dir.filePath(QStringLiteral("refs.rtf")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(ReferenceRtf(ReferenceText(
            {QStringLiteral("[1] Ivanov I. ") + title + QStringLiteral(". 2012; \\b 512\\b0:125-147.")})));
        file.close();
        QProcess convert;
        convert.setWorkingDirectory(dir.path());
        convert.start(soffice,
            {QStringLiteral("-env:UserInstallation=file://") + dir.filePath(QStringLiteral("profile")),
                QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("html"),
                QStringLiteral("--outdir"), dir.path(), file.fileName()});
        QVERIFY(convert.waitForFinished(120000));
        QFile html(dir.filePath(QStringLiteral("refs.html")));
        QVERIFY2(html.open(QIODevice::ReadOnly), convert.readAllStandardError().constData());
        const QString page = QString::fromUtf8(html.readAll());
        QVERIFY2(page.contains(QRegularExpression(QStringLiteral("<b>\\s*512\\s*</b>"))), qPrintable(page));
        QVERIFY2(page.contains(title), qPrintable(page));
        QVERIFY(!page.contains(QStringLiteral("\\b")));
    }
};

QTEST_GUILESS_MAIN(TestTemplater)
#include "tst_templater.moc"
