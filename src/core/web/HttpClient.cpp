#include "HttpClient.h"

#include "shell/Options.h"

#include <QNetworkCookieJar>
#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QNetworkRequest>

const QByteArray VarnelUserAgent
    = QByteArrayLiteral("Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0; MAAU)");

namespace {

// The desktop's own proxy settings (environment variables such as http_proxy on Linux), for one client only.
class TSystemProxyFactory final : public QNetworkProxyFactory
{
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery &query) override { return systemProxyForQuery(query); }
};

} // namespace

THttpClient::THttpClient(QObject *parent)
    : QNetworkAccessManager(parent)
{ }

QNetworkReply *THttpClient::createRequest(Operation op, const QNetworkRequest &request, QIODevice *outgoingData)
{
    if (FUserAgent.isEmpty() || request.hasRawHeader("User-Agent"))
        return QNetworkAccessManager::createRequest(op, request, outgoingData);
    QNetworkRequest stamped(request);
    stamped.setHeader(QNetworkRequest::UserAgentHeader, FUserAgent);
    return QNetworkAccessManager::createRequest(op, stamped, outgoingData);
}

void ConfigureHttpClient(THttpClient &client, const TProxyOptions &proxy)
{
    if (proxy.UseIESettings()) {
        client.setProxyFactory(new TSystemProxyFactory); // the client takes ownership
    } else if (proxy.Proxy().isEmpty()) {
        client.setProxy(QNetworkProxy(QNetworkProxy::NoProxy));
    } else {
        // Qt answers a proxy's Basic challenge with these credentials.
        client.setProxy(
            QNetworkProxy(QNetworkProxy::HttpProxy, proxy.Proxy(), quint16(proxy.Port()), proxy.User(), proxy.Pass()));
    }
    client.SetUserAgent(VarnelUserAgent);
    client.setCookieJar(new QNetworkCookieJar(&client));
    // Redirects are followed, except from https down to plain http.
    client.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}
