#include "StatementScript.h"

#include "shell/VarnelError.h"

#include <QFile>
#include <QStringDecoder>

QStringList SplitScriptText(const QString &text)
{
    QStringList statements;
    QString current;
    const auto flush = [&] {
        if (!current.isEmpty())
            statements << current;
        current.clear();
    };
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.startsWith(QLatin1String("--@@"))) {
            flush();
            continue;
        }
        const QStringView trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1String("/*")))
            continue;
        current += line + QStringLiteral("\r\n");
    }
    flush();
    return statements;
}

QStringList SplitScriptFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EVarnelError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    const QByteArray data = file.readAll();
    const auto encoding = QStringConverter::encodingForData(data);
    QStringDecoder decoder(encoding.value_or(QStringConverter::Utf8));
    return SplitScriptText(decoder.decode(data));
}

QStringList SplitScriptResource(const QString &name)
{
    QFile file(QStringLiteral(":/scripts/") + name);
    if (!file.open(QIODevice::ReadOnly))
        throw EVarnelError(QStringLiteral("Unknown built-in script ") + name);
    return SplitScriptText(QString::fromUtf8(file.readAll()));
}
