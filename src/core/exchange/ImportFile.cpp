#include "ImportFile.h"

#include "TextFiles.h"
#include "library/DataModule.h"
#include "shell/FileUtils.h"
#include "shell/PaperFiles.h"

#include <QFileInfo>

QString CompanionFile(const QString &citationFileName)
{
    const QFileInfo info(citationFileName);
    const QString base = info.suffix().isEmpty() ? info.filePath() : info.filePath().chopped(info.suffix().size() + 1);
    for (const char *extension : {".pdf", ".djvu", ".chm"}) {
        const QString candidate = base + QLatin1String(extension);
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return {};
}

TRISImporter::TOutcome ImportCitationLines(
    TdmMain &dm, TUserPrompts &prompts, const QStringList &lines, int &JID, int &PID)
{
    TRISImporter importer(dm, prompts);
    return importer.Parse(lines, false, JID, PID);
}

TRISImporter::TOutcome ImportCitationFile(
    TdmMain &dm, TUserPrompts &prompts, const QString &fileName, const QString &libraryFolder, int &JID, int &PID)
{
    const TRISImporter::TOutcome outcome = ImportCitationLines(dm, prompts, ReadTextLines(fileName), JID, PID);
    const QString companion = CompanionFile(fileName);
    // PID still names an earlier file's paper when this file stored nothing: its companion is no one's then.
    if (companion.isEmpty() || outcome.Stored == 0 || PID == 0)
        return outcome;
    dm.PreparePaper(PID);
    TPapers papers;
    dm.GetPapers(papers);
    if (papers.empty())
        return outcome;
    TPaperRecord &paper = *papers.front();
    // Stored under the paper's recorded extension (".pdf" when it has none), whatever the companion's own.
    const QString target = PaperFullPath(libraryFolder, paper);
    ForceFolder(QString(), QFileInfo(target).absolutePath());
    if (ReplaceFileWithCopy(companion, target).isEmpty() && QFileInfo(target).isFile()) {
        paper.Local = true;
        dm.SetLocal(paper);
    }
    return outcome;
}
