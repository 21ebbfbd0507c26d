#pragma once

#include <QString>
#include <QStringList>

// Statement scripts: one statement over any number of lines; a line beginning with "--@@" ends it, blank lines
// and lines beginning (after blanks) with "/*" are skipped, and every other line is kept followed by CR LF.
QStringList SplitScriptText(const QString &text);

// The statements of a script file. Its encoding follows a byte-order mark (UTF-8 or UTF-16), else UTF-8.
// A file that cannot be read raises EVarnelError.
QStringList SplitScriptFile(const QString &fileName);

// The statements of a built-in script: "CreateDBQuery" (the schema) or "CollateTitle" (the seed data).
QStringList SplitScriptResource(const QString &name);
