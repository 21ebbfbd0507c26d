#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

// Statements are built as text: texts as single-quoted literals with inner quotes doubled, integers in decimal,
// dates as quoted "yyyy-mm-dd".
QString QuotedStr(const QString &text);
QString QuotedChar(QChar c); // a one-character text, or '' for a null character
QString QuotedDate(const QDate &date);

// Conditions on column that together select the rows of a set of IDs in few statements. The engine parses a
// long IN list slowly (and takes at most 1,500 values), so each run of close IDs, as papers stored together
// have, becomes one BETWEEN range, and the caller drops the rows a range brings in beyond the set. Scattered
// IDs go in IN lists of at most 500 values.
QStringList IdConditions(const QString &column, QList<int> ids);
