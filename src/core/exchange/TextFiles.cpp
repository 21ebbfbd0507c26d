#include "TextFiles.h"

#include "shell/VarnelError.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>

QString DecodeText(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        return decoder.decode(bytes.mid(2));
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder windows("windows-1252");
    return windows.isValid() ? QString(windows.decode(bytes)) : QString::fromLatin1(bytes);
}

QStringList SplitLines(const QString &text)
{
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(lineEnd);
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

QStringList ReadTextLines(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EVarnelError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    return SplitLines(DecodeText(file.readAll()));
}

void SaveTextFile(const QString &fileName, const QString &text)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EVarnelError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, file.errorString()));
    file.write("\xEF\xBB\xBF");
    file.write(text.toUtf8());
    if (!file.commit())
        throw EVarnelError(QStringLiteral("Cannot write file \"%1\". %2").arg(fileName, file.errorString()));
}
