#include "SqlText.h"

#include <algorithm>

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

QStringList IdConditions(const QString &column, QList<int> ids)
{
    constexpr int closeGap = 64;
    constexpr qsizetype minRun = 16;
    constexpr qsizetype inListLength = 500;
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    QStringList conditions;
    QList<int> scattered;
    const auto flushScattered = [&] {
        QStringList values;
        for (int id : scattered)
            values << QString::number(id);
        conditions << column + QStringLiteral(" IN (") + values.join(u',') + u')';
        scattered.clear();
    };
    for (qsizetype first = 0; first < ids.size();) {
        qsizetype last = first;
        while (last + 1 < ids.size() && qint64(ids[last + 1]) - ids[last] <= closeGap)
            ++last;
        if (last - first + 1 >= minRun) {
            conditions << column + QStringLiteral(" BETWEEN %1 AND %2").arg(ids[first]).arg(ids[last]);
        } else {
            for (qsizetype i = first; i <= last; ++i) {
                scattered << ids[i];
                if (scattered.size() == inListLength)
                    flushScattered();
            }
        }
        first = last + 1;
    }
    if (!scattered.isEmpty())
        flushScattered();
    return conditions;
}
