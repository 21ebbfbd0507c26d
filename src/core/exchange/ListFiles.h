#pragma once

#include "records/LibraryRecords.h"

#include <QString>
#include <QStringList>

class TdmMain;

// The four list formats: one record per line, every field followed by the character with code 4. A field
// that begins with a double quote is read as a quoted string.
QString ListLine(const QStringList &fields);
QStringList ListFields(const QString &line);

// Styles with their template fields (not their parameters).
QString StyleListText(TdmMain &dm);
// The styles of a list, each with the default parameters. A line without a title raises EVarnelError.
TTemplates ReadStyleList(const QStringList &lines);
// Deletes every style, then stores styles as new ones.
void ReplaceStyles(TdmMain &dm, const TTemplates &styles);
// Both: a list with a bad line fails before any style is deleted.
void ImportStyleList(TdmMain &dm, const QStringList &lines);

// Every group and folder with its code.
QString GroupFolderListText(TdmMain &dm);
void ImportGroupFolderList(TdmMain &dm, const QStringList &lines);

// Which papers (by file name) belong to which group, in group order; an empty group is one line with an empty
// second field.
QString GroupMemberListText(TdmMain &dm);
void ImportGroupMemberList(TdmMain &dm, const QStringList &lines);

// Container details; a comment's line breaks are written as "$$$".
QString JournalListText(TdmMain &dm);
// Creates or updates each container by title. A container that exists keeps its type; a new one is a journal.
void ImportJournalList(TdmMain &dm, const QStringList &lines);

// List files on their own are written with SaveTextFile (UTF-8 with a byte-order mark, CR LF) and read with
// ReadTextLines, which also takes the 8-bit code page of older files.
