#pragma once

#include "HttpClient.h"
#include "shell/VarnelError.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QNetworkCookie>
#include <QNetworkReply>
#include <QPointer>
#include <QUrl>

#include <functional>
#include <utility>

class QIODevice;
class TProxyOptions;

// A request that failed: the transport's error code, the last HTTP status (0 when none came) and a message.
class EHttpError : public EVarnelError
{
public:
    EHttpError(const QString &message, QNetworkReply::NetworkError error, int status)
        : EVarnelError(message)
        , FError(error)
        , FStatus(status)
    { }
    QNetworkReply::NetworkError Error() const { return FError; }
    int Status() const { return FStatus; }
    // A failure of the connection (refused, reset, timed out, host unknown) rather than an HTTP status.
    bool IsSocketError() const { return FStatus == 0; }

private:
    QNetworkReply::NetworkError FError;
    int FStatus;
};

using THttpHeaders = QList<std::pair<QByteArray, QByteArray>>;

// One long-lived HTTP conversation run synchronously on the caller's thread: request headers that stay set
// until set again, a cookie jar, redirects followed with each target recorded, gzip and deflate bodies
// decoded, and time-outs, so a silent server never hangs its caller. It must be used on the thread that made
// it; Abort may be called from any thread.
class THttpSession
{
public:
    // proxy: the [Proxy] settings, or null for a direct connection.
    explicit THttpSession(const TProxyOptions *proxy = nullptr);
    ~THttpSession();
    Q_DISABLE_COPY_MOVE(THttpSession)

    // A header sent with every later request; an empty value removes it.
    void SetHeader(const QByteArray &name, const QByteArray &value);
    QByteArray Header(const QByteArray &name) const;

    // GET or POST; the body of a successful answer, or EHttpError. extraHeaders go with this request only.
    // A body beyond MaxBodySize ends the request with an error.
    // Answers every request in place of the network when set (fuzzing and offline runs): the body of a
    // successful answer to the method, address and request body.
    std::function<QByteArray(const QByteArray &method, const QUrl &url, const QByteArray &body)> Responder;

    QByteArray Get(const QUrl &url, const THttpHeaders &extraHeaders = {});
    QByteArray Post(const QUrl &url, const QByteArray &body, const THttpHeaders &extraHeaders = {});
    // GET with the body written to sink as it arrives. Returns normally even when the request fails: the
    // failure is returned (nullptr on success) together with what reached the sink.
    std::unique_ptr<EHttpError> Download(const QUrl &url, QIODevice &sink);

    // Aborts the running request, from any thread; it then fails with OperationCanceledError.
    void Abort();

    int LastStatus() const { return FLastStatus; }
    const QByteArray &LastContentType() const { return FLastContentType; }
    // The last redirect target of the last request (empty when it was not redirected).
    const QString &LastRedirect() const { return FLastRedirect; }
    void ClearLastRedirect() { FLastRedirect.clear(); }

    QList<QNetworkCookie> Cookies() const;
    void AddCookies(const QList<QNetworkCookie> &cookies);

    // Transfer notifications: the announced size at the start (0 when none), bytes so far, the end.
    std::function<void(qint64 size)> OnBegin;
    std::function<void(qint64 received)> OnProgress;
    std::function<void()> OnEnd;

    void SetTimeout(int milliseconds) { FTimeout = milliseconds; }
    static constexpr qint64 MaxBodySize = 64 * 1024 * 1024;
    static constexpr int MaxRedirects = 20;

private:
    std::unique_ptr<EHttpError> Run(const QByteArray &method, const QUrl &url, const QByteArray &body,
        const THttpHeaders &extraHeaders, QIODevice *sink, QByteArray *received);
    QByteArray RunOrThrow(
        const QByteArray &method, const QUrl &url, const QByteArray &body, const THttpHeaders &extraHeaders);

    std::unique_ptr<THttpClient> FClient;
    class TCookieJar;
    TCookieJar *FJar; // owned by the client
    THttpHeaders FHeaders;
    int FTimeout = 30000;
    int FLastStatus = 0;
    QByteArray FLastContentType;
    QString FLastRedirect;
    QMutex FReplyLock;
    QPointer<QNetworkReply> FReply;
};
