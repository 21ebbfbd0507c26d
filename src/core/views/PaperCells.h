#pragma once

#include "records/LibraryRecords.h"

#include <QLocale>
#include <QString>

// Column tags of the paper lists.
enum TPaperColumn : int {
    pcMarker = 90,
    pcID = 91,
    pcAuthors = 92,
    pcTitle = 93,
    pcJournal = 94,
    pcVolume = 95,
    pcIssue = 96,
    pcPages = 97,
    pcYear = 98,
    pcNo = 99,
    pcAdded = 100,
};

// The text a paper list shows in the column of that tag (none for the marker column).
QString PaperCellText(const TPaperRecord &paper, int tag, const QLocale &locale = QLocale());

// The order of two papers by the column's sort key: numbers by value, texts ordinally with letter case, the
// date added by its short-date text (text order, not the calendar's). Negative, zero or positive.
int ComparePapers(const TPaperRecord &a, const TPaperRecord &b, int tag, const QLocale &locale = QLocale());

// The citation line of the paper info panel: for a journal article "Abbrv,  Vol. V[,  Issue I],  pp. P, (Y)"
// (the issue left out when empty or "0" once trimmed), for any other type "Journal (Y)".
QString CitationLine(QChar type, const QString &journal, const QString &abbrv, const QString &volume,
    const QString &issue, const QString &pages, const QString &year);
