#include "DownloadManagerThread.h"

#include "Downloader.h"
#include "WebParser.h"
#include "shell/UserPrompts.h"

#include <QCoreApplication>
#include <QMutexLocker>

TDownloadManagerThread::TDownloadManagerThread(TDownloadQueue &queue, TdmMain &dm, TUserPrompts &prompts,
    const TProxyOptions *proxy, TWebSites sites, QString rootPath, QList<QNetworkCookie> cookies)
    : FQueue(queue)
    , FDm(dm)
    , FPrompts(prompts)
    , FProxy(proxy)
    , FSites(std::move(sites))
    , FRootPath(std::move(rootPath))
    , FCookies(std::move(cookies))
{ }

TDownloadManagerThread::~TDownloadManagerThread()
{
    FCanceled = true;
    TerminateNow();
    // The worker may be waiting for a main-thread step: run them until it has ended.
    while (!wait(10)) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        TerminateNow(); // a transfer the worker began meanwhile
    }
}

void TDownloadManagerThread::Step(void (TDownloadManagerThread::*step)())
{
    if (QThread::currentThread() == FQueue.thread())
        (this->*step)();
    else
        QMetaObject::invokeMethod(
            &FQueue, [this, step] { (this->*step)(); }, Qt::BlockingQueuedConnection);
}

void TDownloadManagerThread::Stop()
{
    FCanceled = true;
    MarkStopped();
    FControlState = true;
    UpdateControls();
    requestInterruption();
}

void TDownloadManagerThread::TerminateNow()
{
    QMutexLocker lock(&FDownloaderLock);
    if (FDownloader)
        FDownloader->Stop();
    requestInterruption();
}

void TDownloadManagerThread::Rest(int milliseconds)
{
    for (int slept = 0; slept < milliseconds && !FCanceled; slept += 20)
        QThread::msleep(std::min(20, milliseconds - slept));
}

void TDownloadManagerThread::run()
{
    FControlState = false;
    Step(&TDownloadManagerThread::UpdateControls);
    FIgnoreErrors = false;
    FError = false;
    FProcessed = 0;
    TDownloader downloader(FDm, FPrompts, FProxy);
    downloader.Root = FRootPath;
    downloader.SetCookies(FCookies);
    downloader.LocalStatusReceiver = FQueue.LocalStatusReceiver;
    TDownloadQueue *queue = &FQueue;
    downloader.OnSetComment = [queue](const QString &text, const QString &) {
        QMetaObject::invokeMethod(queue, [queue, text] {
            queue->EditPage().State = text;
            queue->NotifyPage();
        });
    };
    downloader.OnProgress = [queue](int percent, int) {
        QMetaObject::invokeMethod(queue, [queue, percent] {
            if (!queue->WindowVisible)
                return;
            queue->EditPage().Progress = percent;
            queue->NotifyPage();
        });
    };
    TWebParser parser(FProxy, FSites);
    {
        QMutexLocker lock(&FDownloaderLock);
        FDownloader = &downloader;
    }
    try {
        Step(&TDownloadManagerThread::SelectNextEntry);
        while (ID != 0 && !FCanceled) {
            if (FError)
                Rest(FailurePause);
            QThread::msleep(10);
            if (FCanceled)
                break;
            downloader.IgnoreErrors = FIgnoreErrors;
            try {
                if (FCurrentData.PdfUrl.isEmpty()) {
                    QString pdfUrl;
                    parser.GetInfo(FCurrentData.URL, pdfUrl, nullptr, true);
                    FCurrentData.PdfUrl = pdfUrl;
                    FFoundPdfUrl = pdfUrl;
                    QMetaObject::invokeMethod(
                        &FQueue, [this] { FQueue.SetPdfUrl(ID, FFoundPdfUrl); }, Qt::BlockingQueuedConnection);
                    downloader.SetCookies(parser.Cookies());
                }
                FError = FCurrentData.PdfUrl.isEmpty() || !downloader.Download(FCurrentData);
            } catch (const EVarnelError &error) {
                // A step that fails (the network, a file, the library) fails this entry, not the whole run.
                FError = true;
                if (!FIgnoreErrors && !FCanceled)
                    FPrompts.ShowMessage(error.Message(), TMessageKind::mkError, QStringLiteral("Download error"));
            }
            Step(&TDownloadManagerThread::FinishEntry);
            Step(&TDownloadManagerThread::SelectNextEntry);
            if (FError && !FIgnoreErrors && !FCanceled) {
                const TPromptAnswer answer
                    = FPrompts.AskYesNoCancel(QStringLiteral("Ignore download errors ?"), QString());
                if (answer == TPromptAnswer::paCancel)
                    FCanceled = true;
                else if (answer == TPromptAnswer::paYes)
                    FIgnoreErrors = true;
            }
        }
        Step(&TDownloadManagerThread::FinishEntry);
    } catch (const EVarnelError &) {
        // Only the main-thread steps can raise here; the controls are given back below either way.
    }
    {
        QMutexLocker lock(&FDownloaderLock);
        FDownloader = nullptr;
    }
    FFinished = true;
    FControlState = true;
    Step(&TDownloadManagerThread::UpdateControls);
}

