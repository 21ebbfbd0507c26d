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
