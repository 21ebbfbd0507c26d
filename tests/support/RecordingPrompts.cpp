#include "RecordingPrompts.h"

QStringList TRecordingPrompts::Messages() const
{
    QStringList texts;
    for (const TShown &shown : Shown)
        if (shown.Kind == TShown::TKind::Message)
            texts << shown.Text;
    return texts;
}

void TRecordingPrompts::ShowMessage(const QString &text, TMessageKind kind, const QString &caption)
{
    Shown.append({TShown::TKind::Message, caption, text, kind});
}

bool TRecordingPrompts::Ask(const QString &text, const QString &caption, TMessageKind kind)
{
    Shown.append({TShown::TKind::Question, caption, text, kind});
    return !Answers.isEmpty() && Answers.dequeue() == TPromptAnswer::paYes;
}

TPromptAnswer TRecordingPrompts::AskYesNoCancel(const QString &text, const QString &caption)
{
    Shown.append({TShown::TKind::Question, caption, text});
    return Answers.isEmpty() ? TPromptAnswer::paCancel : Answers.dequeue();
}

QString TRecordingPrompts::InputText(const QString &caption, const QString &prompt, const QString &defaultText)
{
    Shown.append({TShown::TKind::Input, caption, prompt});
    return Inputs.isEmpty() ? defaultText : Inputs.dequeue();
}

QStringList TRecordingPrompts::NextFiles(TShown::TKind kind, const QString &caption)
{
    Shown.append({kind, caption, QString()});
    return FileNames.isEmpty() ? QStringList() : FileNames.dequeue();
}

QString TRecordingPrompts::OpenFileName(const QString &caption, const QString &, const QString &)
{
    return NextFiles(TShown::TKind::FileDialog, caption).value(0);
}

QStringList TRecordingPrompts::OpenFileNames(const QString &caption, const QString &, const QString &)
{
    return NextFiles(TShown::TKind::FileDialog, caption);
}

QString TRecordingPrompts::SaveFileName(const QString &caption, const QString &, const QString &, const QString &)
{
    return NextFiles(TShown::TKind::FileDialog, caption).value(0);
}

bool TRecordingPrompts::OpenUrl(const QString &url)
{
    Opened << url;
    return true;
}

QString TRecordingPrompts::SelectFolder(const QString &title, const QString &)
{
    return NextFiles(TShown::TKind::FolderDialog, title).value(0);
}
