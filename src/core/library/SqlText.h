#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <utility>

// Statements are built as text: texts as single-quoted literals with inner quotes doubled, integers in decimal,
// dates as quoted "yyyy-mm-dd".
QString QuotedStr(const QString &text);
QString QuotedChar(QChar c); // a one-character text, or '' for a null character
QString QuotedDate(const QDate &date);

// A set of IDs split for reading: each run of close IDs, as papers stored together have, is read as one BETWEEN
// range (the reader drops the rows a range brings in beyond the set); the others are looked up one by one.
struct TIdSelection
{
    QList<std::pair<int, int>> Runs; // first and last ID of each range
    QList<int> Listed;
};
TIdSelection SelectIds(QList<int> ids);
