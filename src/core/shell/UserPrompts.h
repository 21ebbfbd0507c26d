#pragma once

#include <QString>
#include <QStringList>

enum class TMessageKind { mkInformation, mkWarning, mkError };
enum class TPromptAnswer { paYes, paNo, paCancel };

// Every message box, question, input box and file or folder dialog that a core operation needs goes through
// this interface: the desktop program shows Qt dialogs, the command-line tool uses the terminal, and tests
// script the answers and check the exact texts shown.
class TUserPrompts
{
public:
    virtual ~TUserPrompts() = default;

    virtual void ShowMessage(
        const QString &text, TMessageKind kind = TMessageKind::mkInformation, const QString &caption = QString())
        = 0;
    // A Yes/No question; true for Yes.
    virtual bool Ask(
        const QString &text, const QString &caption = QString(), TMessageKind kind = TMessageKind::mkInformation)
        = 0;
    // A Yes/No/Cancel question.
    virtual TPromptAnswer AskYesNoCancel(const QString &text, const QString &caption = QString()) = 0;
    // A one-line input box; it returns the default text when cancelled.
    virtual QString InputText(const QString &caption, const QString &prompt, const QString &defaultText) = 0;
    // File and folder dialogs return an empty text (or list) when cancelled.
    virtual QString OpenFileName(const QString &caption, const QString &initialFolder, const QString &filter) = 0;
    virtual QStringList OpenFileNames(const QString &caption, const QString &initialFolder, const QString &filter) = 0;
    virtual QString SaveFileName(
        const QString &caption, const QString &initialFolder, const QString &fileName, const QString &filter)
        = 0;
    virtual QString SelectFolder(const QString &title, const QString &initialFolder) = 0;
    // Hands an address (a web page, a local help page) to the desktop's program for it; false when none took it.
    virtual bool OpenUrl(const QString &url) = 0;
};
