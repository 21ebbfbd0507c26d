#include "VersionChecker.h"

#include "HttpSession.h"
#include "exchange/TextFiles.h"

#include <QCoreApplication>

TUpdateOutcome DecideUpdate(const QStringList &lines, const QString &oldVersion, bool hidden, TVersionInfo *info)
{
    if (!lines.isEmpty() && lines.front() > oldVersion) {
        if (lines.size() < 3)
            return TUpdateOutcome::uoNothing;
        *info = {lines[0], lines[1], lines[2]};
        return TUpdateOutcome::uoNewer;
    }
    return hidden ? TUpdateOutcome::uoNothing : TUpdateOutcome::uoLatest;
}

TVersionCheckerThread::TVersionCheckerThread(const TProxyOptions *proxy)
    : FProxy(proxy)
{
}

TVersionCheckerThread::~TVersionCheckerThread()
{
    // The check may be waiting for a main-thread step: run them until it has ended.
    while (!wait(10))
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
}

void TVersionCheckerThread::OnMainThread(const std::function<void()> &step)
{
    if (step)
        QMetaObject::invokeMethod(this, step, Qt::BlockingQueuedConnection);
}

void TVersionCheckerThread::run()
{
    OnMainThread([this] {
        if (OnStatus)
            OnStatus(QStringLiteral("Checking for updates ..."));
    });
    try {
        THttpSession http(FProxy);
        const QStringList lines = SplitLines(DecodeText(http.Get(QUrl(URl))));
        TVersionInfo info;
        switch (DecideUpdate(lines, OldVersion, Hidden, &info)) {
        case TUpdateOutcome::uoNewer:
            OnMainThread([this, &info] {
                if (OnNewVersion)
                    OnNewVersion(info);
            });
            break;
        case TUpdateOutcome::uoLatest:
            OnMainThread([this] {
                if (OnMessage)
                    OnMessage(QStringLiteral("You have the latest version of Varnel!"));
            });
            break;
        case TUpdateOutcome::uoNothing:
            break;
        }
    } catch (const EVarnelError &) {
        // A check that cannot reach its file says nothing, whoever started it.
    }
    OnMainThread([this] {
        if (OnStatus)
            OnStatus(QString());
    });
}
