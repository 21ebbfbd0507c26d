#include "LoopbackHttpServer.h"
#include "shell/Config.h"
#include "web/HttpClient.h"
#include "web/HttpSession.h"

#include <QDir>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

using TRequest = TLoopbackHttpServer::TRequest;
using TResponse = TLoopbackHttpServer::TResponse;

// Fetches an address and waits for the whole answer.
QByteArray Get(THttpClient &client, const QUrl &url, int *status = nullptr)
{
    std::unique_ptr<QNetworkReply> reply(client.get(QNetworkRequest(url)));
    QSignalSpy finished(reply.get(), &QNetworkReply::finished);
    if (!reply->isFinished() && !finished.wait(10000))
        return "<timeout>";
    if (status)
        *status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    return reply->readAll();
}

} // namespace

class TestHttpClient : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> FDir;
    std::unique_ptr<TConfig> FConfig;

private Q_SLOTS:
    void init()
    {
        FDir = std::make_unique<QTemporaryDir>();
        FConfig = std::make_unique<TConfig>(FDir->filePath(QStringLiteral("prog")), FDir->filePath(QStringLiteral("data")));
    }

    // A configured client sends the program's user agent, keeps cookies and follows redirects.
    void userAgentCookiesAndRedirects()
    {
        TLoopbackHttpServer server([](const TRequest &request) {
            if (request.Target == "/start")
                return TResponse{302, {{"Location", "/article"}, {"Set-Cookie", "session=42; Path=/"}}, {}};
            if (request.Target == "/article")
                return TResponse{200, {{"Content-Type", "text/html"}}, "cookie:" + request.Headers.value("cookie")};
            return TResponse{404, {}, {}};
        });
        QVERIFY(server.IsListening());
        THttpClient client;
        ConfigureHttpClient(client, FConfig->GetOptions<TProxyOptions>());
        QCOMPARE(client.proxy().type(), QNetworkProxy::NoProxy);

        int status = 0;
        QCOMPARE(Get(client, server.Url(QStringLiteral("/start")), &status), QByteArray("cookie:session=42"));
        QCOMPARE(status, 200);
        QCOMPARE(server.Requests().size(), 2);
        for (const TRequest &request : server.Requests())
            QCOMPARE(request.Headers.value("user-agent"), VarnelUserAgent);
    }

    // A redirect away from the web (a local file, another scheme) is refused as an error: nothing of the target
    // is read.
    void redirectsLeavingTheWeb_data()
    {
        QTest::addColumn<QByteArray>("target");
        QTest::newRow("local file") << QByteArray("file:///etc/passwd");
        QTest::newRow("ftp") << QByteArray("ftp://127.0.0.1/file.pdf");
        QTest::newRow("data") << QByteArray("data:text/plain,hello");
    }

    void redirectsLeavingTheWeb()
    {
        QFETCH(QByteArray, target);
        TLoopbackHttpServer server([&](const TRequest &) { return TResponse {302, {{"Location", target}}, {}}; });
        THttpSession session;
        try {
            const QByteArray body = session.Get(server.Url(QStringLiteral("/paper")));
            QFAIL(qPrintable(QStringLiteral("followed to %1: %2").arg(QString::fromLatin1(target), QString::fromLatin1(body.left(40)))));
        } catch (const EHttpError &error) {
            QCOMPARE(error.Error(), QNetworkReply::ProtocolUnknownError);
        }
        QCOMPARE(server.Requests().size(), 1);
    }

    // The [Proxy] settings route requests through the proxy, which is answered with the stored credentials;
    // the article's own host is never contacted.
    void proxyWithBasicAuthentication()
    {
        TLoopbackHttpServer proxy([](const TRequest &request) {
            if (!request.Headers.contains("proxy-authorization"))
                return TResponse{407, {{"Proxy-Authenticate", "Basic realm=\"lab\""}}, {}};
            return TResponse{200, {}, "via proxy " + request.Target + ' ' + request.Headers.value("proxy-authorization")};
        });
        QVERIFY(proxy.IsListening());
        auto &options = FConfig->GetOptions<TProxyOptions>();
        options.SetProxy(QStringLiteral("127.0.0.1"));
        options.SetPort(proxy.Port());
        options.SetUser(QStringLiteral("reader"));
        options.SetPass(QStringLiteral("s3cret"));

        THttpClient client;
        ConfigureHttpClient(client, options);
        QCOMPARE(client.proxy().user(), QStringLiteral("reader"));
        QCOMPARE(client.proxy().password(), QStringLiteral("s3cret"));
        QCOMPARE(Get(client, QUrl(QStringLiteral("http://journal.test/paper/1"))),
                 "via proxy http://journal.test/paper/1 Basic " + QByteArray("reader:s3cret").toBase64());
    }

    // With the system's settings chosen, the [Proxy] values are not applied.
    void systemProxySettingsLeaveTheStoredProxyAlone()
    {
        auto &options = FConfig->GetOptions<TProxyOptions>();
        options.SetProxy(QStringLiteral("127.0.0.1"));
        options.SetPort(9);
        options.SetUseIESettings(true);
        THttpClient client;
        ConfigureHttpClient(client, options);
        QVERIFY(client.proxyFactory() != nullptr);
        QVERIFY(client.proxy().hostName() != QStringLiteral("127.0.0.1"));
    }

    void requestsNamingTheirOwnAgentKeepIt()
    {
        TLoopbackHttpServer server([](const TRequest &request) { return TResponse{200, {}, request.Headers.value("user-agent")}; });
        THttpClient client;
        ConfigureHttpClient(client, FConfig->GetOptions<TProxyOptions>());
        QNetworkRequest request(server.Url(QStringLiteral("/")));
        request.setRawHeader("User-Agent", "Custom/1.0");
        std::unique_ptr<QNetworkReply> reply(client.get(request));
        QSignalSpy finished(reply.get(), &QNetworkReply::finished);
        QVERIFY(finished.wait(10000));
        QCOMPARE(reply->readAll(), QByteArray("Custom/1.0"));
    }
};

QTEST_GUILESS_MAIN(TestHttpClient)
#include "tst_httpclient.moc"
