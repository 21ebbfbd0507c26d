#include "SqlText.h"

QString QuotedStr(const QString &text)
{
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("''"));
    return u'\'' + quoted + u'\'';
}

QString QuotedChar(QChar c)
{
    return QuotedStr(c.isNull() ? QString() : QString(c));
}

QString QuotedDate(const QDate &date)
{
    // A paper stored without a day keeps an empty date, which the engine takes as NULL.
    if (!date.isValid())
        return QStringLiteral("NULL");
    return u'\'' + date.toString(QStringLiteral("yyyy-MM-dd")) + u'\'';
}
