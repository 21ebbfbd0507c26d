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

qint64 TIdSelection::Cost() const
{
    constexpr qint64 listedCost = 25;
    qint64 cost = listedCost * Listed.size();
    for (const auto &[first, last] : Runs)
        cost += qint64(last) - first + 1;
    return cost;
}

TIdSelection SelectIds(QList<int> ids)
{
    constexpr int closeGap = 64;
    constexpr qsizetype minRun = 16;
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    TIdSelection selection;
    selection.Count = ids.size();
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

QStringList IdConditions(const QString &column, const TIdSelection &selection)
{
    constexpr qsizetype inListLength = 500;
    QStringList conditions;
    for (const auto &[first, last] : selection.Runs)
        conditions << column + QStringLiteral(" BETWEEN %1 AND %2").arg(first).arg(last);
    for (qsizetype from = 0; from < selection.Listed.size(); from += inListLength) {
        QStringList values;
        for (int id : selection.Listed.mid(from, inListLength))
            values << QString::number(id);
        conditions << column + QStringLiteral(" IN (") + values.join(u',') + u')';
    }
    return conditions;
}

QStringList IdConditions(const QString &column, const QList<int> &ids)
{
    return IdConditions(column, SelectIds(ids));
}
