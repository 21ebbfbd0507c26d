#pragma once

#include "Exports.h"

#include <QString>

class TdmMain;
class TUserPrompts;

// The backup archive: a ZIP file holding the style, group folder, group member and journal lists under
// "_Data\" and one RIS record per paper, named by its file name. Written to a temporary file beside fileName
// and renamed when complete, so a failed backup never leaves half an archive under the name. Raises
// EVarnelError with the reason.
void BackupLibrary(TdmMain &dm, const QString &fileName, const TProgress &progress = {});

// Replaces the library by the archive's content, then syncs the local-file flags with libraryFolder. The archive
// is read whole first: a file that is no backup, a missing list, a damaged entry or one larger than any library
// writes raises EVarnelError and changes nothing. Entry names are only matched, never used as paths. Records
// that fail are reported by the importer and skipped.
void RestoreLibrary(TdmMain &dm, TUserPrompts &prompts, const QString &fileName, const QString &libraryFolder,
    const TProgress &progress = {});

// The warning for a library whose last restore did not finish (the program was stopped or crashed while the
// library was being replaced): which library is there now and where the one before it is kept. Empty when the
// last restore finished or none was made.
QString InterruptedRestoreNotice(const QString &dbFileName);

// Keeps a copy of the database file as ".bak" (replacing an older one) and creates a new, seeded database in
// its place. Raises EVarnelError when the copy or the new database cannot be made; the old file then stays.
void EmptyDatabase(TdmMain &dm);

// Sets every paper's local-file flag from whether its file is in the library folder; a paper without a stored
// extension gets its default place stored with the flag.
void SyncLocalFiles(TdmMain &dm, const QString &libraryFolder);
