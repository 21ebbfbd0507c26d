// Commands that move citations and whole libraries in and out: import, exports, archives, list files.

#include "Commands.h"
#include "exchange/Backup.h"
#include "exchange/ImportFile.h"
#include "exchange/ListFiles.h"
#include "exchange/TextFiles.h"
#include "shell/FileUtils.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QCommandLineOption YesOption(QStringLiteral("yes"), QStringLiteral("Answer yes: go on without asking."));

// Replacing or emptying the whole library is only done when the command line says so.
void RequireYes(TCliContext &context, const QCommandLineParser &parser, const QString &what)
{
    if (!parser.isSet(YesOption))
        throw EVarnelError(what + QStringLiteral(" replaces the whole library; give --yes to go on"));
    context.AnswerYes();
}

int PaperCount(TdmMain &dm)
{
    TStatRecord stats;
    dm.GetStats(stats);
    return stats.Papers;
}

} // namespace

int RunImport(TCliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    ParseCommand(parser, arguments, 1, -1);
    TdmMain &dm = context.Library();
    const QStringList files = parser.positionalArguments();
    int stored = 0;
    int jid = 0, pid = 0;
    const TProgress progress = context.Progress(QStringLiteral("Importing files"));
    // What was stored before a file that cannot be read stays, and is counted.
    QString failure;
    try {
        for (qsizetype i = 0; i < files.size(); ++i) {
            if (progress)
                progress(int(i), int(files.size()));
            if (files[i] == QLatin1String("-")) {
                QFile in;
                if (!in.open(stdin, QIODevice::ReadOnly))
                    throw EVarnelError(QStringLiteral("Cannot read standard input"));
                stored += ImportCitationLines(dm, context.Prompts(), SplitLines(DecodeText(in.readAll())), jid, pid)
                              .Stored;
            } else {
                stored += ImportCitationFile(dm, context.Prompts(), files[i], context.LibraryFolder(), jid, pid).Stored;
            }
        }
    } catch (const EVarnelError &error) {
        failure = error.Message();
    }
    context.EndProgress();
    context.Out << QStringLiteral("Imported: %1\n").arg(stored);
    if (!failure.isEmpty())
        throw EVarnelError(failure);
    return 0;
}

int RunExportRis(TCliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption pdf(QStringLiteral("pdf"), QStringLiteral("Export the full-text files too."));
    parser.addOption(pdf);
    AddSelectionOptions(parser);
    ParseCommand(parser, arguments, 1, -1);
    if (parser.isSet(QStringLiteral("journal")) || parser.isSet(QStringLiteral("group")))
        throw EUsageError(QStringLiteral("export-ris takes --all or --id ID..."));
    const QString folder = parser.positionalArguments().front();
    if (!ForceFolder(QString(), folder))
        throw EVarnelError(QStringLiteral("Cannot create the folder \"%1\"").arg(folder));
    int exported = 0;
    if (parser.isSet(QStringLiteral("all"))) {
        if (parser.isSet(pdf))
            throw EUsageError(QStringLiteral("--pdf goes with --id ID..."));
        exported = ExportAllRIS(context.Library(), folder, context.Progress(QStringLiteral("Exporting")));
    } else {
        const TPapers papers = LoadSelection(context, parser, 1);
        ExportRISFiles(PaperRefs(papers), folder, context.Progress(QStringLiteral("Exporting citations")));
        if (parser.isSet(pdf))
            ExportPaperFiles(PaperRefs(papers), context.LibraryFolder(), folder, false, context.Prompts(),
                context.Progress(QStringLiteral("Exporting files")));
        exported = int(papers.size());
    }
    context.EndProgress();
    context.Out << QStringLiteral("Exported: %1\n").arg(exported);
    return 0;
}

