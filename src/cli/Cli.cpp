#include "Cli.h"

#include "Commands.h"
#include "VarnelVersion.h"

#include <QCommandLineParser>

const std::vector<TCommand> &Commands()
{
    static const std::vector<TCommand> commands = {
        {"init", "init", "Open the library, creating and seeding it when missing.", RunInit},
        {"stats", "stats", "Count the journals and papers.", RunStats},
        {"import", "import FILE... (- for standard input)",
            "Import RIS and tagged-text files with their full-text files.", RunImport},
        {"journals", "journals [--json]", "List the journals and other containers.", RunJournals},
        {"papers", "papers (--all | --journal ID | --group ID | --id ID...) [--json]", "List papers.", RunPapers},
        {"search",
            "search [--id T] [--author T] [--journal T] [--title T] [--year T] [--volume T] [--issue T] [--pages T] "
            "[--keywords T] [--abstract T] [--added TEXT] [--added-index N] [--sql] [--json]",
            "Search the library, or print the statement with --sql.", RunSearch},
        {"styles", "styles [--json]", "List the citation styles.", RunStyles},
        {"format", "format [--style TITLE] [--rtf] (--all | --journal ID | --group ID | --id ID...)",
            "Print the formatted references of papers.", RunFormat},
        {"export-ris", "export-ris DIR (--all | --id ID...) [--pdf]", "Export papers as RIS files.", RunExportRis},
        {"backup", "backup FILE", "Write the whole library to a backup archive.", RunBackup},
        {"restore", "restore FILE --yes", "Replace the library by a backup archive.", RunRestore},
        {"empty", "empty --yes", "Start an empty library, keeping the old one as .bak.", RunEmpty},
        {"sync", "sync", "Mark papers local or not by the files in the library folder.", RunSync},
        {"styles-export", "styles-export FILE", "Write the style list file.", RunStylesExport},
        {"styles-import", "styles-import FILE", "Replace the styles by a style list file.", RunStylesImport},
        {"groups-export", "groups-export FILE", "Write the group list file.", RunGroupsExport},
        {"groups-import", "groups-import FILE", "Add the memberships of a group list file.", RunGroupsImport},
        {"groups", "groups [--json]", "List the groups and folders.", RunGroups},
        {"group-add", "group-add TITLE [--code N]", "Add a group.", RunGroupAdd},
        {"group-papers", "group-papers GID PID...", "Add papers to a group.", RunGroupPapers},
        {"fetch", "fetch URL [--no-download]", "Add a paper from its web address or DOI and download its PDF.",
            RunFetch},
    };
    return commands;
}

namespace {

QString CommandList()
{
    QString text = QStringLiteral("\nCommands:\n");
    for (const TCommand &command : Commands())
        text += QStringLiteral("  %1\n      %2\n").arg(QLatin1String(command.Syntax), QLatin1String(command.Summary));
    return text;
}

} // namespace

int RunCli(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Varnel command-line tool: work with a Varnel library from a shell."));
    const QCommandLineOption helpOption(
        QStringList {QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help and exit."));
    const QCommandLineOption versionOption(
        QStringList {QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Show the version and exit."));
    const QCommandLineOption dataDirOption(QStringLiteral("data-dir"),
        QStringLiteral("The data folder (varnel.ini, Database/, Library/) to use."), QStringLiteral("DIR"));
    const QCommandLineOption dbOption(
        QStringLiteral("db"), QStringLiteral("The database file to use."), QStringLiteral("FILE"));
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    parser.addOption(dataDirOption);
    parser.addOption(dbOption);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("The command to run, then its arguments."));
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
        out << parser.helpText() << CommandList() << Qt::flush;
        return 0;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        err << parser.helpText() << CommandList() << Qt::flush;
        return 2;
    }
    const auto command = std::find_if(Commands().begin(), Commands().end(),
        [&](const TCommand &candidate) { return positional.front() == QLatin1String(candidate.Name); });
    if (command == Commands().end()) {
        err << QStringLiteral("Unknown command \"") << positional.front() << QStringLiteral("\"; see --help.")
            << Qt::endl;
        return 2;
    }

    TCliContext context(out, err, parser.value(dataDirOption), parser.value(dbOption));
    int code = 1;
    try {
        code = command->Run(context, positional);
    } catch (const EUsageError &error) {
        err << error.Message() << Qt::endl
            << QStringLiteral("Usage: varnel-cli ") << QLatin1String(command->Syntax) << Qt::endl;
        code = 2;
    } catch (const EVarnelError &error) {
        err << QStringLiteral("error: ") << error.Message() << Qt::endl;
        code = 1;
    }
    out.flush();
    err.flush();
    return code;
}
