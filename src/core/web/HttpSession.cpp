#include "HttpSession.h"

#include "shell/Options.h"

#include <QEventLoop>
#include <QIODevice>
#include <QMutexLocker>
#include <QNetworkCookieJar>
#include <QNetworkRequest>

// The jar's whole content, readable and writable from outside, so cookies can pass between sessions.
class THttpSession::TCookieJar final : public QNetworkCookieJar
{
public:
    using QNetworkCookieJar::QNetworkCookieJar;
    QList<QNetworkCookie> Cookies() const { return allCookies(); }
    void Add(const QList<QNetworkCookie> &cookies)
    {
        for (const QNetworkCookie &cookie : cookies)
            insertCookie(cookie);
    }
};

THttpSession::THttpSession(const TProxyOptions *proxy)
    : FClient(std::make_unique<THttpClient>())
{
    if (proxy) {
        ConfigureHttpClient(*FClient, *proxy);
        // The network layer knows one time-out: how long a request may go without any progress. Connecting
        // and reading both fall under it, so it is the longer of the two settings.
        const int timeout = std::max(proxy->TimeOut(), proxy->ReadTimeOut());
        if (timeout > 0)
            FTimeout = timeout;
    } else
        FClient->SetUserAgent(VarnelUserAgent);
    FJar = new TCookieJar(FClient.get());
    FClient->setCookieJar(FJar);
}

THttpSession::~THttpSession() = default;

void THttpSession::SetHeader(const QByteArray &name, const QByteArray &value)
{
    FHeaders.removeIf([&name](const auto &header) { return header.first.compare(name, Qt::CaseInsensitive) == 0; });
    if (!value.isEmpty())
        FHeaders.append({name, value});
}

