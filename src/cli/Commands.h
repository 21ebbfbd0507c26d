#pragma once

#include "CliContext.h"

#include <QJsonArray>

#include <vector>

// A command of the tool: arguments[0] is the command's own name, as QCommandLineParser expects.
using TCommandRun = int (*)(TCliContext &context, const QStringList &arguments);

struct TCommand
{
    const char *Name;
    const char *Syntax;
    const char *Summary;
    TCommandRun Run;
};

// The --json option of the listing commands.
const QCommandLineOption &JsonOption();
void PrintJson(TCliContext &context, const QJsonArray &list);

// Records as one line each, or with json as one array of their JSON objects.
template <class TList, class TToJson, class TToLine>
void PrintRecords(TCliContext &context, const TList &records, bool json, TToJson toJson, TToLine toLine)
{
    if (json) {
        QJsonArray list;
        for (const auto &record : records)
            if (record)
                list.append(toJson(*record));
        PrintJson(context, list);
        return;
    }
    for (const auto &record : records)
        if (record)
            context.Out << toLine(*record) << u'\n';
}

// Papers as "ID<tab>Title" lines, or with json as one array of paper objects.
void PrintPapers(TCliContext &context, const TPapers &papers, bool json);

// Every command, in the order the help lists them.
const std::vector<TCommand> &Commands();

// The commands, by the part of the library they work on.
int RunInit(TCliContext &context, const QStringList &arguments);
int RunStats(TCliContext &context, const QStringList &arguments);
int RunJournals(TCliContext &context, const QStringList &arguments);
int RunPapers(TCliContext &context, const QStringList &arguments);
int RunSearch(TCliContext &context, const QStringList &arguments);
int RunGroups(TCliContext &context, const QStringList &arguments);
int RunGroupAdd(TCliContext &context, const QStringList &arguments);
int RunGroupPapers(TCliContext &context, const QStringList &arguments);

int RunStyles(TCliContext &context, const QStringList &arguments);
int RunFormat(TCliContext &context, const QStringList &arguments);

int RunImport(TCliContext &context, const QStringList &arguments);
int RunExportRis(TCliContext &context, const QStringList &arguments);
int RunBackup(TCliContext &context, const QStringList &arguments);
int RunRestore(TCliContext &context, const QStringList &arguments);
int RunEmpty(TCliContext &context, const QStringList &arguments);
int RunSync(TCliContext &context, const QStringList &arguments);
int RunStylesExport(TCliContext &context, const QStringList &arguments);
int RunStylesImport(TCliContext &context, const QStringList &arguments);
int RunGroupsExport(TCliContext &context, const QStringList &arguments);
int RunGroupsImport(TCliContext &context, const QStringList &arguments);

int RunFetch(TCliContext &context, const QStringList &arguments);
