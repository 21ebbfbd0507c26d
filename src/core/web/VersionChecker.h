#pragma once

#include <QString>
#include <QStringList>
#include <QThread>

#include <functional>

class TProxyOptions;

// What the update information file announces: its first three lines.
struct TVersionInfo
{
    QString Version;
    QString URL;
    QString Changes;
};

enum class TUpdateOutcome { uoNewer, uoLatest, uoNothing };

// The decision on the lines of an update information file. The versions compare as plain text, code unit by
// code unit: "1.10.0.1" is not newer than "1.3.0.171", while "1.4" is. A newer first line with fewer than three
// lines announces nothing; an empty file counts as no newer version; uoLatest is only told to a visible check.
TUpdateOutcome DecideUpdate(const QStringList &lines, const QString &oldVersion, bool hidden, TVersionInfo *info);

// Looks for a newer version on a thread of its own. The status text, the announcement and the message are
// handed to the main thread (the thread that made the checker), which the check waits for. Any network or HTTP
// failure ends the check silently.
class TVersionCheckerThread final : public QThread
{
    Q_OBJECT

public:
    explicit TVersionCheckerThread(const TProxyOptions *proxy = nullptr);
    ~TVersionCheckerThread() override;

    QString OldVersion;
    QString URl;
    bool Hidden = false;

    // Called on the main thread: the status bar text ("" clears it), the dialog of a newer version (returning
    // when it is closed), and the message of an up-to-date program.
    std::function<void(const QString &text)> OnStatus;
    std::function<void(const TVersionInfo &info)> OnNewVersion;
    std::function<void(const QString &text)> OnMessage;

protected:
    void run() override;

private:
    void OnMainThread(const std::function<void()> &step);

    const TProxyOptions *FProxy;
};
