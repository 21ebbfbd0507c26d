#include "TestFiles.h"
#include "shell/IniFile.h"
#include "shell/VarnelError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TestIniFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir FDir;
    QString FileName() const { return FDir.filePath(QStringLiteral("varnel.ini")); }

private Q_SLOTS:
    void init()
    {
        QFile::remove(FileName());
    }

    void missingFileReadsNothingAndIsCreatedByTheFirstWrite()
    {
        TIniFile ini(FileName());
        QVERIFY(!ini.Read(QStringLiteral("Path"), QStringLiteral("LibraryPath")));
        QCOMPARE(ini.ReadString(QStringLiteral("Path"), QStringLiteral("LibraryPath"), QStringLiteral("dflt")), QStringLiteral("dflt"));
        QVERIFY(!QFile::exists(FileName()));
        ini.WriteString(QStringLiteral("Path"), QStringLiteral("LibraryPath"), QStringLiteral("/home/u/Library"));
        QCOMPARE(ReadTestFile(FileName()), QByteArray("[Path]\nLibraryPath=/home/u/Library\n"));
    }

    void valuesRoundTripByteForByte_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("quoted words inside") << QStringLiteral("-restrict -zoom \"fit width\"");
        QTest::newRow("empty") << QString();
        QTest::newRow("outer quotes") << QStringLiteral("\"C:\\Program Files\\viewer\"");
        QTest::newRow("lone quote") << QStringLiteral("\"");
        QTest::newRow("outer blanks") << QStringLiteral("  padded  ");
        QTest::newRow("equals and semicolons") << QStringLiteral("a=b;c=d");
        QTest::newRow("brackets") << QStringLiteral("[Section]");
        QTest::newRow("non-ASCII") << QStringLiteral("Äbc Straße 日本 \U0001F600");
        QTest::newRow("comment characters") << QStringLiteral("; not a comment # either");
        QTest::newRow("backslashes and percent") << QStringLiteral("%PATH%\\\\data.gdb");
    }

    void valuesRoundTripByteForByte()
    {
        QFETCH(QString, value);
        TIniFile ini(FileName());
        ini.WriteString(QStringLiteral("Viewer"), QStringLiteral("Params"), value);
        QCOMPARE(ini.Read(QStringLiteral("Viewer"), QStringLiteral("Params")).value_or(QStringLiteral("<none>")), value);
        // A second write of the same key replaces, never appends.
        ini.WriteString(QStringLiteral("Viewer"), QStringLiteral("Params"), value);
        QCOMPARE(ReadTestFile(FileName()).count("Params="), 1);
    }

    void rewritingOneKeyKeepsEverythingElse()
    {
        const QByteArray before = "\xEF\xBB\xBF; settings of Varnel\r\n"
                                  "[Window]\r\n"
                                  "FormTop=5\r\n"
                                  "  formleft = 7\r\n"
                                  "garbage line without equals\r\n"
                                  "\r\n"
                                  "[Other]\r\n"
                                  "Latin1=caf\xE9\r\n"
                                  "# trailing comment";
        QVERIFY(WriteTestFile(FileName(), before));
        TIniFile ini(FileName());
        QCOMPARE(ini.ReadString(QStringLiteral("window"), QStringLiteral("FORMLEFT"), {}), QStringLiteral("7"));

        ini.WriteString(QStringLiteral("Window"), QStringLiteral("FormLeft"), QStringLiteral("42"));
        QByteArray expected = before;
        expected.replace("  formleft = 7", "  formleft =42");
        QCOMPARE(ReadTestFile(FileName()), expected);

        // A new key goes to the end of its section, before the blank line; a new section to the end of the file.
        ini.WriteString(QStringLiteral("Window"), QStringLiteral("State"), QStringLiteral("2"));
        ini.WriteString(QStringLiteral("Proxy"), QStringLiteral("Port"), QStringLiteral("8080"));
        expected.replace("garbage line without equals\r\n", "garbage line without equals\r\nState=2\r\n");
        expected += "\r\n\r\n[Proxy]\r\nPort=8080\r\n";
        QCOMPARE(ReadTestFile(FileName()), expected);
    }

    void firstOfDuplicatesWins()
    {
        QVERIFY(WriteTestFile(FileName(), "[A]\nk=1\nk=2\n[A]\nk=3\n"));
        TIniFile ini(FileName());
        QCOMPARE(ini.ReadString(QStringLiteral("A"), QStringLiteral("k"), {}), QStringLiteral("1"));
        ini.WriteString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("9"));
        QCOMPARE(ReadTestFile(FileName()), QByteArray("[A]\nk=9\nk=2\n[A]\nk=3\n"));
    }

    void deleteKey()
    {
        QVERIFY(WriteTestFile(FileName(), "[A]\nk=1\nj=2\n"));
        TIniFile ini(FileName());
        ini.DeleteKey(QStringLiteral("A"), QStringLiteral("K"));
        ini.DeleteKey(QStringLiteral("B"), QStringLiteral("k"));
        QCOMPARE(ReadTestFile(FileName()), QByteArray("[A]\nj=2\n"));
    }

    void lineBreakInValueIsRefusedAndFileUntouched()
    {
        QVERIFY(WriteTestFile(FileName(), "[A]\nk=1\n"));
        TIniFile ini(FileName());
        QVERIFY_THROWS_EXCEPTION(EVarnelError, ini.WriteString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("x\ny")));
        QCOMPARE(ReadTestFile(FileName()), QByteArray("[A]\nk=1\n"));
    }

    void unwritablePlaceFailsClearly()
    {
        // The settings file's folder is a plain file, so nothing can be written there (not even by root).
        QVERIFY(WriteTestFile(FDir.filePath(QStringLiteral("blocker")), "x"));
        TIniFile ini(FDir.filePath(QStringLiteral("blocker/varnel.ini")));
        QVERIFY(!ini.Read(QStringLiteral("A"), QStringLiteral("k")));
        try {
            ini.WriteString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("2"));
            QFAIL("the write must fail");
        } catch (const EVarnelError &error) {
            QVERIFY2(error.Message().startsWith(QStringLiteral("Cannot write the settings file ")), qPrintable(error.Message()));
        }
        QCOMPARE(ReadTestFile(FDir.filePath(QStringLiteral("blocker"))), QByteArray("x"));
    }

    void unreadableFileReadsAsMissingButIsNeverReplaced()
    {
        // A folder standing where the file should be cannot be read: reads give defaults, writes refuse.
        const QString name = FDir.filePath(QStringLiteral("folder.ini"));
        QVERIFY(QDir().mkpath(name + QStringLiteral("/inside")));
        TIniFile ini(name);
        QVERIFY(!ini.Read(QStringLiteral("A"), QStringLiteral("k")));
        QVERIFY_THROWS_EXCEPTION(EVarnelError, ini.WriteString(QStringLiteral("A"), QStringLiteral("j"), QStringLiteral("2")));
        QVERIFY(QFileInfo(name + QStringLiteral("/inside")).isDir());
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
