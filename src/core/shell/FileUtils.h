#pragma once

#include <QString>

// Path helpers. Stored folders may come from a system that separates folders with "\": readers accept both.

QString IncludeTrailingDelimiter(const QString &path);
QString ExcludeTrailingDelimiter(const QString &path);
// Joins with exactly one "/" between the parts; an empty folder yields the name alone.
QString JoinPath(const QString &folder, const QString &name);
// Every "\" becomes "/".
QString ToSlashes(const QString &path);

// Creates base joined with path and all missing parents; true when the folder exists afterwards. An absolute
// path wins over base, an empty base yields path alone, and a path of exactly "/" (or "\") is base itself.
bool ForceFolder(const QString &base, const QString &path);

// Renames or moves a file or folder; a file may also move to another file system. True on success.
bool MoveFolder(const QString &oldName, const QString &newName);

// Copies source over target through a temporary file beside the target, so a failed copy leaves an existing
// target as it was. Returns an empty text on success, otherwise the reason.
QString ReplaceFileWithCopy(const QString &source, const QString &target);