QByteArray THttpSession::Header(const QByteArray &name) const
{
    for (const auto &[key, value] : FHeaders)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

QList<QNetworkCookie> THttpSession::Cookies() const
{
    return FJar->Cookies();
}

void THttpSession::AddCookies(const QList<QNetworkCookie> &cookies)
{
    FJar->Add(cookies);
}

QByteArray THttpSession::Get(const QUrl &url, const THttpHeaders &extraHeaders)
{
    return RunOrThrow("GET", url, {}, extraHeaders);
}

QByteArray THttpSession::Post(const QUrl &url, const QByteArray &body, const THttpHeaders &extraHeaders)
{
    return RunOrThrow("POST", url, body, extraHeaders);
}

std::unique_ptr<EHttpError> THttpSession::Download(const QUrl &url, QIODevice &sink)
{
    return Run("GET", url, {}, {}, &sink, nullptr);
}

QByteArray THttpSession::RunOrThrow(
    const QByteArray &method, const QUrl &url, const QByteArray &body, const THttpHeaders &extraHeaders)
{
    QByteArray received;
    if (std::unique_ptr<EHttpError> error = Run(method, url, body, extraHeaders, nullptr, &received))
        throw EHttpError(*error);
    return received;
}

void THttpSession::Abort()
{
    QMutexLocker lock(&FReplyLock);
    if (QNetworkReply *reply = FReply.data())
        QMetaObject::invokeMethod(reply, &QNetworkReply::abort, Qt::QueuedConnection);
}

std::unique_ptr<EHttpError> THttpSession::Run(const QByteArray &method, const QUrl &url, const QByteArray &body,
    const THttpHeaders &extraHeaders, QIODevice *sink, QByteArray *received)
{
    FLastStatus = 0;
    FLastContentType.clear();
    FLastRedirect.clear();
    if (!url.isValid() || (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")))
        return std::make_unique<EHttpError>(
            QStringLiteral("\"%1\" is not a web address").arg(url.toString()), QNetworkReply::ProtocolUnknownError, 0);
    if (Responder) {
        const QByteArray answer = Responder(method, url, body);
        FLastStatus = 200;
        if (sink)
            sink->write(answer);
        else
            *received = answer;
        return nullptr;
    }
    QNetworkRequest request(url);
    for (const auto &[name, value] : FHeaders)
        request.setRawHeader(name, value);
    for (const auto &[name, value] : extraHeaders)
        request.setRawHeader(name, value);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(MaxRedirects + 1);
    request.setTransferTimeout(FTimeout);
    QNetworkReply *reply = method == "POST" ? FClient->post(request, body) : FClient->get(request);
    std::unique_ptr<QNetworkReply> owner(reply);
    {
        QMutexLocker lock(&FReplyLock);
        FReply = reply;
    }

    QString failure;
    bool begun = false;
    qint64 total = 0;
    QEventLoop loop;
    int redirects = 0;
    QObject::connect(reply, &QNetworkReply::redirected, reply, [&, reply](const QUrl &target) {
        FLastRedirect = target.toString();
        if (++redirects > MaxRedirects) {
            failure = QStringLiteral("Too many redirects from %1").arg(url.toString());
            reply->abort();
            return;
        }
        Q_EMIT reply->redirectAllowed();
    });
    const auto begin = [&] {
        if (begun || reply->attribute(QNetworkRequest::RedirectionTargetAttribute).isValid())
            return;
        begun = true;
        if (OnBegin)
            OnBegin(reply->header(QNetworkRequest::ContentLengthHeader).toLongLong());
    };
    // Read through one buffer: a large body costs no allocation per chunk.
    std::vector<char> buffer(256 * 1024);
    const auto take = [&]() -> bool {
        for (;;) {
            const qint64 length = reply->read(buffer.data(), qint64(buffer.size()));
            if (length <= 0)
                return true;
            total += length;
            if (sink) {
                if (sink->write(buffer.data(), length) != length) {
                    failure = QStringLiteral("Cannot write the file: %1").arg(sink->errorString());
                    return false;
                }
            } else if (total > MaxBodySize) {
                failure
                    = QStringLiteral("The answer of %1 is larger than %2 MB").arg(url.host()).arg(MaxBodySize >> 20);
                return false;
            } else {
                received->append(buffer.data(), length);
            }
        }
    };
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [&] {
        begin();
        if (!take()) {
            reply->abort();
            return;
        }
        if (OnProgress)
            OnProgress(total);
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    {
        QMutexLocker lock(&FReplyLock);
        FReply = nullptr;
    }

    FLastStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    FLastContentType = reply->rawHeader("Content-Type");
    if (failure.isEmpty() && reply->isOpen()) {
        begin();
        take();
    }
    if (OnEnd && begun)
        OnEnd();
    // A connection closed before the announced length is a failed transfer, however the transport reports it:
    // half a file must never pass for the file.
    bool lengthKnown = false;
    const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&lengthKnown);
    if (failure.isEmpty() && reply->error() == QNetworkReply::NoError && lengthKnown && total < announced
        && reply->rawHeader("Content-Encoding").isEmpty())
        return std::make_unique<EHttpError>(
            QStringLiteral("The connection to %1 closed before the answer was complete").arg(url.host()),
            QNetworkReply::RemoteHostClosedError, 0);
    if (!failure.isEmpty())
        return std::make_unique<EHttpError>(failure, QNetworkReply::UnknownContentError, FLastStatus);
    if (reply->error() == QNetworkReply::NoError && FLastStatus >= 200 && FLastStatus < 300)
        return nullptr;
    if (reply->error() == QNetworkReply::NoError)
        return std::make_unique<EHttpError>(
            QStringLiteral("%1 ended without an answer (HTTP status %2)").arg(url.host()).arg(FLastStatus),
            QNetworkReply::ProtocolFailure, FLastStatus >= 400 ? FLastStatus : 0);
    // An HTTP status is told as the status line would read; anything else by the transport's own text.
    const QString message = FLastStatus >= 400
        ? QStringLiteral("HTTP/1.1 %1 %2")
              .arg(FLastStatus)
              .arg(QString::fromLatin1(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray()))
              .trimmed()
        : reply->errorString();
    return std::make_unique<EHttpError>(message, reply->error(), FLastStatus >= 400 ? FLastStatus : 0);
}
