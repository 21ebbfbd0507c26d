#pragma once

#include <QString>

#include <stdexcept>

// The one exception type of the program: it carries the text the user is shown.
class EVarnelError : public std::runtime_error
{
public:
    explicit EVarnelError(const QString &message)
        : std::runtime_error(message.toStdString())
        , FMessage(message)
    {
    }

    const QString &Message() const noexcept { return FMessage; }

private:
    QString FMessage;
};
