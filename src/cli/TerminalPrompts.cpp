#include "TerminalPrompts.h"

TTerminalPrompts::TTerminalPrompts(QTextStream &err, QTextStream &in, TAnswerPolicy policy, bool interactive)
    : FErr(err)
    , FIn(in)
    , FPolicy(policy)
    , FInteractive(interactive)
{ }

void TTerminalPrompts::ShowMessage(const QString &text, TMessageKind kind, const QString &caption)
{
    QString prefix;
    if (kind == TMessageKind::mkError)
        prefix = QStringLiteral("error: ");
    else if (kind == TMessageKind::mkWarning)
        prefix = QStringLiteral("warning: ");
    if (!caption.isEmpty())
        prefix += caption + QStringLiteral(": ");
    QString body = text;
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    FErr << prefix << body << Qt::endl;
}

QString TTerminalPrompts::ReadLine(const QString &question)
{
    FErr << question << Qt::flush;
    return FIn.readLine().trimmed();
}

bool TTerminalPrompts::Ask(const QString &text, const QString &caption, TMessageKind)
{
    return AskYesNoCancel(text, caption) == TPromptAnswer::paYes;
}

TPromptAnswer TTerminalPrompts::AskYesNoCancel(const QString &text, const QString &caption)
{
    const QString question = (caption.isEmpty() ? QString() : caption + QStringLiteral(": ")) + text;
    if (FPolicy == TAnswerPolicy::apYes || FPolicy == TAnswerPolicy::apNo) {
        const bool yes = FPolicy == TAnswerPolicy::apYes;
        FErr << question << (yes ? QStringLiteral(" yes") : QStringLiteral(" no")) << Qt::endl;
        return yes ? TPromptAnswer::paYes : TPromptAnswer::paNo;
    }
    if (!FInteractive) {
        FErr << question << QStringLiteral(" no (give --yes to answer yes)") << Qt::endl;
        return TPromptAnswer::paNo;
    }
    const QString answer = ReadLine(question + QStringLiteral(" [y/N] ")).toLower();
    if (answer == QLatin1String("y") || answer == QLatin1String("yes"))
        return TPromptAnswer::paYes;
    if (answer == QLatin1String("c") || answer == QLatin1String("cancel"))
        return TPromptAnswer::paCancel;
    return TPromptAnswer::paNo;
}

QString TTerminalPrompts::InputText(const QString &caption, const QString &prompt, const QString &defaultText)
{
    if (!FInteractive || FPolicy != TAnswerPolicy::apAsk)
        return defaultText;
    const QString answer = ReadLine((caption.isEmpty() ? QString() : caption + QStringLiteral(": ")) + prompt
        + QStringLiteral(" [") + defaultText + QStringLiteral("] "));
    return answer.isEmpty() ? defaultText : answer;
}

QString TTerminalPrompts::OpenFileName(const QString &, const QString &, const QString &)
{
    return {};
}

QStringList TTerminalPrompts::OpenFileNames(const QString &, const QString &, const QString &)
{
    return {};
}

QString TTerminalPrompts::SaveFileName(const QString &, const QString &, const QString &, const QString &)
{
    return {};
}

bool TTerminalPrompts::OpenUrl(const QString &url)
{
    FErr << url << Qt::endl;
    return false;
}

QString TTerminalPrompts::SelectFolder(const QString &, const QString &)
{
    return {};
}
