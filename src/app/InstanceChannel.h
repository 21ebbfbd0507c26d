#pragma once

#include "shell/StartupArguments.h"

#include <QLocalServer>
#include <QObject>

#include <functional>
#include <optional>

// One running instance per user and executable name. The first start listens on a local socket named after the
// executable's file name in the user's runtime folder; a later start connects, asks it to come to the front,
// hands over its argument and waits for the answer (1 when the tag was one of the two, 0 otherwise), which the
// first instance gives only after it has handled the argument. A socket left behind by a crashed instance is
// noticed (nobody answers on it) and replaced.
class TInstanceChannel final : public QObject
{
    Q_OBJECT

public:
    explicit TInstanceChannel(QString name, QObject *parent = nullptr);

    // The socket's name for an executable: its file name and the user, in the user's runtime folder.
    static QString NameFor(const QString &executableFileName);

    // True when this process is now the first instance and listens; false when another one answers.
    bool Listen();

    // Sends "come to the front" and the hand-over; the receiver's answer, or nothing when no instance answered
    // within timeoutMs. Blocks the calling thread.
    static std::optional<int> Send(const QString &name, const THandOver &handOver, int timeoutMs = 60000);

    // Called on the receiving instance's thread for every later start; OnHandOver's result is the answer.
    std::function<void()> OnRaise;
    std::function<int(const THandOver &handOver)> OnHandOver;

private:
    void Serve(QLocalSocket *socket);

    QString FName;
    QLocalServer FServer;
};
