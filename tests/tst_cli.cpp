#include "Cli.h"
#include "LoopbackHttpServer.h"
#include "TerminalPrompts.h"
#include "TestFiles.h"
#include "VarnelVersion.h"
#include "library/SearchBuilders.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

struct TRun
{
    int Code;
    QString Out;
    QString Err;
};

TRun Run(const QStringList &arguments)
{
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const int code = RunCli(QStringList {QStringLiteral("varnel-cli")} + arguments, outStream, errStream);
    outStream.flush();
    errStream.flush();
    return {code, out, err};
}

const QString Corpus = QStringLiteral(VARNEL_FIXTURES "/corpus/");

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> FDir;

    QString Path(const QString &name) const { return FDir->filePath(name); }

    // The built tool on a library of its own in the test's folder.
    TRun Tool(const QStringList &arguments, const QByteArray &input = {})
    {
        QProcess process;
        process.start(QStringLiteral(VARNEL_CLI_BINARY),
            QStringList {QStringLiteral("--data-dir"), Path(QStringLiteral("data"))} + arguments);
        process.write(input);
        process.closeWriteChannel();
        // Waiting in an event loop: a loopback server of the test may have to answer the tool.
        QEventLoop loop;
        QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        if (process.state() != QProcess::NotRunning)
            loop.exec();
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
            return {-1, {}, QStringLiteral("timed out")};
        }
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
    }

    QJsonArray Json(const QStringList &arguments)
    {
        const TRun run = Tool(arguments);
        return run.Code == 0 ? QJsonDocument::fromJson(run.Out.toUtf8()).array() : QJsonArray();
    }

    QString Copy(const QString &fixture, const QString &name)
    {
        const QString target = Path(name);
        WriteTestFile(target, ReadTestFile(Corpus + fixture));
        return target;
    }

