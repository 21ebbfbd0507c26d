#pragma once

#include <QDate>
#include <QString>

// Statements are built as text: texts as single-quoted literals with inner quotes doubled, integers in decimal,
// dates as quoted "yyyy-mm-dd".
QString QuotedStr(const QString &text);
QString QuotedChar(QChar c); // a one-character text, or '' for a null character
QString QuotedDate(const QDate &date);
