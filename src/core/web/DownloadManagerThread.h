#pragma once

#include "DownloadQueue.h"
#include "WebSites.h"

#include <QMutex>
#include <QNetworkCookie>
#include <QThread>

#include <atomic>
#include <memory>

class TdmMain;
class TDownloader;
class TUserPrompts;
class TProxyOptions;

// The download worker: one run over the queue on a thread of its own. For each entry it finds the PDF address
// through its own web retriever when the entry has none, downloads it, removes the entry on success and marks it
// failed otherwise, pausing after a failure and asking once whether to ignore further errors. Every change to
// the list and the page is made on the main thread, which the worker waits for.
//
// Beyond a plain walk of the queue: an error raised by a step counts as a failed entry (the run goes on and
// the queue never stays busy with Stop disabled); the outcome of an entry deleted meanwhile is dropped; and
// destroying the worker cancels its run and aborts its transfer instead of waiting for the queue to drain.
class TDownloadManagerThread final : public QThread
{
    Q_OBJECT

public:
    TDownloadManagerThread(TDownloadQueue &queue, TdmMain &dm, TUserPrompts &prompts, const TProxyOptions *proxy,
        TWebSites sites, QString rootPath, QList<QNetworkCookie> cookies);
    ~TDownloadManagerThread() override;

    bool Busy() const { return !FCanceled && !FFinished; }
    int Processed() const { return FProcessed; }
    // Milliseconds of rest after a failed entry; 30 s unless a test sets less before the run.
    int FailurePause = 30000;

    // Main thread: ends the run after the current request; the current entry shows "Error" at once.
    void Stop();
    // Any thread: also aborts a running transfer.
    void TerminateNow();

protected:
    void run() override;

private:
    void Step(void (TDownloadManagerThread::*step)());
    void UpdateControls();
    void SelectNextEntry();
    void FinishEntry();
    void MarkStopped();
    void ResetPage();
    void Rest(int milliseconds);

    TDownloadQueue &FQueue;
    TdmMain &FDm;
    TUserPrompts &FPrompts;
    const TProxyOptions *FProxy;
    TWebSites FSites;
    QString FRootPath;
    QList<QNetworkCookie> FCookies;

    std::atomic<bool> FCanceled = false;
    std::atomic<bool> FFinished = false;
    bool FIgnoreErrors = false;
    bool FError = false;
    bool FControlState = true;
    std::atomic<int> FProcessed = 0;
    int ID = 0; // the current entry's paper ID, 0 for none
    TDownloadData FCurrentData; // a copy of the current entry, read by the worker
    QString FFoundPdfUrl;
    QMutex FDownloaderLock;
    TDownloader *FDownloader = nullptr;
};

// The download page's actions on the main thread: starting a run (a new worker when the last one is done) and
// stopping it. Destroying it ends a run that is still going.
class TDownloadManager
{
public:
    TDownloadManager(TDownloadQueue &queue, TdmMain &dm, TUserPrompts &prompts, const TProxyOptions *proxy,
        TWebSites sites, std::function<QString()> libraryFolder);
    ~TDownloadManager();

    // Nothing with an empty list or a run going; otherwise a new run, with these cookies of the caller's
    // retriever.
    void Start(const QList<QNetworkCookie> &cookies = {});
    void Stop();
    bool Busy() const { return FWorker && FWorker->Busy(); }
    TDownloadManagerThread *Worker() const { return FWorker.get(); }
    int FailurePause = 30000;

private:
    TDownloadQueue &FQueue;
    TdmMain &FDm;
    TUserPrompts &FPrompts;
    const TProxyOptions *FProxy;
    TWebSites FSites;
    std::function<QString()> FLibraryFolder;
    std::unique_ptr<TDownloadManagerThread> FWorker;
};
