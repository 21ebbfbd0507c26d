#pragma once

#include "records/LibraryRecords.h"

#include <QString>

#include <functional>

class TdmMain;
class TUserPrompts;

// Progress of a long export or import: done of total items so far.
using TProgress = std::function<void(int done, int total)>;

// One RIS file per paper (no date added), named by the paper's export name plus ".ris"; a later paper of the
// same name replaces the earlier file. A file that cannot be written ends the export with EVarnelError; the
// files written so far stay.
void ExportRISFiles(const TPaperRefs &papers, const QString &folder, const TProgress &progress = {});

// The full-text files of the papers that have one in the library, under their export names; with withRIS each
// paper's RIS file follows its copy. A file that cannot be copied is reported and the export goes on.
void ExportPaperFiles(const TPaperRefs &papers, const QString &libraryFolder, const QString &folder, bool withRIS,
    TUserPrompts &prompts, const TProgress &progress = {});

// Every paper of the library as a RIS file (with its date added) named by its digest file name; returns the
// number of files written.
int ExportAllRIS(TdmMain &dm, const QString &folder, const TProgress &progress = {});
