#pragma once

#include <QChar>
#include <QLocale>
#include <QString>
#include <QStringList>

struct TPaperRecord;
struct TTemplateRecord;

// "Last First" of every author in stored order, joined by ", ".
QString AuthorsText(const TPaperRecord &paper);

// A size such as "1.5 KB (1,536 Bytes)" (showBytes) or "1.5 KB", with the locale's separators.
QString FormatSize(qint64 size, bool showBytes, const QLocale &locale = QLocale());

// The template text of a style for one publication type; the last matching field wins, none gives "".
QString GetTemplateText(QChar typeCode, const TTemplateRecord &style);

// At most two initials of a first name: "Ivan Peter" gives "I.P." with dots and "IP" without.
QString MakeInitials(const QString &firstName, bool withDots);

// Replaces every occurrence of searched by replacement. Text that a replacement and the text before it form
// together is matched again, as if searching restarted from the beginning; but a replacement is never searched
// inside itself, so a replacement that contains the searched text still ends.
QString ReplaceAll(const QString &searched, const QString &replacement, const QString &text);

// The text without leading and trailing blanks and control characters (every code point up to U+0020).
QString TrimBlanks(const QString &text);

// Every line followed by CR LF, the last one too.
QString LinesWithCRLF(const QStringList &lines);

int CompareInt(int a, int b);
// Upper case for the letters a to z only: any other letter stays as it is.
QString AsciiUpper(const QString &text);

// The text in double quotes, unless it is empty or already begins with one.
QString QuoteIfNeeded(const QString &text);

// The stored form of the proxy password: every UTF-16 code unit moved by 5.
QString ScramblePassword(const QString &text);
QString UnscramblePassword(const QString &text);
