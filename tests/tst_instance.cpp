#include "InstanceChannel.h"
#include "TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

Q_DECLARE_METATYPE(THandOver)

class TestInstance : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> FDir;
    QString Name() const { return FDir->filePath(QStringLiteral("varnel.instance")); }

    // A later start's hand-over, sent from a thread of its own while this one serves as the first instance.
    std::optional<int> SendFromAnotherThread(const THandOver &handOver)
    {
        std::optional<int> answer;
        const QString name = Name();
        std::unique_ptr<QThread> sender(QThread::create([&] { answer = TInstanceChannel::Send(name, handOver, 10000); }));
        sender->start();
        while (!sender->wait(10))
            QCoreApplication::processEvents();
        return answer;
    }

private Q_SLOTS:
    void init() { FDir = std::make_unique<QTemporaryDir>(); }

    void handOver_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<uint>("tag");
        QTest::newRow("none") << QStringList{} << uint(htNone);
        QTest::newRow("paper.ris") << QStringList{QStringLiteral("/refs/paper.ris")} << uint(htFile);
        QTest::newRow("paper.RIS") << QStringList{QStringLiteral("/refs/paper.RIS")} << uint(htFile);
        QTest::newRow("paper.enw") << QStringList{QStringLiteral("/refs/paper.enw")} << uint(htFile);
        QTest::newRow("no extension") << QStringList{QStringLiteral("/refs/paper")} << uint(htFile);
        QTest::newRow("dot in a folder only") << QStringList{QStringLiteral("/refs.v2/paper")} << uint(htFile);
        QTest::newRow("paper.txt") << QStringList{QStringLiteral("/refs/paper.txt")} << uint(htNone);
        QTest::newRow("-u") << QStringList{QStringLiteral("-u")} << uint(htNone);
        QTest::newRow("-d and an address") << QStringList{QStringLiteral("-d"), QStringLiteral("https://doi.org/10.1/x")} << uint(htUrl);
        QTest::newRow("-D") << QStringList{QStringLiteral("-D"), QStringLiteral("https://doi.org/10.1/x")} << uint(htNone);
        QTest::newRow("three arguments") << QStringList{QStringLiteral("-d"), QStringLiteral("a"), QStringLiteral("b")} << uint(htNone);
    }

    void handOver()
    {
        QFETCH(QStringList, arguments);
        QFETCH(uint, tag);
        const THandOver handOver = HandOverFor(arguments);
        QCOMPARE(uint(handOver.Tag), tag);
        if (tag == htUrl)
            QCOMPARE(handOver.Text, arguments[1]);
        if (tag == htFile)
            QCOMPARE(handOver.Text, arguments[0]); // absolute already; a relative name is made absolute
    }

    void firstStart()
    {
        const TStartupRequest update = StartupRequestFor({QStringLiteral("-u")});
        QVERIFY(update.RunUpdateScript && update.ImportFile.isEmpty() && update.AddUrl.isEmpty());
        QCOMPARE(StartupRequestFor({QStringLiteral("paper.enw")}).ImportFile, QStringLiteral("paper.enw"));
        QCOMPARE(StartupRequestFor({QStringLiteral("-d"), QStringLiteral("http://x")}).AddUrl, QStringLiteral("http://x"));
        QVERIFY(StartupRequestFor({QStringLiteral("paper.txt")}).ImportFile.isEmpty());
        QCOMPARE(HandOverFor({QStringLiteral("relative.ris")}).Text, QDir::current().absoluteFilePath(QStringLiteral("relative.ris")));
    }

    // The first instance is raised by every later start and answers 1 for a hand-over it has handled.
    void secondStart()
    {
        TInstanceChannel first(Name());
        QVERIFY(first.Listen());
        TInstanceChannel second(Name());
        QVERIFY(!second.Listen());
        int raised = 0;
        QList<THandOver> received;
        first.OnRaise = [&] { ++raised; };
        first.OnHandOver = [&](const THandOver &handOver) {
            received << handOver;
            return 1;
        };
        QCOMPARE(SendFromAnotherThread({htFile, QStringLiteral("/refs/Синтез.ris")}), std::optional<int>(1));
        QCOMPARE(SendFromAnotherThread({htUrl, QStringLiteral("http://dx.doi.org/10.1/x")}), std::optional<int>(1));
        QCOMPARE(SendFromAnotherThread({}), std::optional<int>(0));
        // A message far longer than any file name or address is refused unread; the channel goes on.
        QVERIFY(SendFromAnotherThread({htFile, QString(1 << 20, u'a')}) != std::optional<int>(1));
        QCOMPARE(SendFromAnotherThread({htUrl, QStringLiteral("http://dx.doi.org/10.1/y")}), std::optional<int>(1));
        QCOMPARE(raised, 4);
        QCOMPARE(received.size(), 3);
        QCOMPARE(received[0].Tag, std::uint32_t(htFile));
        QCOMPARE(received[0].Text, QStringLiteral("/refs/Синтез.ris")); // any file name arrives intact
        QCOMPARE(received[1].Text, QStringLiteral("http://dx.doi.org/10.1/x"));
    }

    // The desktop program stopped by SIGTERM closes its window as a user would: it ends normally and has saved
    // its window state and column layouts.
    void terminateClosesTheWindow()
    {
        QDir().mkpath(FDir->filePath(QStringLiteral("runtime")));
        QFile::setPermissions(FDir->filePath(QStringLiteral("runtime")), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), FDir->filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), FDir->filePath(QStringLiteral("runtime")));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(environment);
        const QString folder = FDir->filePath(QStringLiteral("data/Varnel/"));
        QVERIFY(WriteTestFile(folder + QStringLiteral("varnel.ini"), "[Options]\r\nCheckForUpdates=0\r\n")); // loopback only
        program.start(QStringLiteral(VARNEL_APP_BINARY), {});
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(folder + QStringLiteral("Database/varnel.gdb")), 30000);
        QTest::qWait(2000); // past the splash: the window is up
        program.terminate();
        QVERIFY(program.waitForFinished(15000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(ReadTestFile(folder + QStringLiteral("varnel.ini")).contains("FormWidth="));
        QVERIFY(ReadTestFile(folder + QStringLiteral("columns.ini")).contains("[COLUMNS_JOURNALS]"));
    }

    // A socket file left by a crashed instance does not block the next start; with no instance, Send gives up.
    void staleSocketAndNoInstance()
    {
        QVERIFY(WriteTestFile(Name(), "left behind"));
        TInstanceChannel first(Name());
        QVERIFY(first.Listen());
        QCOMPARE(TInstanceChannel::Send(FDir->filePath(QStringLiteral("nobody")), {}, 1000), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestInstance)
#include "tst_instance.moc"
