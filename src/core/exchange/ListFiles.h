#pragma once

#include <QString>
#include <QStringList>

class TdmMain;

// The four list formats: one record per line, every field followed by the character with code 4. A field
// that begins with a double quote is read as a quoted string.
QString ListLine(const QStringList &fields);
QStringList ListFields(const QString &line);

// Styles with their template fields (not their parameters).
QString StyleListText(TdmMain &dm);
// Replaces every style by those of the list; each gets the default parameters. A line without a title fails
// the import with EVarnelError before any style is deleted.
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

// List files on their own: written as UTF-8 with a byte-order mark and CR LF through a temporary file; read in
// UTF-8 (with or without the mark) or the 8-bit code page. Both raise EVarnelError with the reason.
void SaveListFile(const QString &fileName, const QString &text);
QStringList ReadListFile(const QString &fileName);
