#include "records/LibraryRecords.h"
#include "shell/IniStringList.h"
#include "shell/TextUtils.h"

#include <QTest>

class TestTextUtils : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void formatSize_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("showBytes");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("german");
        QTest::newRow("1.5 KB") << qint64(1536) << true << QStringLiteral("1.5 KB (1,536 Bytes)") << QStringLiteral("1,5 KB (1.536 Bytes)");
        QTest::newRow("1 KB") << qint64(1024) << true << QStringLiteral("1 KB (1,024 Bytes)") << QStringLiteral("1 KB (1.024 Bytes)");
        QTest::newRow("bytes with") << qint64(500) << true << QStringLiteral("500 Bytes") << QStringLiteral("500 Bytes");
        QTest::newRow("bytes without") << qint64(500) << false << QStringLiteral("500 Bytes") << QStringLiteral("500 Bytes");
        QTest::newRow("zero") << qint64(0) << true << QStringLiteral("0 Bytes") << QStringLiteral("0 Bytes");
        QTest::newRow("without bytes") << qint64(1536) << false << QStringLiteral("1.5 KB") << QStringLiteral("1,5 KB");
        // The tenths digit is truncated to choose the form, the shown figure is rounded.
        QTest::newRow("1.99 MB rounds up") << qint64(2086666) << false << QStringLiteral("2.0 MB") << QStringLiteral("2,0 MB");
        QTest::newRow("just above 1 MB") << qint64(1048600) << false << QStringLiteral("1 MB") << QStringLiteral("1 MB");
        QTest::newRow("GB beyond 32 bits") << qint64(5) * (qint64(1) << 30) + (qint64(1) << 29) << true
                                           << QStringLiteral("5.5 GB (5,905,580,032 Bytes)") << QStringLiteral("5,5 GB (5.905.580.032 Bytes)");
        QTest::newRow("1023 bytes") << qint64(1023) << true << QStringLiteral("1,023 Bytes") << QStringLiteral("1.023 Bytes");
    }

    void formatSize()
    {
        QFETCH(qint64, size);
        QFETCH(bool, showBytes);
        QFETCH(QString, english);
        QFETCH(QString, german);
        QCOMPARE(FormatSize(size, showBytes, QLocale(QLocale::English, QLocale::UnitedStates)), english);
        QCOMPARE(FormatSize(size, showBytes, QLocale(QLocale::German, QLocale::Germany)), german);
    }

    void authorsText()
    {
        TPaperRecord paper;
        QCOMPARE(AuthorsText(paper), QString());
        paper.AuthorList = {{0, QStringLiteral("Ivan"), QStringLiteral("Ivanov")}, {0, QStringLiteral("P."), QStringLiteral("Petrov")}};
        QCOMPARE(AuthorsText(paper), QStringLiteral("Ivanov Ivan, Petrov P."));
    }

    void getTemplateText()
    {
        TTemplateRecord style;
        QCOMPARE(GetTemplateText(u'J', style), QString());
        style.Fields = {{1, u'J', QStringLiteral("first")}, {2, u'B', QStringLiteral("book")}, {3, u'J', QStringLiteral("last")}};
        QCOMPARE(GetTemplateText(u'J', style), QStringLiteral("last"));
        QCOMPARE(GetTemplateText(u'B', style), QStringLiteral("book"));
        QCOMPARE(GetTemplateText(u'P', style), QString());
    }

    void makeInitials_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("withDots");
        QTest::addColumn<QString>("withoutDots");
        QTest::newRow("one name") << QStringLiteral("Ivan") << QStringLiteral("I.") << QStringLiteral("I");
        QTest::newRow("three names") << QStringLiteral("Ivan Peter Paul") << QStringLiteral("I.P.") << QStringLiteral("IP");
        QTest::newRow("hyphenated") << QStringLiteral("Ivan-Peter") << QStringLiteral("I.P.") << QStringLiteral("IP");
        QTest::newRow("dotted initials") << QStringLiteral("A. B. C.") << QStringLiteral("A.B.") << QStringLiteral("AB");
        QTest::newRow("one initial") << QStringLiteral("J.") << QStringLiteral("J.") << QStringLiteral("J");
        QTest::newRow("packed initials") << QStringLiteral("C.D.") << QStringLiteral("C.D.") << QStringLiteral("CD");
        QTest::newRow("case kept") << QStringLiteral("anna maria") << QStringLiteral("a.m.") << QStringLiteral("am");
        QTest::newRow("empty") << QString() << QString() << QString();
        QTest::newRow("leading blank") << QStringLiteral(" Ivan") << QStringLiteral("..I.") << QStringLiteral(".I");
        QTest::newRow("leading hyphen") << QStringLiteral("-Ivan") << QStringLiteral("..I.") << QStringLiteral(".I");
        QTest::newRow("non-ASCII") << QStringLiteral("Élodie Ünal") << QStringLiteral("É.Ü.") << QStringLiteral("ÉÜ");
    }

    void makeInitials()
    {
        QFETCH(QString, first);
        QFETCH(QString, withDots);
        QFETCH(QString, withoutDots);
        QCOMPARE(MakeInitials(first, true), withDots);
        QCOMPARE(MakeInitials(first, false), withoutDots);
    }

    void replaceAll_data()
    {
        QTest::addColumn<QString>("searched");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("result");
        QTest::newRow("every occurrence") << QStringLiteral("%jy") << QStringLiteral("2012") << QStringLiteral("%jy-%jy") << QStringLiteral("2012-2012");
        QTest::newRow("none") << QStringLiteral("x") << QStringLiteral("y") << QStringLiteral("abc") << QStringLiteral("abc");
        QTest::newRow("empty searched") << QString() << QStringLiteral("y") << QStringLiteral("abc") << QStringLiteral("abc");
        // Text formed by a replacement and what stands before it is found again, as a fresh search would.
        QTest::newRow("dots collapse fully") << QStringLiteral("..") << QStringLiteral(".") << QStringLiteral("a.....b") << QStringLiteral("a.b");
        QTest::newRow("re-formed occurrence") << QStringLiteral("ab") << QStringLiteral("a") << QStringLiteral("aabb") << QStringLiteral("aa");
        // A replacement holding the searched text must end; each original occurrence is replaced once.
        QTest::newRow("replacement contains searched") << QStringLiteral("a") << QStringLiteral("ba") << QStringLiteral("aa") << QStringLiteral("baba");
        QTest::newRow("replacement equals searched") << QStringLiteral("%pt") << QStringLiteral("%pt") << QStringLiteral("x %pt y") << QStringLiteral("x %pt y");
        QTest::newRow("operator marker") << QStringLiteral(" LIKE") << QStringLiteral(" TITLE#LIKE") << QStringLiteral("LIKE 'a%' OR LIKE 'b%'")
                                         << QStringLiteral("LIKE 'a%' OR TITLE#LIKE 'b%'");
    }

    void replaceAll()
    {
        QFETCH(QString, searched);
        QFETCH(QString, replacement);
        QFETCH(QString, text);
        QFETCH(QString, result);
        QCOMPARE(ReplaceAll(searched, replacement, text), result);
    }

    void smallHelpers()
    {
        QCOMPARE(CompareInt(1, 2), -1);
        QCOMPARE(CompareInt(2, 2), 0);
        QCOMPARE(CompareInt(std::numeric_limits<int>::max(), std::numeric_limits<int>::min()), 1);
        QCOMPARE(QuoteIfNeeded(QString()), QString());
        QCOMPARE(QuoteIfNeeded(QStringLiteral("x y")), QStringLiteral("\"x y\""));
        QCOMPARE(QuoteIfNeeded(QStringLiteral("\"x y")), QStringLiteral("\"x y"));
        QCOMPARE(ScramblePassword(QStringLiteral("abc")), QStringLiteral("fgh"));
        QCOMPARE(UnscramblePassword(QStringLiteral("fgh")), QStringLiteral("abc"));
        QCOMPARE(ScramblePassword(QString()), QString());
        const QString wide = QStringLiteral("Пароль\U0001F600") + QChar(0xFFFE);
        QCOMPARE(UnscramblePassword(ScramblePassword(wide)), wide);
    }

    void iniStringList_data()
    {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << QStringList{QStringLiteral("90"), QStringLiteral("91")} << QStringLiteral("90;91");
        QTest::newRow("blanks do not separate") << QStringList{QStringLiteral("a b"), QStringLiteral(" c ")} << QStringLiteral("a b; c ");
        QTest::newRow("delimiter quoted") << QStringList{QStringLiteral("a;b"), QStringLiteral("c")} << QStringLiteral("\"a;b\";c");
        QTest::newRow("quote doubled") << QStringList{QStringLiteral("say \"hi\"")} << QStringLiteral("\"say \"\"hi\"\"\"");
        QTest::newRow("empty middle item") << QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")} << QStringLiteral("a;;b");
        QTest::newRow("empty last item") << QStringList{QStringLiteral("a"), QString()} << QStringLiteral("a;");
        QTest::newRow("single empty item") << QStringList{QString()} << QStringLiteral("\"\"");
        QTest::newRow("no items") << QStringList{} << QString();
    }

    void iniStringList()
    {
        QFETCH(QStringList, items);
        QFETCH(QString, text);
        TIniStringList list;
        list.Items = items;
        QCOMPARE(list.DelimitedText(), text);
        TIniStringList parsed;
        parsed.SetDelimitedText(text);
        QCOMPARE(parsed.Items, items);
    }

    void iniStringListReadsLooseText()
    {
        TIniStringList list;
        list.SetDelimitedText(QStringLiteral("\"ab\"cd;\"unterminated"));
        QCOMPARE(list.Items, (QStringList{QStringLiteral("ab"), QStringLiteral("cd"), QStringLiteral("unterminated")}));
    }
};

QTEST_GUILESS_MAIN(TestTextUtils)
#include "tst_textutils.moc"
