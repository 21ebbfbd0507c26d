#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// Tags of what a second start hands to the running instance.
enum THandOverTag : std::uint32_t { htNone = 0, htUrl = 34049, htFile = 34050 };

struct THandOver
{
    std::uint32_t Tag = htNone; // htNone: only bring the running instance to the front
    QString Text;
};

// A citation file argument: one whose extension, upper-cased, is ".RIS", ".ENW" or none; a lone "-u" never is.
bool IsCitationFileArgument(const QString &argument);

// What a second start with these arguments (after the program name) hands over: a file with htFile, "-d URL"
// (exactly two arguments, the switch case-sensitive) with htUrl, anything else nothing.
THandOver HandOverFor(const QStringList &arguments);

// What a first start does with its own arguments.
struct TStartupRequest
{
    bool RunUpdateScript = false; // "-u" first: the update script runs before the structure check
    QString AddUrl; // "-d URL": a paper from the address once the window is built
    QString ImportFile; // a citation file: imported once the window is built
};
TStartupRequest StartupRequestFor(const QStringList &arguments);
