#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// Turns SIGINT and SIGTERM (Ctrl+C, the end of a desktop session) into a call on the main thread, so the
// program closes its window and saves its state as on a normal close. One per process.
class TTerminationBridge final : public QObject
{
    Q_OBJECT

public:
    explicit TTerminationBridge(std::function<void()> onTerminate, QObject *parent = nullptr);
    ~TTerminationBridge() override;

private:
    static void Handle(int signal);

    std::function<void()> FOnTerminate;
    QSocketNotifier *FNotifier = nullptr;
};