private Q_SLOTS:
    void init() { FDir = std::make_unique<QTemporaryDir>(); }

    // Import, list, format, back up, empty and restore a library through the tool alone.
    void libraryRoundTrip()
    {
        const QString book = Copy(QStringLiteral("jabref-cambridge-book-editors.ris"), QStringLiteral("in/book.ris"));
        QVERIFY(WriteTestFile(Path(QStringLiteral("in/book.pdf")), "%PDF-1.4 companion"));
        Copy(QStringLiteral("asreview-embase-elsevier-bom-a1-initials.ris"), QStringLiteral("in/embase.ris"));
        TRun run = Tool({QStringLiteral("import"), Path(QStringLiteral("in/embase.ris")), book});
        QCOMPARE(run.Code, 0);
        QCOMPARE(run.Out, QStringLiteral("Imported: 7\n"));
        // Standard input: the same records again match the stored papers.
        run = Tool({QStringLiteral("import"), QStringLiteral("-")}, ReadTestFile(book));
        QCOMPARE(run.Out, QStringLiteral("Imported: 1\n"));
        run = Tool({QStringLiteral("stats")});
        QCOMPARE(run.Out, QStringLiteral("Journals: 9\nPapers: 7\n"));

        const QJsonArray papers = Json({QStringLiteral("papers"), QStringLiteral("--all"), QStringLiteral("--json")});
        QCOMPARE(papers.size(), 7);
        const QJsonObject last = papers.last().toObject();
        QCOMPARE(last[QStringLiteral("PType")].toString(), QStringLiteral("B"));
        QVERIFY(last[QStringLiteral("Local")].toBool()); // the companion went into the library
        QVERIFY(QFileInfo::exists(Path(QStringLiteral("data/Library/")) + last[QStringLiteral("Folder")].toString()
            + last[QStringLiteral("FileName")].toString() + QStringLiteral(".pdf")));
        QVERIFY(!papers.first().toObject()[QStringLiteral("Authors")].toArray().isEmpty());
        QCOMPARE(papers.first().toObject()[QStringLiteral("Journal")].toObject()[QStringLiteral("ID")].toInt(),
            papers.first().toObject()[QStringLiteral("JID")].toInt());

        // References numbered in the order asked for, with the clipboard's CR LF.
        const QString second = QString::number(papers[1].toObject()[QStringLiteral("ID")].toInt());
        const QString first = QString::number(papers[0].toObject()[QStringLiteral("ID")].toInt());
        run = Tool({QStringLiteral("format"), QStringLiteral("--style"), QStringLiteral("Carbon"),
            QStringLiteral("--id"), second, first});
        QCOMPARE(run.Code, 0);
        const QStringList lines = run.Out.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].startsWith(QStringLiteral("[1] "))
            && lines[0].contains(papers[1].toObject()[QStringLiteral("Title")].toString()));
        QVERIFY(lines[1].startsWith(QStringLiteral("[2] "))
            && lines[1].contains(papers[0].toObject()[QStringLiteral("Title")].toString()));
        QVERIFY(lines[2].isEmpty());
        run = Tool({QStringLiteral("format"), QStringLiteral("--rtf"), QStringLiteral("--id"), first});
        QVERIFY(run.Out.startsWith(QStringLiteral("{\\rtf1")));

        QCOMPARE(Tool({QStringLiteral("backup"), Path(QStringLiteral("library.vbk"))}).Code, 0);
        run = Tool({QStringLiteral("empty"), QStringLiteral("--yes")});
        QCOMPARE(run.Code, 0);
        QVERIFY(run.Out.startsWith(QStringLiteral("Emptied: ")));
        QCOMPARE(Tool({QStringLiteral("stats")}).Out, QStringLiteral("Journals: 2\nPapers: 0\n"));
        run = Tool({QStringLiteral("restore"), Path(QStringLiteral("library.vbk")), QStringLiteral("--yes")});
        QCOMPARE(run.Code, 0);
        QCOMPARE(run.Out, QStringLiteral("Restored: 7 papers\n"));
        // The same papers, files and all; a RIS record's keywords come back with one more leading blank (within the
        // column's 500 characters).
        QJsonArray expected;
        for (const QJsonValue &paper : papers) {
            QJsonObject object = paper.toObject();
            object[QStringLiteral("Keywords")]
                = QString(u' ' + object[QStringLiteral("Keywords")].toString()).left(500);
            expected.append(object);
        }
        QCOMPARE(Json({QStringLiteral("papers"), QStringLiteral("--all"), QStringLiteral("--json")}), expected);
    }

    // Each search option lands in its own field of the statement; the statement is printed, not run.
    void searchStatements_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<TSearchFields>("fields");
        const auto fields = [](auto assign) {
            TSearchFields result;
            assign(result);
            return result;
        };
        QTest::newRow("title words") << QStringList {QStringLiteral("--title"), QStringLiteral("thin film")}
                                     << fields([](TSearchFields &f) { f.Title = QStringLiteral("thin film"); });
        QTest::newRow("author and journal") << QStringList {QStringLiteral("--author"), QStringLiteral("Smith"),
            QStringLiteral("--journal"), QStringLiteral("Carbon")}
                                            << fields([](TSearchFields &f) {
                                                   f.Author = QStringLiteral("Smith");
                                                   f.Journal = QStringLiteral("Carbon");
                                               });
        QTest::newRow("numbers and operators") << QStringList {QStringLiteral("--id"), QStringLiteral("7"),
            QStringLiteral("--year"), QStringLiteral(">= 2005"), QStringLiteral("--volume"), QStringLiteral("12"),
            QStringLiteral("--issue"), QStringLiteral("3"), QStringLiteral("--pages"), QStringLiteral("100")}
                                               << fields([](TSearchFields &f) {
                                                      f.Id = QStringLiteral("7");
                                                      f.Year = QStringLiteral(">= 2005");
                                                      f.Vol = QStringLiteral("12");
                                                      f.Issue = QStringLiteral("3");
                                                      f.Page = QStringLiteral("100");
                                                  });
        QTest::newRow("texts and added") << QStringList {QStringLiteral("--keywords"), QStringLiteral("wear"),
            QStringLiteral("--abstract"), QStringLiteral("O'Neil"), QStringLiteral("--added"),
            QStringLiteral("> '2020-01-01'")}
                                         << fields([](TSearchFields &f) {
                                                f.Keyword = QStringLiteral("wear");
                                                f.Abs = QStringLiteral("O'Neil");
                                                f.DateText = QStringLiteral("> '2020-01-01'");
                                            });
    }

    void searchStatements()
    {
        QFETCH(QStringList, arguments);
        QFETCH(TSearchFields, fields);
        const TRun run = Tool(QStringList {QStringLiteral("search"), QStringLiteral("--sql")} + arguments);
        QCOMPARE(run.Code, 0);
        QCOMPARE(run.Out, BuildSearchStatement(fields, QDateTime::currentDateTime()) + u'\n');
        QVERIFY(!QFileInfo::exists(Path(QStringLiteral("data/Database/varnel.gdb")))); // no library was opened
    }

    void groupsAndStyles()
    {
        QCOMPARE(Tool({QStringLiteral("import"),
                          Copy(QStringLiteral("asreview-embase-elsevier-bom-a1-initials.ris"),
                              QStringLiteral("embase.ris"))})
                     .Code,
            0);
        QCOMPARE(Tool({QStringLiteral("group-add"), QStringLiteral("Reading list")}).Code, 0);
        const QString groups = Tool({QStringLiteral("groups")}).Out;
        QVERIFY2(groups.contains(QStringLiteral("\t0\tReading list\n")), qPrintable(groups));
        const QString gid = groups.section(QStringLiteral("\t0\tReading list"), 0, 0).section(u'\n', -1);
        QCOMPARE(
            Tool({QStringLiteral("group-papers"), gid, QStringLiteral("3"), QStringLiteral("1"), QStringLiteral("2")})
                .Code,
            0);
        const QJsonArray members
            = Json({QStringLiteral("papers"), QStringLiteral("--group"), gid, QStringLiteral("--json")});
        QCOMPARE(members.size(), 3);
        QCOMPARE(members[0].toObject()[QStringLiteral("ID")].toInt(), 3);
        QCOMPARE(members[2].toObject()[QStringLiteral("Ord")].toInt(), 3);

        TRun run = Tool({QStringLiteral("groups-export"), Path(QStringLiteral("groups.glst"))});
        QCOMPARE(run.Code, 0);
        QCOMPARE(ReadTestFile(Path(QStringLiteral("groups.glst"))).count("Reading list"), 3);

        const QJsonArray styles = Json({QStringLiteral("styles"), QStringLiteral("--json")});
        QCOMPARE(styles.size(), 4);
        QCOMPARE(styles[0].toObject()[QStringLiteral("Title")].toString(), QStringLiteral("Carbon"));
        QCOMPARE(styles[0].toObject()[QStringLiteral("Fields")].toArray().size(), 3);
        QCOMPARE(Tool({QStringLiteral("styles-export"), Path(QStringLiteral("styles.tlst"))}).Out,
            QStringLiteral("Exported: 4 styles\n"));
        QCOMPARE(Tool({QStringLiteral("styles-import"), Path(QStringLiteral("styles.tlst"))}).Out,
            QStringLiteral("Imported: 4 styles\n"));
        QCOMPARE(Tool({QStringLiteral("styles")}).Out,
            QStringLiteral("Carbon\nSurface and Coatings Technology\nThin Solid Films\nTribology International\n"));

        run = Tool({QStringLiteral("export-ris"), Path(QStringLiteral("out")), QStringLiteral("--id"),
            QStringLiteral("1"), QStringLiteral("2")});
        QCOMPARE(run.Out, QStringLiteral("Exported: 2\n"));
        QCOMPARE(QDir(Path(QStringLiteral("out"))).entryList({QStringLiteral("*.ris")}).size(), 2);
    }

    // A paper from its DOI: the resolver's redirect, the publisher's page, its citation and PDF; the tool reaches
    // them through the proxy of its settings, which is the test's loopback server.
    void fetch()
    {
        using TResponse = TLoopbackHttpServer::TResponse;
        TLoopbackHttpServer server([](const TLoopbackHttpServer::TRequest &request) {
            if (request.Target == "http://dx.doi.org/10.1103/PhysRevLett.1")
                return TResponse {302, {{"Location", "http://prl.aps.org/abstract/PRL/v1/e1"}}, {}};
            if (request.Target == "http://prl.aps.org/abstract/PRL/v1/e1")
                return TResponse {200, {},
                    "<a href=\"/pdf/PRL/v1/e1\">PDF</a><a id=\"ris_export\" href=\"/export/PRL/v1/e1\">RIS</a>"};
            if (request.Target == "http://prl.aps.org/export/PRL/v1/e1")
                return TResponse {200, {},
                    "TY  - JOUR\r\nT1  - Friction of thin films\r\nJO  - Physical Review Letters\r\nER  - \r\n"};
            if (request.Target == "http://prl.aps.org/pdf/PRL/v1/e1")
                return TResponse {200, {{"Content-Type", "application/pdf"}}, "%PDF-1.4 the paper"};
            return TResponse {404, {}, {}};
        });
        QVERIFY(WriteTestFile(Path(QStringLiteral("data/varnel.ini")),
            "[Proxy]\nProxy=127.0.0.1\nPort=" + QByteArray::number(server.Port()) + "\n"));
        TRun run = Tool({QStringLiteral("fetch"), QStringLiteral("https://doi.org/10.1103/PhysRevLett.1")});
        QCOMPARE(run.Code, 0);
        const QStringList lines = run.Out.split(u'\n');
        QCOMPARE(lines.value(0).section(u'\t', 1), QStringLiteral("Friction of thin films"));
        QVERIFY(lines.value(1).startsWith(QStringLiteral("Downloaded: ")));
        QCOMPARE(ReadTestFile(lines.value(1).mid(12)), QByteArray("%PDF-1.4 the paper"));
        const QJsonArray papers = Json({QStringLiteral("papers"), QStringLiteral("--all"), QStringLiteral("--json")});
        QCOMPARE(papers.size(), 1);
        QVERIFY(papers[0].toObject()[QStringLiteral("Local")].toBool());

        run = Tool({QStringLiteral("fetch"), QStringLiteral("http://www.example.org/nothing")});
        QCOMPARE(run.Code, 1);
        QVERIFY2(run.Err.contains(QStringLiteral("No citation was found")), qPrintable(run.Err));
    }

    // A stop request ends the tool even while the library is open (the database engine's own handlers would
    // keep it running).
    void stopsOnTerminate()
    {
        // The library exists first: while the engine creates or attaches a database it holds the signals itself,
        // and a slow machine would still be creating it when the stop request comes.
        QCOMPARE(Tool({QStringLiteral("journals")}).Code, 0);
        QProcess process;
        process.start(QStringLiteral(VARNEL_CLI_BINARY),
            {QStringLiteral("--data-dir"), Path(QStringLiteral("data")), QStringLiteral("import"),
                QStringLiteral("-")});
        QVERIFY(process.waitForStarted());
        // Standard input stays open: the tool waits for it with the library open. While the engine attaches it
        // holds the signals itself, so the request comes once the tool sits in its read of standard input.
        const QString syscall = QStringLiteral("/proc/%1/syscall").arg(process.processId());
        if (ReadTestFile(syscall).isEmpty())
            QTest::qWait(2000); // a system that does not show a process's current call
        else
            QTRY_VERIFY_WITH_TIMEOUT(ReadTestFile(syscall).startsWith("0 0x0 "), 30000);
        process.terminate();
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitStatus(), QProcess::CrashExit);
    }

    // Failures: exit status 1, the reason on stderr, nothing half done.
    void failures_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("message");
        QTest::newRow("restore without --yes") << QStringList {QStringLiteral("restore"), QStringLiteral("x.vbk")}
                                               << QString() << QStringLiteral("give --yes to go on");
        QTest::newRow("empty without --yes")
            << QStringList {QStringLiteral("empty")} << QString() << QStringLiteral("give --yes");
        QTest::newRow("unreadable citation file")
            << QStringList {QStringLiteral("import"), QStringLiteral("/nonexistent/a.ris")}
            << QStringLiteral("Imported: 0\n") << QStringLiteral("error: ");
        QTest::newRow("no such paper") << QStringList {QStringLiteral("papers"), QStringLiteral("--id"),
            QStringLiteral("99")} << QString()
                                       << QStringLiteral("There is no paper with ID 99");
        QTest::newRow("no such style") << QStringList {QStringLiteral("format"), QStringLiteral("--style"),
            QStringLiteral("Nope"), QStringLiteral("--all")}
                                       << QString() << QStringLiteral("There is no style \"Nope\"");
        QTest::newRow("no such group") << QStringList {QStringLiteral("group-papers"), QStringLiteral("99"),
            QStringLiteral("1")} << QString()
                                       << QStringLiteral("There is no group with ID 99");
        QTest::newRow("archive that is no backup") << QStringList {QStringLiteral("restore"),
            QStringLiteral(VARNEL_FIXTURES "/corpus/SOURCES.md"), QStringLiteral("--yes")}
                                                   << QString() << QStringLiteral("is not a backup archive");
    }

    void failures()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, out);
        QFETCH(QString, message);
        const TRun run = Tool(arguments);
        QCOMPARE(run.Code, 1);
        QCOMPARE(run.Out, out);
        QVERIFY2(run.Err.contains(message), qPrintable(run.Err));
    }

    void versionAndHelp()
    {
        const TRun version = Run({QStringLiteral("--version")});
        QCOMPARE(version.Code, 0);
        QCOMPARE(version.Out, QStringLiteral("varnel-cli " VARNEL_VERSION "\n"));
        const TRun help = Run({QStringLiteral("--help")});
        QCOMPARE(help.Code, 0);
        QVERIFY(help.Out.contains(QStringLiteral("--version")));
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("no command") << QStringList {} << QStringLiteral("Usage:");
        QTest::newRow("unknown command") << QStringList {QStringLiteral("frobnicate")}
                                         << QStringLiteral("Unknown command \"frobnicate\"");
        QTest::newRow("unknown option") << QStringList {QStringLiteral("--frob")}
                                        << QStringLiteral("Unknown option 'frob'");
        QTest::newRow("no selection") << QStringList {QStringLiteral(
            "papers")} << QStringLiteral("Usage: varnel-cli papers (--all | --journal ID | --group ID | --id ID...)");
        QTest::newRow("two selections") << QStringList {QStringLiteral("papers"), QStringLiteral("--all"),
            QStringLiteral("--journal"), QStringLiteral("1")}
                                        << QStringLiteral("Give exactly one of");
        QTest::newRow("ID that is no number") << QStringList {QStringLiteral("papers"), QStringLiteral("--id"),
            QStringLiteral("x")} << QStringLiteral("Paper ID \"x\" is not a number");
        QTest::newRow("search without fields") << QStringList {QStringLiteral("search"), QStringLiteral("--sql")}
                                               << QStringLiteral("Give at least one field");
        QTest::newRow("added index out of range")
            << QStringList {QStringLiteral("search"), QStringLiteral("--added-index"), QStringLiteral("9")}
            << QStringLiteral("--added-index takes");
        QTest::newRow("missing file") << QStringList {QStringLiteral("backup")}
                                      << QStringLiteral("Usage: varnel-cli backup FILE");
        QTest::newRow("extra argument") << QStringList {QStringLiteral("stats"), QStringLiteral("now")}
                                        << QStringLiteral("Unexpected argument \"now\"");
        QTest::newRow("unknown command option") << QStringList {QStringLiteral("journals"), QStringLiteral("--xml")}
                                                << QStringLiteral("Unknown option 'xml'");
    }

    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const TRun run = Run(arguments);
        QCOMPARE(run.Code, 2);
        QVERIFY2(run.Err.contains(message), qPrintable(run.Err));
    }

    void realBinary()
    {
        QProcess process;
        process.start(QStringLiteral(VARNEL_CLI_BINARY), {QStringLiteral("--version")});
        QVERIFY(process.waitForFinished(10000));
        QCOMPARE(process.exitCode(), 0);
        QCOMPARE(process.readAllStandardOutput(), QByteArray("varnel-cli " VARNEL_VERSION "\n"));
    }

    void terminalPrompts()
    {
        QString errText;
        QString input = QStringLiteral("y\n\nc\nnew title\n");
        QTextStream err(&errText);
        QTextStream in(&input);
        // Core operations see the prompts through the interface, with its default arguments.
        TTerminalPrompts askingPrompts(err, in, TTerminalPrompts::TAnswerPolicy::apAsk, true);
        TUserPrompts &asking = askingPrompts;
        QVERIFY(asking.Ask(QStringLiteral("Delete?")));
        QVERIFY(!asking.Ask(QStringLiteral("Delete?")));
        QCOMPARE(asking.AskYesNoCancel(QStringLiteral("Ignore download errors ?")), TPromptAnswer::paCancel);
        QCOMPARE(asking.InputText(QStringLiteral("Varnel"), QStringLiteral("Title"), QStringLiteral("old")),
            QStringLiteral("new title"));
        QCOMPARE(asking.InputText(QStringLiteral("Varnel"), QStringLiteral("Title"), QStringLiteral("old")),
            QStringLiteral("old"));

        TTerminalPrompts yesPrompts(err, in, TTerminalPrompts::TAnswerPolicy::apYes, false);
        TUserPrompts &yes = yesPrompts;
        QVERIFY(yes.Ask(QStringLiteral("Overwrite?")));
        TTerminalPrompts batchPrompts(err, in, TTerminalPrompts::TAnswerPolicy::apAsk, false);
        TUserPrompts &batch = batchPrompts;
        QVERIFY(!batch.Ask(QStringLiteral("Overwrite?")));
        batch.ShowMessage(
            QStringLiteral("Error: Couldn'nt copy file of \"x\"\r\nno such file"), TMessageKind::mkError, QString());
        err.flush();
        QVERIFY(errText.contains(QStringLiteral("error: Error: Couldn'nt copy file of \"x\"\nno such file\n")));
        QVERIFY(errText.contains(QStringLiteral("Overwrite? no (give --yes to answer yes)")));
        QVERIFY(batch.OpenFileName(QString(), QString(), QString()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
