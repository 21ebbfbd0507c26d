#pragma once

#include "shell/UserPrompts.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

// The desktop program's prompts: Qt message boxes and dialogs over the main window. A worker thread's message
// or question is shown on the main thread, and the worker waits for the answer.
class TGuiPrompts final : public QObject, public TUserPrompts
{
    Q_OBJECT

public:
    explicit TGuiPrompts(QObject *parent = nullptr);
    void SetParentWindow(QWidget *window) { FWindow = window; }

    void ShowMessage(const QString &text, TMessageKind kind = TMessageKind::mkInformation,
        const QString &caption = QString()) override;
    bool Ask(const QString &text, const QString &caption = QString(),
        TMessageKind kind = TMessageKind::mkInformation) override;
    TPromptAnswer AskYesNoCancel(const QString &text, const QString &caption = QString()) override;
    QString InputText(const QString &caption, const QString &prompt, const QString &defaultText) override;
    QString OpenFileName(const QString &caption, const QString &initialFolder, const QString &filter) override;
    QStringList OpenFileNames(const QString &caption, const QString &initialFolder, const QString &filter) override;
    QString SaveFileName(
        const QString &caption, const QString &initialFolder, const QString &fileName, const QString &filter) override;
    QString SelectFolder(const QString &title, const QString &initialFolder) override;
    bool OpenUrl(const QString &url) override;

private:
    template <class TResult> TResult OnMainThread(const std::function<TResult()> &step);

    QPointer<QWidget> FWindow;
};
