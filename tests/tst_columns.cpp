#include "TestFiles.h"
#include "views/ColumnLayouts.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

QList<int> Tags(const TColumns &columns)
{
    QList<int> tags;
    for (int i = 0; i < columns.Count(); ++i)
        tags << columns.GetColumn(i).Tag;
    return tags;
}

QList<int> Widths(const TColumns &columns)
{
    QList<int> widths;
    for (int i = 0; i < columns.Count(); ++i)
        widths << columns.GetColumn(i).ClampedWidth();
    return widths;
}

} // namespace

class TestColumns : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> FDir;
    QString File() const { return FDir->filePath(QStringLiteral("columns.ini")); }

private Q_SLOTS:
    void init() { FDir = std::make_unique<QTemporaryDir>(); }

    // A first start: the built-in sets, with the widths the limits leave.
    void builtInSets_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QList<int>>("tags");
        QTest::addColumn<QList<int>>("widths");
        QTest::newRow("journals") << TColumns::JournalsSection << QList<int>{90, 91, 92, 93, 95, 96, 97, 98, 100}
                                  << QList<int>{50, 40, 200, 200, 70, 80, 100, 55, 90};
        QTest::newRow("search") << TColumns::SearchSection << QList<int>{90, 91, 94, 92, 93, 95, 96, 97, 98, 100}
                                << QList<int>{50, 40, 150, 200, 200, 70, 80, 100, 55, 90};
        QTest::newRow("groups") << TColumns::GroupsSection << QList<int>{90, 99, 94, 92, 93, 95, 96, 97, 98, 100}
                                << QList<int>{50, 35, 150, 200, 200, 70, 80, 100, 55, 90};
        QTest::newRow("any other section") << QStringLiteral("COLUMNS_OTHER") << QList<int>{} << QList<int>{};
    }

    void builtInSets()
    {
        QFETCH(QString, section);
        QFETCH(QList<int>, tags);
        QFETCH(QList<int>, widths);
        TColumns columns(File());
        columns.Load(section);
        QCOMPARE(Tags(columns), tags);
        QCOMPARE(Widths(columns), widths);
        for (int i = 0; i < columns.Count(); ++i)
            QCOMPARE(columns.GetColumn(i).Position, i);
    }

    void defaults()
    {
        const TColumnDesc marker = GetColumnDefaults(90);
        QCOMPARE(marker.Caption, QString());
        QCOMPARE(marker.Options, 725);
        QCOMPARE(marker.Alignment, Qt::AlignHCenter);
        QCOMPARE(GetColumnDefaults(91).Options, 247);
        QCOMPARE(GetColumnDefaults(98).Options, 215);
        QCOMPARE(GetColumnDefaults(92).Caption, QStringLiteral("Authors"));
        const TColumnDesc other = GetColumnDefaults(101);
        QVERIFY(other.Caption.isEmpty() && other.Options == 0 && other.MaxWidth == 0);
    }

    // Saved as Column0.. with "tag;width;position", read back in file order; an empty set erases the section.
    void saveAndLoad()
    {
        QVERIFY(WriteTestFile(File(), "; my layouts\n[COLUMNS_SEARCH]\nColumn0=91;60;0\n"));
        TColumns columns(File());
        columns.Load(TColumns::JournalsSection);
        columns.SetColumn(3, [&] {
            TColumnDesc title = columns.GetColumn(3);
            title.Width = 321;
            return title;
        }());
        columns.Save(TColumns::JournalsSection);
        const QByteArray text = ReadTestFile(File());
        QVERIFY(text.startsWith("; my layouts\n[COLUMNS_SEARCH]\nColumn0=91;60;0\n"));
        QVERIFY(text.contains("[COLUMNS_JOURNALS]\nColumn0=90;15;0\nColumn1=91;40;1\n"));
        QVERIFY(text.contains("Column3=93;321;3\n"));
        QVERIFY(text.contains("Column8=100;200;8\n"));
        QVERIFY(!text.contains("Column9"));

        TColumns again(File());
        again.Load(TColumns::JournalsSection);
        QCOMPARE(Tags(again), Tags(columns));
        QCOMPARE(again.GetColumn(3).Width, 321);
        again.Load(TColumns::SearchSection);
        QCOMPARE(Tags(again), QList<int>{91});

        again.Clear();
        again.Save(TColumns::SearchSection);
        QVERIFY(!ReadTestFile(File()).contains("COLUMNS_SEARCH"));
        again.Load(TColumns::SearchSection);
        QCOMPARE(again.Count(), 10); // the built-in set again
    }

    void fileOrderAndBadValues()
    {
        QVERIFY(WriteTestFile(File(), "[COLUMNS_GROUPS]\nColumn5=93;200;3\nColumn0=99;35;0\nWidth=1\nColumn1=93;abc;3\n"
                                      "Column2=93;200\nColumn3=\"94\";150;2\n[COLUMNS_JOURNALS]\nColumn0=x\n"));
        TColumns columns(File());
        columns.Load(TColumns::GroupsSection);
        QCOMPARE(Tags(columns), (QList<int>{93, 99, 94}));
        QCOMPARE(columns.GetColumn(0).Position, 3);
        columns.Load(TColumns::JournalsSection);
        QCOMPARE(columns.Count(), 0); // every value malformed: a list without columns
    }
};

QTEST_GUILESS_MAIN(TestColumns)
#include "tst_columns.moc"
