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

TIdSelection SelectIds(QList<int> ids)
{
    // A range reads every row of its span, and a looked-up ID costs about as much as 2 to 3 rows read: IDs at
    // most 2 apart are worth a range once there are enough of them to pay for its statement.
    constexpr int closeGap = 2;
    constexpr qsizetype minRun = 16;
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    TIdSelection selection;
    for (qsizetype first = 0; first < ids.size();) {
        qsizetype last = first;
        while (last + 1 < ids.size() && qint64(ids[last + 1]) - ids[last] <= closeGap)
            ++last;
        if (last - first + 1 >= minRun)
            selection.Runs.append({ids[first], ids[last]});
        else
            selection.Listed.append(ids.mid(first, last - first + 1));
        first = last + 1;
    }
    return selection;
}
