// Commands that read the library or change its groups.

#include "Commands.h"
#include "JsonOutput.h"
#include "library/SearchBuilders.h"

#include <QJsonDocument>

const QCommandLineOption &JsonOption()
{
    static const QCommandLineOption option(
        QStringLiteral("json"), QStringLiteral("One JSON document on standard output."));
    return option;
}

void PrintJson(TCliContext &context, const QJsonArray &list)
{
    context.Out << QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Indented));
}

void PrintPapers(TCliContext &context, const TPapers &papers, bool json)
{
    PrintRecords(context, papers, json, PaperJson,
        [](const TPaperRecord &paper) -> QString { return QString::number(paper.ID) + u'\t' + paper.Title; });
}

int RunInit(TCliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    ParseCommand(parser, arguments, 0, 0);
    context.Config().CreateLibraryFolder();
    context.Library();
    return 0;
}

int RunStats(TCliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    ParseCommand(parser, arguments, 0, 0);
    TStatRecord stats;
    context.Library().GetStats(stats);
    context.Out << QStringLiteral("Journals: %1\nPapers: %2\n").arg(stats.Journals).arg(stats.Papers);
    return 0;
}

int RunJournals(TCliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption(JsonOption());
    ParseCommand(parser, arguments, 0, 0);
    TJournals journals;
    context.Library().GetJournals(journals);
    PrintRecords(
        context, journals, parser.isSet(JsonOption()), JournalJson, [](const TJournalRecord &journal) -> QString {
            return QString::number(journal.ID) + u'\t' + (journal.JType.isNull() ? QString() : QString(journal.JType))
                + u'\t' + journal.Title;
        });
    return 0;
}

int RunPapers(TCliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption(JsonOption());
    AddSelectionOptions(parser);
    ParseCommand(parser, arguments, 0, -1);
    PrintPapers(context, LoadSelection(context, parser, 0), parser.isSet(JsonOption()));
    return 0;
}

int RunSearch(TCliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    const QStringList names = {QStringLiteral("id"), QStringLiteral("author"), QStringLiteral("journal"),
        QStringLiteral("title"), QStringLiteral("year"), QStringLiteral("volume"), QStringLiteral("issue"),
        QStringLiteral("pages"), QStringLiteral("keywords"), QStringLiteral("abstract"), QStringLiteral("added")};
    for (const QString &name : names)
        parser.addOption({name, QStringLiteral("Search the %1 field.").arg(name), QStringLiteral("TEXT")});
    const QCommandLineOption addedIndex(QStringLiteral("added-index"),
        QStringLiteral("Added within: 0 today, 1 three days, 2 a week, 3 two weeks, 4 a month, "
                       "5 three months; -1 (default) the --added text."),
        QStringLiteral("N"), QStringLiteral("-1"));
    const QCommandLineOption sqlOption(QStringLiteral("sql"), QStringLiteral("Print the statement only, unexecuted."));
    parser.addOption(addedIndex);
    parser.addOption(sqlOption);
    parser.addOption(JsonOption());
    ParseCommand(parser, arguments, 0, 0);

    bool ok = false;
    const int index = parser.value(addedIndex).toInt(&ok);
    if (!ok || index < -1 || index > 5)
        throw EUsageError(QStringLiteral("--added-index takes a number from -1 to 5"));
    const auto field = [&parser](const char *name) { return parser.value(QLatin1String(name)); };
    const TSearchFields fields {field("id"), field("author"), field("journal"), field("title"), field("year"),
        field("volume"), field("issue"), field("pages"), field("keywords"), field("abstract"), field("added"), index};
    const QString statement = BuildSearchStatement(fields, QDateTime::currentDateTime());
    if (statement.isEmpty())
        throw EUsageError(QStringLiteral("Give at least one field to search"));
    if (parser.isSet(sqlOption)) {
        context.Out << statement << u'\n';
        return 0;
    }
    TdmMain &dm = context.Library();
    dm.Search(fields.Id, fields.Author, fields.Journal, fields.Title, fields.Year, fields.Vol, fields.Issue,
        fields.Page, fields.Keyword, fields.Abs, fields.DateText, fields.DateIndex);
    TPapers papers;
    dm.GetPapers(papers);
    PrintPapers(context, papers, parser.isSet(JsonOption()));
    return 0;
}

int RunGroups(TCliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption(JsonOption());
    ParseCommand(parser, arguments, 0, 0);
    TGroups groups;
    context.Library().GetGroups(groups);
    PrintRecords(context, groups, parser.isSet(JsonOption()), GroupJson, [](const TGroupRecord &group) -> QString {
        return QString::number(group.ID) + u'\t' + QString::number(group.Code) + u'\t' + group.Title;
    });
    return 0;
}

int RunGroupAdd(TCliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption code(
        QStringLiteral("code"), QStringLiteral("The group's code (folder)."), QStringLiteral("N"), QStringLiteral("0"));
    parser.addOption(code);
    ParseCommand(parser, arguments, 1, 1);
    const QString title = parser.positionalArguments().front().trimmed();
    if (title.isEmpty())
        throw EUsageError(QStringLiteral("A group needs a title"));
    context.Library().AddGroup(title, ParseId(parser.value(code), QStringLiteral("Code")));
    return 0;
}

int RunGroupPapers(TCliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    ParseCommand(parser, arguments, 2, -1);
    const QStringList positional = parser.positionalArguments();
    const int gid = ParseId(positional.front(), QStringLiteral("Group ID"));
    TdmMain &dm = context.Library();
    TGroups groups;
    dm.GetGroups(groups);
    if (std::none_of(groups.begin(), groups.end(), [gid](const auto &group) { return group->ID == gid; }))
        throw EVarnelError(QStringLiteral("There is no group with ID %1").arg(gid));
    dm.AddToGroup(gid, LoadPapersById(dm, positional.mid(1)));
    return 0;
}
