#include "QuickSearch.h"

#include "shell/TextUtils.h"

#include <QLocale>

bool TQuickSearch::Matches(const TPaperRecord &paper, const QString &upperText)
{
    return AsciiUpper(paper.Title).contains(upperText) || AsciiUpper(paper.JournalTitle()).contains(upperText)
        || AsciiUpper(AuthorsText(paper)).contains(upperText);
}

int TQuickSearch::Locate(
    const QString &text, bool next, int rows, const std::function<const TPaperRecord *(int row)> &paper)
{
    // A new text starts afresh: a hit of an earlier text is no hit of this one, so it is not returned to either.
    if (!next)
        Reset();
    const int start = next && FLastFound >= 0 ? FLastFound + 1 : 0;
    const QString upper = QLocale().toUpper(text);
    for (int row = start; row < rows; ++row) {
        const TPaperRecord *candidate = paper(row);
        if (!candidate || !Matches(*candidate, upper))
            continue;
        if (!next)
            FFirstFound = row;
        FLastFound = row;
        return row;
    }
    if (FFirstFound >= 0 && FFirstFound < rows) {
        FLastFound = FFirstFound;
        return FFirstFound;
    }
    return -1;
}
