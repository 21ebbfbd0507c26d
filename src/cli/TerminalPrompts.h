#pragma once

#include "shell/UserPrompts.h"

#include <QTextStream>

// Prompts of the command-line tool. Messages go to the error stream; questions take the answer given on the
// command line (--yes or --no), or ask on the terminal when neither was given and input is a terminal;
// otherwise the answer is No. File and folder dialogs are never shown: commands take paths as arguments.
class TTerminalPrompts final : public TUserPrompts
{
public:
    enum class TAnswerPolicy { apAsk, apYes, apNo };

    TTerminalPrompts(QTextStream &err, QTextStream &in, TAnswerPolicy policy, bool interactive);
    void SetPolicy(TAnswerPolicy policy) { FPolicy = policy; }

    void ShowMessage(const QString &text, TMessageKind kind, const QString &caption) override;
    bool Ask(const QString &text, const QString &caption, TMessageKind kind) override;
    TPromptAnswer AskYesNoCancel(const QString &text, const QString &caption) override;
    QString InputText(const QString &caption, const QString &prompt, const QString &defaultText) override;
    QString OpenFileName(const QString &caption, const QString &initialFolder, const QString &filter) override;
    QStringList OpenFileNames(const QString &caption, const QString &initialFolder, const QString &filter) override;
    QString SaveFileName(
        const QString &caption, const QString &initialFolder, const QString &fileName, const QString &filter) override;
    QString SelectFolder(const QString &title, const QString &initialFolder) override;
    // The tool opens nothing: it names the address on stderr.
    bool OpenUrl(const QString &url) override;

private:
    QString ReadLine(const QString &question);

    QTextStream &FErr;
    QTextStream &FIn;
    TAnswerPolicy FPolicy;
    bool FInteractive;
};