void TDownloadManagerThread::UpdateControls()
{
    FQueue.EditPage().Idle = FControlState;
    FQueue.NotifyPage();
}

void TDownloadManagerThread::SelectNextEntry()
{
    FFinished = true;
    if (FCanceled)
        return;
    const int count = FQueue.Count();
    int row = ID != 0 ? FQueue.RowOf(ID) : -1;
    if (row >= 0)
        ++row;
    if (row < 0 || row >= count) {
        // From the top, past failed entries; when only failed ones are left, they are tried again.
        row = 0;
        int skipped = 0;
        while (row < count && FQueue.Entry(row).State == TDownloadState::dsError) {
            ++row;
            ++skipped;
        }
        if (skipped > 0 && row >= count)
            row = 0;
    }
    while (row < count && FQueue.Entry(row).State == TDownloadState::dsOk)
        ++row;
    if (row >= count) {
        ID = 0;
        return;
    }
    FCurrentData = FQueue.Entry(row);
    ID = FCurrentData.ID;
    FQueue.SetEntryState(ID, TDownloadState::dsRun);
    if (FQueue.WindowVisible) {
        TDownloadQueue::TPageState &page = FQueue.EditPage();
        page.State = QStringLiteral("Connection ...");
        page.Author = FCurrentData.Journal;
        page.Title = FCurrentData.Title;
        page.ProgressVisible = true;
        FQueue.NotifyPage();
    }
    FFinished = false;
}

void TDownloadManagerThread::ResetPage()
{
    TDownloadQueue::TPageState &page = FQueue.EditPage();
    page.Progress = 0;
    page.State = QStringLiteral("Done");
    page.Author.clear();
    page.Title.clear();
}

void TDownloadManagerThread::FinishEntry()
{
    if (ID != 0) {
        // An entry deleted meanwhile is gone: its outcome is dropped.
        if (!FError) {
            if (FQueue.RowOf(ID) >= 0) {
                FQueue.SetEntryState(ID, TDownloadState::dsOk);
                FQueue.RemoveEntry(ID);
            }
            ID = 0;
            ++FProcessed;
        } else {
            FQueue.SetEntryState(ID, TDownloadState::dsError);
        }
    }
    ResetPage();
    FQueue.UpdateCount();
    FQueue.NotifyPage();
}

void TDownloadManagerThread::MarkStopped()
{
    if (ID != 0)
        FQueue.SetEntryState(ID, TDownloadState::dsError);
    ResetPage();
    FQueue.NotifyPage();
}

TDownloadManager::TDownloadManager(TDownloadQueue &queue, TdmMain &dm, TUserPrompts &prompts,
    const TProxyOptions *proxy, TWebSites sites, std::function<QString()> libraryFolder)
    : FQueue(queue)
    , FDm(dm)
    , FPrompts(prompts)
    , FProxy(proxy)
    , FSites(std::move(sites))
    , FLibraryFolder(std::move(libraryFolder))
{ }

TDownloadManager::~TDownloadManager() = default;

void TDownloadManager::Start(const QList<QNetworkCookie> &cookies)
{
    if (FQueue.Count() == 0 || Busy())
        return;
    FWorker.reset(); // a finished run's worker ends before the next one starts
    FWorker
        = std::make_unique<TDownloadManagerThread>(FQueue, FDm, FPrompts, FProxy, FSites, FLibraryFolder(), cookies);
    FWorker->FailurePause = FailurePause;
    FWorker->start();
}

void TDownloadManager::Stop()
{
    if (FWorker)
        FWorker->Stop();
}
