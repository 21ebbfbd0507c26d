#pragma once

#include "records/LibraryRecords.h"

#include <QString>

#include <functional>

// The quick search of a paper list (F3): every change of the text looks for the first paper whose title,
// journal title or author list holds it; "next" goes on after the last hit and wraps to the first one. The
// text is upper-cased by the locale's full rules, the papers' texts by ASCII rules only, so a letter outside
// ASCII matches only where the record already has it in upper case.
class TQuickSearch
{
public:
    // The row to select, or -1 for none. paper(row) gives the list's paper at a row, rows counts them.
    int Locate(const QString &text, bool next, int rows, const std::function<const TPaperRecord *(int row)> &paper);
    void Reset() { FFirstFound = FLastFound = -1; }

    static bool Matches(const TPaperRecord &paper, const QString &upperText);

private:
    int FFirstFound = -1;
    int FLastFound = -1;
};
