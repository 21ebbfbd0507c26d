#include "TestFiles.h"
#include "shell/Config.h"
#include "shell/TextUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

class TUnregisteredOptions final : public TBaseOptions
{
public:
    static constexpr const char *ClassName = "TUnregisteredOptions";
    TUnregisteredOptions(TIniFile &ini, const QString &programFolder)
        : TBaseOptions(ini, QStringLiteral("None"), {}, programFolder)
    {
    }
};

} // namespace

class TestConfig : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> FDir;
    QString ProgramFolder() const { return FDir->filePath(QStringLiteral("opt/varnel")); }
    QString AppData() const { return FDir->filePath(QStringLiteral("home/.local/share")); }
    std::unique_ptr<TConfig> MakeConfig() const { return std::make_unique<TConfig>(ProgramFolder(), AppData()); }
    QString IniFile() const { return AppData() + QStringLiteral("/Varnel/varnel.ini"); }
    void WriteIni(const QByteArray &content) const
    {
        QDir().mkpath(AppData() + QStringLiteral("/Varnel"));
        QVERIFY(WriteTestFile(IniFile(), content));
    }

private Q_SLOTS:
    void init()
    {
        FDir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir().mkpath(ProgramFolder()));
    }

    void foldersOfAPerUserInstallation()
    {
        const auto config = MakeConfig();
        QVERIFY(!config->Portable());
        QCOMPARE(config->ProgramFolder(), ProgramFolder() + u'/');
        QCOMPARE(config->DataFolder(), AppData() + QStringLiteral("/Varnel"));
        QVERIFY(QFileInfo(config->DatabaseFolder()).isDir());
        QCOMPARE(config->DatabaseFolder(), AppData() + QStringLiteral("/Varnel/Database"));
        QCOMPARE(config->IniFileName(), IniFile());
        QCOMPARE(config->GetSystemFileName(TVarnelSystemFile::sfDBFileName), AppData() + QStringLiteral("/Varnel/Database/varnel.gdb"));
        QCOMPARE(config->GetSystemFileName(TVarnelSystemFile::sfColumnsStore), AppData() + QStringLiteral("/Varnel/columns.ini"));
        QCOMPARE(config->GetSystemFileName(TVarnelSystemFile::sfDBUpdateFile), AppData() + QStringLiteral("/Varnel/update.sql"));
        QCOMPARE(config->GetSystemFileName(TVarnelSystemFile::sfLibraryPath), AppData() + QStringLiteral("/Varnel/Library"));
        QCOMPARE(config->GetSystemFileName(TVarnelSystemFile::sfPresets), AppData() + QStringLiteral("/Varnel/presets.cxml"));
        // A first start makes the library folder and the settings file that names it.
        QVERIFY(!QFileInfo::exists(IniFile()));
        config->CreateLibraryFolder();
        QVERIFY(QFileInfo(AppData() + QStringLiteral("/Varnel/Library")).isDir());
        QVERIFY(ReadTestFile(IniFile()).contains("LibraryPath="));
    }

    void portableModeLooksBesideTheProgramAndCreatesNothing()
    {
        QVERIFY(WriteTestFile(ProgramFolder() + QStringLiteral("/uselocaldata"), {}));
        QVERIFY(WriteTestFile(ProgramFolder() + QStringLiteral("/varnel.ini"), "[Window]\nFormTop=7\n"));
        const auto config = MakeConfig();
        QVERIFY(config->Portable());
        QCOMPARE(config->DataFolder(), ProgramFolder());
        QCOMPARE(config->IniFileName(), ProgramFolder() + QStringLiteral("/varnel.ini"));
        QCOMPARE(config->GetOptions<TWindowOptions>().FormTop(), 7);
        QCOMPARE(config->GetSystemFileName(TVarnelSystemFile::sfDBFileName), ProgramFolder() + QStringLiteral("/Database/varnel.gdb"));
        config->CreateLibraryFolder();
        QVERIFY(!QFileInfo::exists(ProgramFolder() + QStringLiteral("/Database")));
        QVERIFY(!QFileInfo::exists(ProgramFolder() + QStringLiteral("/Library")));
        QVERIFY(!QFileInfo::exists(AppData()));
    }

    void everyPropertyReadsItsDefaultWithoutAnIniFile()
    {
        const auto config = MakeConfig();
        const auto &proxy = config->GetOptions<TProxyOptions>();
        QCOMPARE(proxy.Proxy(), QString());
        QCOMPARE(proxy.Port(), 0);
        QCOMPARE(proxy.Pass(), QString());
        QCOMPARE(proxy.UseIESettings(), false);
        const auto &last = config->GetOptions<TLastOptions>();
        QCOMPARE(last.LastTemplateTitle(), QStringLiteral("Thin Solid Films"));
        QCOMPARE(last.LastPaper(), 0);
        QCOMPARE(last.GInfoIndx(), 0);
        const auto &other = config->GetOptions<TOtherOptions>();
        QCOMPARE(other.CheckForUpdates(), true);
        QCOMPARE(other.FastWordInsertion(), true);
        QVERIFY(other.UpdateInfoURL().endsWith(QStringLiteral("/update/varnel.info")));
        const auto &path = config->GetOptions<TPathOptions>();
        QCOMPARE(path.LibraryPath(), QStringLiteral("/"));
        QCOMPARE(path.DBFilePath(), QString());
        const auto &viewer = config->GetOptions<TViewerOptions>();
        QCOMPARE(viewer.ExeName(), QString());
        QCOMPARE(viewer.Params(), QStringLiteral("-restrict -zoom \"fit width\""));
        const auto &window = config->GetOptions<TWindowOptions>();
        QCOMPARE(window.FormTop(), 100);
        QCOMPARE(window.FormLeft(), 100);
        QCOMPARE(window.FormWidth(), 900);
        QCOMPARE(window.FormHeight(), 780);
        QCOMPARE(window.SplitterVJ(), 20);
        QCOMPARE(window.SplitterG(), 80);
        QCOMPARE(window.SplitterGH(), 50);
        QCOMPARE(window.WideModeS(), false);
        QVERIFY(!QFile::exists(config->IniFileName()));
    }

    void storedValuesAreRead_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("formTop");
        QTest::addColumn<bool>("wideModeJ");
        QTest::newRow("plain") << QByteArray("FormTop=12\nWideModeJ=1") << 12 << true;
        QTest::newRow("not a number reads the default") << QByteArray("FormTop=abc\nWideModeJ=0") << 100 << false;
        QTest::newRow("Boolean 2 is true") << QByteArray("WideModeJ=2") << 100 << true;
        QTest::newRow("Boolean True reads the default") << QByteArray("WideModeJ=True") << 100 << false;
        QTest::newRow("hexadecimal with 0x") << QByteArray("FormTop=0x1F") << 31 << false;
        QTest::newRow("hexadecimal with $") << QByteArray("FormTop=$10") << 16 << false;
        QTest::newRow("negative") << QByteArray("FormTop=-20") << -20 << false;
        QTest::newRow("beyond 32 bits reads the default") << QByteArray("FormTop=4294967296") << 100 << false;
        QTest::newRow("empty value reads the default") << QByteArray("FormTop=") << 100 << false;
        QTest::newRow("trailing garbage reads the default") << QByteArray("FormTop=12px") << 100 << false;
    }

    void storedValuesAreRead()
    {
        QFETCH(QByteArray, ini);
        QFETCH(int, formTop);
        QFETCH(bool, wideModeJ);
        WriteIni("[Window]\n" + ini + "\n");
        const auto config = MakeConfig();
        QCOMPARE(config->GetOptions<TWindowOptions>().FormTop(), formTop);
        QCOMPARE(config->GetOptions<TWindowOptions>().WideModeJ(), wideModeJ);
    }

    void pathMacro_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("read"); // "<P>" stands for the program folder with its trailing delimiter
        QTest::newRow("backslash after the macro collapses") << QStringLiteral("%PATH%\\data.gdb") << QStringLiteral("<P>data.gdb");
        QTest::newRow("any letter case, every occurrence") << QStringLiteral("%path%a;%Path%/b") << QStringLiteral("<P>a;<P>b");
        QTest::newRow("no macro is untouched") << QStringLiteral("C:\\\\x\\\\y") << QStringLiteral("C:\\\\x\\\\y");
        QTest::newRow("server name is untouched") << QStringLiteral("db-host/3051:/srv/lib.fdb") << QStringLiteral("db-host/3051:/srv/lib.fdb");
    }

    void pathMacro()
    {
        QFETCH(QString, stored);
        QFETCH(QString, read);
        WriteIni("[Path]\nDBFilePath=" + stored.toUtf8() + "\n");
        const auto config = MakeConfig();
        const QString expected = read.replace(QStringLiteral("<P>"), config->ProgramFolder());
        QCOMPARE(config->GetOptions<TPathOptions>().DBFilePath(), expected);
        // The database file name follows DBFilePath when it is set.
        QCOMPARE(config->GetSystemFileName(TVarnelSystemFile::sfDBFileName), expected);
    }

    void writesGoToTheFileAtOnce()
    {
        const auto config = MakeConfig();
        auto &window = config->GetOptions<TWindowOptions>();
        window.SetFormTop(-5);
        window.SetWideModeG(true);
        config->GetOptions<TViewerOptions>().SetParams(QStringLiteral("-restrict -zoom \"fit width\""));
        config->GetOptions<TPathOptions>().SetLastBackupFolder(QStringLiteral("%PATH%backups"));
        QCOMPARE(ReadTestFile(IniFile()), QByteArray("[Window]\nFormTop=-5\nWideModeG=1\n\n[Viewer]\nParams=-restrict -zoom \"fit width\"\n\n"
                                                "[Path]\nLastBackupFolder=%PATH%backups\n"));
        // A second configuration on the same file (another process) sees the change without any cache.
        const auto other = MakeConfig();
        QCOMPARE(other->GetOptions<TWindowOptions>().FormTop(), -5);
        window.SetFormTop(33);
        QCOMPARE(other->GetOptions<TWindowOptions>().FormTop(), 33);
    }

    void proxyPasswordIsStoredScrambled()
    {
        const auto config = MakeConfig();
        auto &proxy = config->GetOptions<TProxyOptions>();
        proxy.SetPass(QStringLiteral("abc"));
        QCOMPARE(ReadTestFile(IniFile()), QByteArray("[Proxy]\nPass=fgh\n"));
        QCOMPARE(proxy.Pass(), QStringLiteral("abc"));
        // A password whose scrambled form looks like "%PATH%" is no path and comes back as it was typed.
        const QString tricky = UnscramblePassword(QStringLiteral("%PATH%x\\\\y"));
        proxy.SetPass(tricky);
        QCOMPARE(proxy.Pass(), tricky);
        proxy.SetPass(QString());
        QCOMPARE(proxy.Pass(), QString());
    }

    void libraryFolderIsNeverTheRoot()
    {
        const auto config = MakeConfig();
        auto &path = config->GetOptions<TPathOptions>();
        QCOMPARE(path.LibraryPath(), QStringLiteral("/"));
        QCOMPARE(config->LibraryFolder(), AppData() + QStringLiteral("/Varnel/Library/"));
        QCOMPARE(path.LibraryPath(), AppData() + QStringLiteral("/Varnel/Library/"));
        path.SetLibraryPath(QStringLiteral("/data/papers/"));
        QCOMPARE(config->LibraryFolder(), QStringLiteral("/data/papers/"));
    }

    void errorsOfTheRegistry()
    {
        const auto config = MakeConfig();
        try {
            config->GetOptions<TUnregisteredOptions>();
            QFAIL("an unregistered group must raise");
        } catch (const EVarnelError &error) {
            QCOMPARE(error.Message(), QStringLiteral("Unregistered option groupTUnregisteredOptions"));
        }
        try {
            config->GetOptions<TWindowOptions>().GetInteger(16);
            QFAIL("an index beyond the group must raise");
        } catch (const EVarnelError &error) {
            QCOMPARE(error.Message(), QStringLiteral("TVadiConfig. Property 16 does not exists"));
        }
        QVERIFY_THROWS_EXCEPTION(EVarnelError, config->GetOptions<TProxyOptions>().SetString(-1, QString()));
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "tst_config.moc"
