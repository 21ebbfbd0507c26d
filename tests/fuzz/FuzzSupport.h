#pragma once

#include "shell/UserPrompts.h"

#include <QCoreApplication>
#include <QString>

#include <cstddef>
#include <cstdint>

// What every fuzz target shares: one application object for Qt's text codecs and timers, prompts that answer
// nothing, and the input as bytes or as text.
namespace Fuzz {

inline void StartApplication()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
}

inline QByteArray Bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

inline QString Text(const uint8_t *data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
}

// Every question answered No, every input box and dialog cancelled, nothing shown.
class TSilentPrompts final : public TUserPrompts
{
public:
    void ShowMessage(const QString &, TMessageKind, const QString &) override { }
    bool Ask(const QString &, const QString &, TMessageKind) override { return false; }
    TPromptAnswer AskYesNoCancel(const QString &, const QString &) override { return TPromptAnswer::paCancel; }
    QString InputText(const QString &, const QString &, const QString &defaultText) override { return defaultText; }
    QString OpenFileName(const QString &, const QString &, const QString &) override { return {}; }
    QStringList OpenFileNames(const QString &, const QString &, const QString &) override { return {}; }
    QString SaveFileName(const QString &, const QString &, const QString &, const QString &) override { return {}; }
    QString SelectFolder(const QString &, const QString &) override { return {}; }
    bool OpenUrl(const QString &) override { return false; }
};

} // namespace Fuzz
