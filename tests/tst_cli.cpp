#include "Cli.h"
#include "TerminalPrompts.h"
#include "VarnelVersion.h"

#include <QProcess>
#include <QTest>

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
    const int code = RunCli(QStringList{QStringLiteral("varnel-cli")} + arguments, outStream, errStream);
    outStream.flush();
    errStream.flush();
    return {code, out, err};
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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
        QTest::newRow("no command") << QStringList{} << QStringLiteral("Usage:");
        QTest::newRow("unknown command") << QStringList{QStringLiteral("frobnicate")} << QStringLiteral("Unknown command \"frobnicate\"");
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--frob")} << QStringLiteral("Unknown option 'frob'");
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
        QCOMPARE(asking.InputText(QStringLiteral("Varnel"), QStringLiteral("Title"), QStringLiteral("old")), QStringLiteral("new title"));
        QCOMPARE(asking.InputText(QStringLiteral("Varnel"), QStringLiteral("Title"), QStringLiteral("old")), QStringLiteral("old"));

        TTerminalPrompts yesPrompts(err, in, TTerminalPrompts::TAnswerPolicy::apYes, false);
        TUserPrompts &yes = yesPrompts;
        QVERIFY(yes.Ask(QStringLiteral("Overwrite?")));
        TTerminalPrompts batchPrompts(err, in, TTerminalPrompts::TAnswerPolicy::apAsk, false);
        TUserPrompts &batch = batchPrompts;
        QVERIFY(!batch.Ask(QStringLiteral("Overwrite?")));
        batch.ShowMessage(QStringLiteral("Error: Couldn'nt copy file of \"x\"\r\nno such file"), TMessageKind::mkError, QString());
        err.flush();
        QVERIFY(errText.contains(QStringLiteral("error: Error: Couldn'nt copy file of \"x\"\nno such file\n")));
        QVERIFY(errText.contains(QStringLiteral("Overwrite? no (give --yes to answer yes)")));
        QVERIFY(batch.OpenFileName(QString(), QString(), QString()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
