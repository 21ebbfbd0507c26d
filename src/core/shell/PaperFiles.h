#pragma once

#include <QString>

struct TPaperRecord;
class TUserPrompts;

// Where a paper's full-text file lives in the library folder: a folder named after its journal (and, for a
// journal article, its volume) and a file name digested from the journal and paper titles.

// Every character that cannot stand in a file name (control characters and "*/:<>?\| plus the double quote)
// becomes a blank.
QString SanitizeFileName(const QString &text);

// 32 upper-case hex digits of the MD5 of a followed by b, digested as 7-bit text: each code unit above 0x7F
// is one "?" byte, so titles differing only in such letters share a digest.
QString MD5Hex(const QString &a, const QString &b);

// The folder a journal's files live in, below the library folder.
QString JournalFolderName(const QString &journalTitle);

// The folder relative to the library folder, with a trailing "/".
QString PaperFolder(const TPaperRecord &paper);
QString PaperFileName(const TPaperRecord &paper);

// Assigns the paper its place: Ext becomes ".pdf" when empty, Folder and FileName are recomputed; returns the
// full path under libraryFolder.
QString PaperFullPath(const QString &libraryFolder, TPaperRecord &paper);

// Moves a full-text file into the library as the paper's file: Ext from the file, the place from PaperFullPath,
// an older file there replaced; on success the paper is local and the file gone from where it was. The paper's
// own library file given again stays where it is. False when the file is missing or could not be copied.
bool MoveIntoLibrary(const QString &libraryFolder, TPaperRecord &paper, const QString &file);

// The full path from the stored Folder, FileName and Ext, recomputing nothing.
QString StoredPaperPath(const QString &libraryFolder, const TPaperRecord &paper);

// "Smith, J. Appl. Phys. (12-1999)" for an article, "Smith, Title (1999)" for any other type, sanitised.
QString MakeExportFileName(const TPaperRecord &paper);

// Copies the paper's library file into targetFolder under its export name, replacing an existing file. A
// failure is reported through prompts and the routine returns normally; returns true when the copy was made.
bool CopyPaperFileTo(
    TPaperRecord &paper, const QString &libraryFolder, const QString &targetFolder, TUserPrompts &prompts);
