// Commands that reach the web: a paper from its address or DOI, with its PDF.

#include "Commands.h"
#include "shell/IniFile.h"
#include "shell/Options.h"
#include "web/AddPaperFromWeb.h"
#include "web/DownloadQueue.h"
#include "web/Downloader.h"
#include "web/WebParser.h"

int RunFetch(TCliContext &context, const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption noDownload(QStringLiteral("no-download"), QStringLiteral("Store the citation only."));
    parser.addOption(noDownload);
    ParseCommand(parser, arguments, 1, 1);
    const QString address = parser.positionalArguments().front();
    TdmMain &dm = context.Library();
    TConfig &config = context.Config();
    const TProxyOptions &proxy = config.GetOptions<TProxyOptions>();
    TWebParser retriever(&proxy, TWebSites::FromIni(config.IniFile()));
    int jid = 0, pid = 0;
    const TWebImport found = AddPaperFromWeb(dm, context.Prompts(), retriever, address, jid, pid);
    if (found.Outcome.Stored == 0)
        throw EVarnelError(QStringLiteral("No citation was found at \"%1\"").arg(address));
    dm.PreparePaper(pid);
    TPapers papers;
    dm.GetPapers(papers);
    if (papers.empty())
        throw EVarnelError(QStringLiteral("The paper stored from \"%1\" cannot be read back").arg(address));
    TPaperRecord &paper = *papers.front();
    context.Out << paper.ID << u'\t' << paper.Title << u'\n';
    if (parser.isSet(noDownload))
        return 0;
    if (found.PdfURL.isEmpty()) {
        context.Out << QStringLiteral("Download: no PDF address found\n");
        return 0;
    }
    TDownloader downloader(dm, context.Prompts(), &proxy);
    downloader.Root = context.LibraryFolder();
    downloader.SetCookies(retriever.Cookies());
    const TProgress progress = context.Progress(QStringLiteral("Downloading"));
    if (progress)
        downloader.OnProgress = [&progress](int percent, int) { progress(percent, 100); };
    const TDownloadData entry = DownloadEntry(paper, found.PdfURL);
    const bool saved = downloader.Download(entry);
    context.EndProgress();
    if (!saved)
        throw EVarnelError(QStringLiteral("The PDF at \"%1\" was not downloaded").arg(found.PdfURL));
    context.Out << QStringLiteral("Downloaded: %1\n").arg(downloader.Root + entry.Folder + entry.FileName + entry.Ext);
    return 0;
}
