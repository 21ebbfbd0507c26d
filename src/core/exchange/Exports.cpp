#include "Exports.h"

#include "RISWriter.h"
#include "TextFiles.h"
#include "library/DataModule.h"
#include "shell/FileUtils.h"
#include "shell/PaperFiles.h"
#include "shell/TextUtils.h"

namespace {

void WriteRIS(const TPaperRecord &paper, bool noDate, const QString &fileName)
{
    QStringList lines;
    PutToRIS(paper, noDate, lines);
    SaveTextFile(fileName, LinesWithCRLF(lines));
}

// The RIS file of a chosen paper: no date added, named by its export name.
void WriteExportRIS(const TPaperRecord &paper, const QString &folder)
{
    WriteRIS(paper, true, IncludeTrailingDelimiter(folder) + MakeExportFileName(paper) + QStringLiteral(".ris"));
}

int Count(const TPaperRefs &papers)
{
    return int(std::count_if(papers.begin(), papers.end(), [](const TPaperRecord *paper) { return paper != nullptr; }));
}

} // namespace

void ExportRISFiles(const TPaperRefs &papers, const QString &folder, const TProgress &progress)
{
    const int total = Count(papers);
    int done = 0;
    for (TPaperRecord *paper : papers) {
        if (!paper)
            continue;
        WriteExportRIS(*paper, folder);
        if (progress)
            progress(++done, total);
    }
}

void ExportPaperFiles(const TPaperRefs &papers, const QString &libraryFolder, const QString &folder, bool withRIS,
    TUserPrompts &prompts, const TProgress &progress)
{
    const int total = Count(papers);
    int done = 0;
    for (TPaperRecord *paper : papers) {
        if (!paper)
            continue;
        if (paper->Local)
            CopyPaperFileTo(*paper, libraryFolder, folder, prompts);
        if (withRIS)
            WriteExportRIS(*paper, folder);
        if (progress)
            progress(++done, total);
    }
}

int ExportAllRIS(TdmMain &dm, const QString &folder, const TProgress &progress)
{
    TPapers papers;
    dm.PrepareAllPaperList();
    dm.GetPapers(papers);
    const int total = int(papers.size());
    int done = 0;
    for (const auto &paper : papers) {
        WriteRIS(*paper, false, IncludeTrailingDelimiter(folder) + PaperFileName(*paper) + QStringLiteral(".ris"));
        ++done;
        if (progress)
            progress(done, total);
    }
    return done;
}
