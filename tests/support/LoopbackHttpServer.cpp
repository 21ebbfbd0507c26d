#include "LoopbackHttpServer.h"

#include <QTcpSocket>

namespace {

const char *ReasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 403: return "Forbidden";
    case 405: return "Method Not Allowed";
    case 500: return "Internal Server Error";
    case 404: return "Not Found";
    case 407: return "Proxy Authentication Required";
    default: return "Status";
    }
}

// A whole request once its head and announced body have arrived; nothing while more is to come.
std::optional<TLoopbackHttpServer::TRequest> ParseRequest(const QByteArray &data)
{
    const qsizetype headEnd = data.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return std::nullopt;
    const QList<QByteArray> lines = data.left(headEnd).split('\n');
    TLoopbackHttpServer::TRequest request;
    const QList<QByteArray> first = lines.front().trimmed().split(' ');
    request.Method = first.value(0);
    request.Target = first.value(1);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            request.Headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
    }
    const qsizetype length = request.Headers.value("content-length", "0").toLongLong();
    if (data.size() < headEnd + 4 + length)
        return std::nullopt;
    request.Body = data.mid(headEnd + 4, length);
    return request;
}

} // namespace

TLoopbackHttpServer::TLoopbackHttpServer(THandler handler, QObject *parent)
    : QObject(parent)
    , FHandler(std::move(handler))
{
    connect(&FServer, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = FServer.nextPendingConnection())
            Serve(socket);
    });
    FServer.listen(QHostAddress::LocalHost, 0);
}

QUrl TLoopbackHttpServer::Url(const QString &path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(FServer.serverPort()).arg(path));
}

void TLoopbackHttpServer::Serve(QTcpSocket *socket)
{
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    // The buffer lives in the connection, as long as the socket.
    connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer = QByteArray()]() mutable {
        buffer += socket->readAll();
        const auto request = ParseRequest(buffer);
        if (!request)
            return;
        buffer.clear();
        FRequests.append(*request);
        const TResponse response = FHandler(*request);
        if (response.Silent)
            return;
        QByteArray out = "HTTP/1.1 " + QByteArray::number(response.Status) + ' ' + ReasonPhrase(response.Status) + "\r\n";
        for (const auto &[name, value] : response.Headers)
            out += name + ": " + value + "\r\n";
        const qint64 length = response.AnnouncedLength >= 0 ? response.AnnouncedLength : response.Body.size();
        out += "Content-Length: " + QByteArray::number(length) + "\r\nConnection: close\r\n\r\n" + response.Body;
        socket->write(out);
        socket->disconnectFromHost();
    });
}
