#include "styles/TemplateExtra.h"

#include "records/LibraryRecords.h"
#include "shell/VarnelError.h"

#include <QStringList>

QString TemplateExtraText(const TTemplateRecord &style)
{
    return style.AuthDelimeter + QStringLiteral("\r\n") + QString::number(style.EtAlLimit) + QStringLiteral("\r\n")
        + style.NumFormat;
}

void ReadTemplateExtra(const QString &text, TTemplateRecord &style)
{
    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    QStringList lines = normalized.split(u'\n');
    // A final line break ends the last line rather than starting another.
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    if (lines.size() != 3) {
        style.AuthDelimeter = QStringLiteral(",");
        style.EtAlLimit = 6;
        style.NumFormat = QStringLiteral("[%d]");
        return;
    }
    style.AuthDelimeter = lines[0].left(1);
    bool ok = false;
    style.EtAlLimit = lines[1].trimmed().toInt(&ok, 10);
    if (!ok)
        throw EVarnelError(QStringLiteral("'%1' is not a valid integer value").arg(lines[1]));
    style.NumFormat = lines[2];
}
