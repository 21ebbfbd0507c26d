#include "InstanceChannel.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>

#include <sys/socket.h>
#include <unistd.h>

namespace {

// A file name or a web address is far shorter: a longer message is no hand-over and is refused unread.
constexpr qsizetype MaxMessage = 64 * 1024;

// The user the peer runs as; only the user's own later starts may hand anything over.
bool FromThisUser(const QLocalSocket &socket)
{
    ucred peer {};
    socklen_t length = sizeof(peer);
    return getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0
        && peer.uid == getuid();
}

// A message: the tag and the text's UTF-8 bytes, each preceded by its length; the answer: one 32-bit number.
QByteArray Encode(const THandOver &handOver)
{
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out << quint32(handOver.Tag) << handOver.Text.toUtf8();
    return data;
}

} // namespace

TInstanceChannel::TInstanceChannel(QString name, QObject *parent)
    : QObject(parent)
    , FName(std::move(name))
{
    // No socket options: Qt would then create the socket elsewhere and rename it over the name, taking it from a
    // running instance. The folder is the user's own, so nobody else reaches the socket.
    connect(&FServer, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = FServer.nextPendingConnection())
            Serve(socket);
    });
}

QString TInstanceChannel::NameFor(const QString &executableFileName)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath() + QStringLiteral("/varnel-%1").arg(getuid());
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    return folder + u'/' + executableFileName + QStringLiteral(".%1.instance").arg(getuid());
}

bool TInstanceChannel::Listen()
{
    if (FServer.listen(FName))
        return true;
    // Someone holds the name: a running instance answers on it, a crashed one's socket file does not.
    QLocalSocket probe;
    probe.connectToServer(FName);
    if (probe.waitForConnected(2000))
        return false;
    QLocalServer::removeServer(FName);
    return FServer.listen(FName);
}

void TInstanceChannel::Serve(QLocalSocket *socket)
{
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    if (!FromThisUser(*socket)) {
        socket->abort();
        return;
    }
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer = QByteArray()]() mutable {
        buffer += socket->readAll();
        if (buffer.size() > MaxMessage) {
            buffer.clear();
            QByteArray refusal;
            QDataStream(&refusal, QIODevice::WriteOnly) << qint32(0);
            socket->write(refusal);
            socket->flush();
            socket->disconnectFromServer();
            return;
        }
        QDataStream in(buffer);
        in.startTransaction();
        quint32 tag = 0;
        QByteArray text;
        in >> tag >> text;
        if (!in.commitTransaction())
            return; // the rest is still to come
        buffer.clear();
        if (OnRaise)
            OnRaise();
        int answer = 0;
        if (tag == htUrl || tag == htFile) {
            answer = 1;
            if (OnHandOver)
                OnHandOver({tag, QString::fromUtf8(text)});
        }
        QByteArray reply;
        QDataStream(&reply, QIODevice::WriteOnly) << qint32(answer);
        socket->write(reply);
        socket->flush();
    });
}

std::optional<int> TInstanceChannel::Send(const QString &name, const THandOver &handOver, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(std::min(timeoutMs, 5000)))
        return std::nullopt;
    socket.write(Encode(handOver));
    if (!socket.waitForBytesWritten(timeoutMs))
        return std::nullopt;
    QByteArray answer;
    while (answer.size() < 4 && socket.waitForReadyRead(timeoutMs))
        answer += socket.readAll();
    if (answer.size() < 4)
        return std::nullopt;
    qint32 value = 0;
    QDataStream(answer) >> value;
    return value;
}
