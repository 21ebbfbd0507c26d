#include "PaperInfoPanel.h"
#include "views/PaperCells.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

class TestInfoPanel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void citationLine_data()
    {
        QTest::addColumn<QChar>("type");
        QTest::addColumn<QString>("abbrv");
        QTest::addColumn<QString>("issue");
        QTest::addColumn<QString>("pages");
        QTest::addColumn<QString>("line");
        const QString pages = QStringLiteral("2525 - 2531");
        QTest::newRow("article") << QChar(u'J') << QStringLiteral("Thin Solid Films") << QStringLiteral("7") << pages
                                 << QStringLiteral("Thin Solid Films,  Vol. 520,  Issue 7,  pp. 2525 - 2531, (2012)");
        QTest::newRow("issue 0") << QChar(u'J') << QStringLiteral("Thin Solid Films") << QStringLiteral("0") << pages
                                 << QStringLiteral("Thin Solid Films,  Vol. 520,  pp. 2525 - 2531, (2012)");
        QTest::newRow("empty issue") << QChar(u'J') << QStringLiteral("Thin Solid Films") << QString() << pages
                                     << QStringLiteral("Thin Solid Films,  Vol. 520,  pp. 2525 - 2531, (2012)");
        QTest::newRow("issue blank 0 blank") << QChar(u'J') << QStringLiteral("Thin Solid Films") << QStringLiteral(" 0 ") << pages
                                             << QStringLiteral("Thin Solid Films,  Vol. 520,  pp. 2525 - 2531, (2012)");
        QTest::newRow("untrimmed issue kept") << QChar(u'J') << QStringLiteral("X") << QStringLiteral(" 7") << pages
                                              << QStringLiteral("X,  Vol. 520,  Issue  7,  pp. 2525 - 2531, (2012)");
        QTest::newRow("no abbreviation, no pages") << QChar(u'J') << QString() << QString() << QStringLiteral(" - ")
                                                   << QStringLiteral(",  Vol. 520,  pp.  - , (2012)");
        QTest::newRow("book") << QChar(u'B') << QStringLiteral("EP") << QStringLiteral("7") << pages << QStringLiteral("Example Press (2012)");
    }

    void citationLine()
    {
        QFETCH(QChar, type);
        QFETCH(QString, abbrv);
        QFETCH(QString, issue);
        QFETCH(QString, pages);
        QFETCH(QString, line);
        QCOMPARE(CitationLine(type, QStringLiteral("Example Press"), abbrv, QStringLiteral("520"), issue, pages, QStringLiteral("2012")),
                 line);
    }

    void panel()
    {
        TPaperInfoPanel panel;
        QCOMPARE(panel.IdLabel()->text(), QStringLiteral("Ref00"));
        panel.SetBookInfo(7, u'J', QStringLiteral("Ivanov I."), QStringLiteral("A <b>bold</b> claim"), QStringLiteral("Carbon"),
                          QStringLiteral("Carbon"), QStringLiteral("50"), QStringLiteral("1"), QStringLiteral("1 - 9"),
                          QStringLiteral("2012"), QStringLiteral("https://doi.org/10.1/x?a=1&b=2"), QStringLiteral("Abstract."),
                          QStringLiteral("F"));
        QCOMPARE(panel.TitleLabel()->text(), QStringLiteral("A <b>bold</b> claim"));
        QCOMPARE(panel.TitleLabel()->textFormat(), Qt::PlainText);
        QCOMPARE(panel.JournalLabel()->text(), QStringLiteral("Carbon,  Vol. 50,  Issue 1,  pp. 1 - 9, (2012)"));
        QVERIFY(panel.IdLabel()->text().isEmpty());
        panel.CopyLabelText(panel.UrlLabel());
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("https://doi.org/10.1/x?a=1&b=2"));
        panel.CopyLabelText(panel.AuthorsLabel());
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Ivanov I."));
        panel.Clear();
        for (QLabel *label : {panel.AuthorsLabel(), panel.TitleLabel(), panel.JournalLabel(), panel.UrlLabel(), panel.AbstractLabel(),
                              panel.IdLabel()})
            QVERIFY(label->text().isEmpty());
    }
};

QTEST_MAIN(TestInfoPanel)
#include "tst_infopanel.moc"
