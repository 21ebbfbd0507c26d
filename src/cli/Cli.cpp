#include "Cli.h"

#include "VarnelVersion.h"

#include <QCommandLineParser>

int RunCli(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Varnel command-line tool: work with a Varnel library from a shell."));
    const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show this help and exit."));
    const QCommandLineOption versionOption(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                                           QStringLiteral("Show the version and exit."));
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("The command to run."));
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);

    if (!parser.parse(arguments)) {
        err << parser.errorText() << Qt::endl;
        return 2;
    }
    if (parser.isSet(versionOption)) {
        out << QStringLiteral("varnel-cli ") << QStringLiteral(VARNEL_VERSION) << Qt::endl;
        return 0;
    }
    if (parser.isSet(helpOption)) {
        out << parser.helpText() << Qt::flush;
        return 0;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        err << parser.helpText() << Qt::flush;
        return 2;
    }
    err << QStringLiteral("Unknown command \"") << positional.front() << QStringLiteral("\"; see --help.") << Qt::endl;
    return 2;
}
