#pragma once

#include "HttpSession.h"
#include "records/DownloadData.h"

#include <QDateTime>
#include <QLocale>
#include <QPointer>

#include <atomic>
#include <functional>

class TdmMain;
class TUserPrompts;
class TProxyOptions;

// Downloads the full-text file of one queued paper into its place in the library, reports progress and
// speed, refuses an HTML page, and on success marks the paper local in the library and tells the window that
// lists it (a TLocalStatusEvent to LocalStatusReceiver). The file is written beside its place and renamed only
// when complete: a failed or refused download never replaces a good file nor leaves half a file.
class TDownloader
{
public:
    TDownloader(TdmMain &dm, TUserPrompts &prompts, const TProxyOptions *proxy = nullptr);

    QString Root; // the library folder, with a trailing delimiter
    bool IgnoreErrors = false;
    QPointer<QObject> LocalStatusReceiver;
    // Current: percent (1 at the start, 100 at the end); Total: always -1.
    std::function<void(int current, int total)> OnProgress;
    // Current: the status text; Total: always empty.
    std::function<void(const QString &current, const QString &total)> OnSetComment;

    void SetCookies(const QList<QNetworkCookie> &cookies) { FHttp.AddCookies(cookies); }
    void SetClock(std::function<QDateTime()> clock) { FClock = std::move(clock); }
    THttpSession &Http() { return FHttp; }

    // True when the entry's PdfUrl was saved as its file. File, folder and database failures raise.
    bool Download(const TDownloadData &data);
    // Aborts a running transfer, from any thread.
    void Stop();

    static QString ErrorText(const EHttpError &error);

private:
    bool Fetch(const QString &url);
    void ReportError(const QString &text);

    TdmMain &FDm;
    TUserPrompts &FPrompts;
    THttpSession FHttp;
    std::function<QDateTime()> FClock;
    QLocale FLocale;
    QString FFile;
    qint64 FDownloadSize = 0;
    QDateTime FStartDate;
    std::atomic<bool> FStopped = false;
};
