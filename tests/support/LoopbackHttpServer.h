#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTcpServer>
#include <QUrl>

#include <functional>

// A small HTTP/1.1 server on 127.0.0.1 for tests: it parses each request, asks the handler for the answer and
// closes the connection. It runs on the test's event loop; every request is kept for inspection.
class TLoopbackHttpServer final : public QObject
{
    Q_OBJECT

public:
    struct TRequest
    {
        QByteArray Method;
        QByteArray Target; // as sent: a path, or an absolute address when the client talks to a proxy
        QHash<QByteArray, QByteArray> Headers; // names in lower case
        QByteArray Body;
    };

    struct TResponse
    {
        int Status = 200;
        QList<std::pair<QByteArray, QByteArray>> Headers;
        QByteArray Body;
        qint64 AnnouncedLength = -1; // a Content-Length other than the body's: the connection closes short
        bool Silent = false; // never answer: the client's time-out is tested
    };

    using THandler = std::function<TResponse(const TRequest &)>;

    explicit TLoopbackHttpServer(THandler handler, QObject *parent = nullptr);

    bool IsListening() const { return FServer.isListening(); }
    QUrl Url(const QString &path) const;
    quint16 Port() const { return FServer.serverPort(); }
    const QList<TRequest> &Requests() const { return FRequests; }

private:
    void Serve(QTcpSocket *socket);

    QTcpServer FServer;
    THandler FHandler;
    QList<TRequest> FRequests;
};
Q_DECLARE_METATYPE(TLoopbackHttpServer::TResponse)
