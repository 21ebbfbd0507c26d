#include "TerminationBridge.h"

#include "library/Firebird.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int Pipe[2] = {-1, -1}; // written by the signal handler, read on the main thread

} // namespace

void TTerminationBridge::Handle(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(Pipe[0], &byte, 1); // the only thing safe to do here
}

TTerminationBridge::TTerminationBridge(std::function<void()> onTerminate, QObject *parent)
    : QObject(parent)
    , FOnTerminate(std::move(onTerminate))
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, Pipe) != 0)
        return; // the default action stays: the process ends
    FNotifier = new QSocketNotifier(Pipe[1], QSocketNotifier::Read, this);
    connect(FNotifier, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(Pipe[1], &byte, 1);
        if (FOnTerminate)
            FOnTerminate();
    });
    SetTerminationHandler(&TTerminationBridge::Handle);
}

TTerminationBridge::~TTerminationBridge()
{
    SetTerminationHandler(SIG_DFL);
    delete FNotifier;
    for (int &end : Pipe)
        if (end >= 0)
            ::close(std::exchange(end, -1));
}
