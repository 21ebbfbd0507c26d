#pragma once

#include "RISImporter.h"

#include <QString>
#include <QStringList>

class TdmMain;
class TUserPrompts;

// One citation file taken into the library, as "Add from file" does: its records are imported, then the first
// companion beside it (the same name with ".pdf", ".djvu" or ".chm") is copied to the library place of the last
// imported paper, which is then marked local. The companion itself stays where it is; one that cannot be copied
// leaves the paper not local. JID and PID receive the container and paper of the last imported record.
// Raises EVarnelError when the citation file cannot be read.
TRISImporter::TOutcome ImportCitationFile(
    TdmMain &dm, TUserPrompts &prompts, const QString &fileName, const QString &libraryFolder, int &JID, int &PID);

// The same for citation text that has no file (standard input, the clipboard): no companion is looked for.
TRISImporter::TOutcome ImportCitationLines(
    TdmMain &dm, TUserPrompts &prompts, const QStringList &lines, int &JID, int &PID);

// The companion full-text file of a citation file, or an empty text when there is none.
QString CompanionFile(const QString &citationFileName);
