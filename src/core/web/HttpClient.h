#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>

class TProxyOptions;

// The user-agent text every request of the program carries; some publisher sites answer nothing else.
extern const QByteArray VarnelUserAgent;

// The program's HTTP client: a network access manager that stamps its user-agent text on every request that
// does not name one itself.
class THttpClient : public QNetworkAccessManager
{
    Q_OBJECT

public:
    explicit THttpClient(QObject *parent = nullptr);

    const QByteArray &UserAgent() const { return FUserAgent; }
    void SetUserAgent(const QByteArray &userAgent) { FUserAgent = userAgent; }

protected:
    QNetworkReply *createRequest(Operation op, const QNetworkRequest &request, QIODevice *outgoingData) override;

private:
    QByteArray FUserAgent;
};

// Prepares a client before use: the proxy of the [Proxy] settings (or the system's proxy settings when
// UseIESettings is on), the user-agent text, a cookie jar and redirect following.
void ConfigureHttpClient(THttpClient &client, const TProxyOptions &proxy);
