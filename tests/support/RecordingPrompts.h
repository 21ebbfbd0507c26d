#pragma once

#include "shell/UserPrompts.h"

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>

// Prompts for tests: every text shown or asked is recorded, and answers come from queues the test fills
// beforehand. A question with no answer queued is answered No (or Cancel, or the default text, or no file),
// and still recorded, so a test sees questions it did not expect.
class TRecordingPrompts final : public TUserPrompts
{
public:
    struct TShown
    {
        enum class TKind { Message, Question, Input, FileDialog, FolderDialog } Kind;
        QString Caption;
        QString Text;
        TMessageKind MessageKind = TMessageKind::mkInformation;
    };

    QList<TShown> Shown;
    QQueue<TPromptAnswer> Answers;
    QQueue<QString> Inputs;
    QQueue<QStringList> FileNames; // for open, save and folder dialogs alike

    void SetNextAnswer(bool yes) { Answers.enqueue(yes ? TPromptAnswer::paYes : TPromptAnswer::paNo); }
    void SetNextInput(const QString &text) { Inputs.enqueue(text); }
    void SetNextFileName(const QString &fileName) { FileNames.enqueue(QStringList {fileName}); }

    // The texts of all shown messages, in order.
    QStringList Messages() const;

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
    // Records the address; the desktop is never asked.
    bool OpenUrl(const QString &url) override;
    QStringList Opened;

private:
    QStringList NextFiles(TShown::TKind kind, const QString &caption);
};
