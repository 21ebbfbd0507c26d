#include "CliContext.h"

#include "exchange/Backup.h"

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

TCliContext::TCliContext(QTextStream &out, QTextStream &err, QString dataDir, QString dbFile)
    : Out(out)
    , Err(err)
    , FDataDir(std::move(dataDir))
    , FDbFile(std::move(dbFile))
    , FIn(stdin)
    , FTerminal(isatty(STDERR_FILENO) != 0)
{ }

TCliContext::~TCliContext()
{
    EndProgress();
}

TConfig &TCliContext::Config()
{
    if (!FConfig) {
        const QString programFolder = QCoreApplication::applicationDirPath();
        FConfig = FDataDir.isEmpty() ? std::make_unique<TConfig>(programFolder)
                                     : std::make_unique<TConfig>(programFolder, TConfig::TDataFolder {FDataDir});
    }
    return *FConfig;
}

TTerminalPrompts &TCliContext::Prompts()
{
    // Never interactive: a script must not hang on a question, so one without --yes is answered no.
    if (!FPrompts)
        FPrompts = std::make_unique<TTerminalPrompts>(Err, FIn, TTerminalPrompts::TAnswerPolicy::apAsk, false);
    return *FPrompts;
}

TdmMain &TCliContext::Library()
{
    if (FDm)
        return *FDm;
    TConfig &config = Config();
    const QString dbFile = FDbFile.isEmpty() ? config.GetSystemFileName(TVarnelSystemFile::sfDBFileName) : FDbFile;
    auto dm = std::make_unique<TdmMain>(Prompts(), [this] { return LibraryFolder(); });
    if (!dm->OpenLibrary(dbFile, config.GetSystemFileName(TVarnelSystemFile::sfDBUpdateFile), false)
        || !dm->Connected())
        throw EVarnelError(QStringLiteral("Cannot open the library database \"%1\"").arg(dbFile));
    const QString notice = InterruptedRestoreNotice(dbFile);
    if (!notice.isEmpty())
        Err << QStringLiteral("varnel-cli: warning: ") << notice << Qt::endl;
    FDm = std::move(dm);
    return *FDm;
}

TProgress TCliContext::Progress(const QString &label)
{
    if (!FTerminal)
        return {};
    return [this, label](int done, int total) {
        FProgressShown = true;
        Err << u'\r' << label << QStringLiteral(": %1 of %2").arg(done).arg(total) << Qt::flush;
    };
}

void TCliContext::EndProgress()
{
    if (FProgressShown)
        Err << Qt::endl;
    FProgressShown = false;
}

void ParseCommand(QCommandLineParser &parser, const QStringList &arguments, int minimum, int maximum)
{
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    if (!parser.parse(arguments))
        throw EUsageError(parser.errorText());
    const qsizetype count = parser.positionalArguments().size();
    if (count < minimum)
        throw EUsageError(QStringLiteral("Missing arguments"));
    if (maximum >= 0 && count > maximum)
        throw EUsageError(QStringLiteral("Unexpected argument \"%1\"").arg(parser.positionalArguments().at(maximum)));
}

int ParseId(const QString &text, const QString &what)
{
    bool ok = false;
    const int id = text.toInt(&ok);
    if (!ok || id < 0)
        throw EUsageError(QStringLiteral("%1 \"%2\" is not a number").arg(what, text));
    return id;
}

void AddSelectionOptions(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("all"), QStringLiteral("Every paper of the library.")});
    parser.addOption({QStringLiteral("journal"), QStringLiteral("The papers of a journal."), QStringLiteral("ID")});
    parser.addOption(
        {QStringLiteral("group"), QStringLiteral("The papers of a group, in group order."), QStringLiteral("ID")});
    parser.addOption({QStringLiteral("id"), QStringLiteral("These papers, in this order."), QStringLiteral("ID")});
}

TPapers LoadSelection(TCliContext &context, const QCommandLineParser &parser, int idsFrom)
{
    const QStringList extraIds = parser.positionalArguments().mid(idsFrom);
    const int choices = int(parser.isSet(QStringLiteral("all"))) + int(parser.isSet(QStringLiteral("journal")))
        + int(parser.isSet(QStringLiteral("group"))) + int(parser.isSet(QStringLiteral("id")));
    if (choices != 1)
        throw EUsageError(QStringLiteral("Give exactly one of --all, --journal ID, --group ID, --id ID..."));
    if (!extraIds.isEmpty() && !parser.isSet(QStringLiteral("id")))
        throw EUsageError(QStringLiteral("Unexpected argument \"%1\"").arg(extraIds.front()));
    TdmMain &dm = context.Library();
    TPapers papers;
    if (parser.isSet(QStringLiteral("all"))) {
        dm.PrepareAllPaperList();
        dm.GetPapers(papers);
    } else if (parser.isSet(QStringLiteral("journal"))) {
        dm.PreparePaperJID(ParseId(parser.value(QStringLiteral("journal")), QStringLiteral("Journal ID")));
        dm.GetPapers(papers);
    } else if (parser.isSet(QStringLiteral("group"))) {
        dm.PreparePaperByGroup(ParseId(parser.value(QStringLiteral("group")), QStringLiteral("Group ID")));
        dm.GetPapers(papers, true);
    } else {
        papers = LoadPapersById(dm, parser.values(QStringLiteral("id")) + extraIds);
    }
    return papers;
}

TPapers LoadPapersById(TdmMain &dm, const QStringList &ids)
{
    TPapers papers;
    for (const QString &text : ids) {
        const int id = ParseId(text, QStringLiteral("Paper ID"));
        dm.PreparePaper(id);
        TPapers one;
        dm.GetPapers(one);
        if (one.empty())
            throw EVarnelError(QStringLiteral("There is no paper with ID %1").arg(id));
        papers.push_back(std::move(one.front()));
    }
    return papers;
}
