#pragma once

#include <QStringList>
#include <QTextStream>

// Runs the command-line tool on its arguments (the program name first) and returns the process exit code:
// 0 on success, 1 when a command failed, 2 for a usage error.
int RunCli(const QStringList &arguments, QTextStream &out, QTextStream &err);
