#pragma once

#include "TerminalPrompts.h"
#include "exchange/Exports.h"
#include "library/DataModule.h"
#include "shell/Config.h"
#include "shell/VarnelError.h"

#include <QCommandLineParser>
#include <QStringList>
#include <QTextStream>

#include <memory>

// A wrong command line: reported with the command's usage and exit status 2.
class EUsageError : public EVarnelError
{
public:
    using EVarnelError::EVarnelError;
};

// What one run of the tool works with: its streams, the configuration of the chosen data folder and, once a
// command asks for it, the open library.
class TCliContext
{
public:
    TCliContext(QTextStream &out, QTextStream &err, QString dataDir, QString dbFile);
    ~TCliContext();
    Q_DISABLE_COPY_MOVE(TCliContext)

    QTextStream &Out;
    QTextStream &Err;

    TConfig &Config();
    // The prompts of the core: messages to stderr; questions are refused until AnswerYes.
    TTerminalPrompts &Prompts();
    void AnswerYes() { Prompts().SetPolicy(TTerminalPrompts::TAnswerPolicy::apYes); }
    // The library after the start-up sequence (connect, or create and seed; the update script when due).
    TdmMain &Library();
    QString LibraryFolder() { return Config().LibraryFolder(); }
    // Progress on stderr when it is a terminal, else nothing.
    TProgress Progress(const QString &label);
    void EndProgress();

private:
    QString FDataDir;
    QString FDbFile;
    QTextStream FIn;
    bool FTerminal;
    bool FProgressShown = false;
    std::unique_ptr<TConfig> FConfig;
    std::unique_ptr<TTerminalPrompts> FPrompts;
    std::unique_ptr<TdmMain> FDm;
};

// Parses a command's arguments with its options; unknown options and wrong counts are usage errors.
// positional receives the positional arguments, checked against minimum and maximum (-1: no maximum).
void ParseCommand(QCommandLineParser &parser, const QStringList &arguments, int minimum, int maximum);
int ParseId(const QString &text, const QString &what);

// The papers a command names: --all, --journal ID, --group ID (in group order) or --id ID... (extra IDs may
// follow as positional arguments from idsFrom on). Exactly one choice must be given.
void AddSelectionOptions(QCommandLineParser &parser);
TPapers LoadSelection(TCliContext &context, const QCommandLineParser &parser, int idsFrom);
// The papers of these IDs, in this order; an ID of no paper is a failure.
TPapers LoadPapersById(TdmMain &dm, const QStringList &ids);
