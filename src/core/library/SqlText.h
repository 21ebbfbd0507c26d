#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// Statements are built as text: texts as single-quoted literals with inner quotes doubled, integers in decimal,
// dates as quoted "yyyy-mm-dd".
QString QuotedStr(const QString &text);
QString QuotedChar(QChar c); // a one-character text, or '' for a null character
QString QuotedDate(const QDate &date);

// A set of IDs as IdConditions selects it. The engine parses a long IN list slowly (and takes at most 1,500
// values), so each run of close IDs, as papers stored together have, becomes one BETWEEN range, and the caller
// drops the rows a range brings in beyond the set. Scattered IDs go in IN lists of at most 500 values.
struct TIdSelection
{
    QList<std::pair<int, int>> Runs; // first and last ID of each range
    QList<int> Listed;
    qsizetype Count = 0; // distinct IDs of the set

    // The engine's work for the set in rows read: a range reads every ID of its span, and a listed ID costs
    // about as much as 25 rows (some 50 us against 2 us on Firebird 3).
    qint64 Cost() const;
};
TIdSelection SelectIds(QList<int> ids);

// Conditions on column that together select the rows of a set of IDs in few statements.
QStringList IdConditions(const QString &column, const TIdSelection &selection);
QStringList IdConditions(const QString &column, const QList<int> &ids);