int RunBackup(TCliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    ParseCommand(parser, arguments, 1, 1);
    const QString fileName = parser.positionalArguments().front();
    TdmMain &dm = context.Library();
    BackupLibrary(dm, fileName, context.Progress(QStringLiteral("Backing up")));
    context.EndProgress();
    context.Out << QStringLiteral("Backed up: %1 papers to %2\n").arg(PaperCount(dm)).arg(fileName);
    return 0;
}

int RunRestore(TCliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption(YesOption);
    ParseCommand(parser, arguments, 1, 1);
    RequireYes(context, parser, QStringLiteral("Restoring"));
    const QString fileName = parser.positionalArguments().front();
    if (!QFileInfo(fileName).isFile())
        throw EVarnelError(QStringLiteral("There is no archive \"%1\"").arg(fileName));
    TdmMain &dm = context.Library();
    RestoreLibrary(
        dm, context.Prompts(), fileName, context.LibraryFolder(), context.Progress(QStringLiteral("Restoring")));
    context.EndProgress();
    context.Out << QStringLiteral("Restored: %1 papers\n").arg(PaperCount(dm));
    return 0;
}

int RunEmpty(TCliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption(YesOption);
    ParseCommand(parser, arguments, 0, 0);
    RequireYes(context, parser, QStringLiteral("Emptying"));
    TdmMain &dm = context.Library();
    EmptyDatabase(dm);
    const QFileInfo database(dm.DBFileName());
    context.Out << QStringLiteral("Emptied: the previous library is kept as %1\n")
                       .arg(database.path() + u'/' + database.completeBaseName() + QStringLiteral(".bak"));
    return 0;
}

int RunSync(TCliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    ParseCommand(parser, arguments, 0, 0);
    TdmMain &dm = context.Library();
    SyncLocalFiles(dm, context.LibraryFolder());
    context.Out << QStringLiteral("Synced: %1 papers with %2\n").arg(PaperCount(dm)).arg(context.LibraryFolder());
    return 0;
}

namespace {

// A list file written from the library: "Exported: N <what>" with the count the library then holds.
int ExportList(TCliContext &context, const QStringList &arguments, QString (*text)(TdmMain &), int (*count)(TdmMain &),
    const QString &summary)
{
    QCommandLineParser parser;
    ParseCommand(parser, arguments, 1, 1);
    TdmMain &dm = context.Library();
    SaveTextFile(parser.positionalArguments().front(), text(dm));
    context.Out << summary.arg(count(dm)) << u'\n';
    return 0;
}

// A list file read into the library, read whole before the library changes.
int ImportList(TCliContext &context, const QStringList &arguments, void (*import)(TdmMain &, const QStringList &),
    int (*count)(TdmMain &), const QString &summary)
{
    QCommandLineParser parser;
    ParseCommand(parser, arguments, 1, 1);
    const QStringList lines = ReadTextLines(parser.positionalArguments().front());
    TdmMain &dm = context.Library();
    import(dm, lines);
    context.Out << summary.arg(count(dm)) << u'\n';
    return 0;
}

int StyleCount(TdmMain &dm)
{
    TTemplates styles;
    dm.GetTemplates(styles);
    return int(styles.size());
}

int GroupCount(TdmMain &dm)
{
    TGroups groups;
    dm.GetGroups(groups);
    return int(groups.size());
}

} // namespace

int RunStylesExport(TCliContext &context, const QStringList &arguments)
{
    return ExportList(context, arguments, StyleListText, StyleCount, QStringLiteral("Exported: %1 styles"));
}

int RunStylesImport(TCliContext &context, const QStringList &arguments)
{
    return ImportList(context, arguments, ImportStyleList, StyleCount, QStringLiteral("Imported: %1 styles"));
}

int RunGroupsExport(TCliContext &context, const QStringList &arguments)
{
    return ExportList(context, arguments, GroupMemberListText, GroupCount, QStringLiteral("Exported: %1 groups"));
}

int RunGroupsImport(TCliContext &context, const QStringList &arguments)
{
    return ImportList(
        context, arguments, ImportGroupMemberList, GroupCount, QStringLiteral("Imported: %1 groups in the library"));
}
