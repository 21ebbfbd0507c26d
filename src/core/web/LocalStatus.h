#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <cstdint>

// A paper's new local-file state, sent from the download worker to the window that lists it.
struct TLocalStatusRecord
{
    std::int32_t ID = 0;
    bool IsLocal = false;
};

// The event carrying it: posted, so the receiver applies it on its own thread.
class TLocalStatusEvent final : public QEvent
{
public:
    explicit TLocalStatusEvent(TLocalStatusRecord record)
        : QEvent(EventType())
        , Record(record)
    { }
    static QEvent::Type EventType()
    {
        static const auto type = QEvent::Type(QEvent::registerEventType());
        return type;
    }
    const TLocalStatusRecord Record;
};

inline void PostLocalStatus(QObject *receiver, std::int32_t id, bool isLocal)
{
    if (receiver)
        QCoreApplication::postEvent(receiver, new TLocalStatusEvent({id, isLocal}));
}
