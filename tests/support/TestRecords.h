#pragma once

#include "library/DataModule.h"
#include "records/LibraryRecords.h"

// An author record from two UTF-8 literals.
inline TAuthorRecord Author(const char *first, const char *last, int id = 0)
{
    return {id, QString::fromUtf8(first), QString::fromUtf8(last)};
}

// Stores a new journal (or publisher, conference) of that title; returns its ID.
inline int AddTestJournal(TdmMain &dm, const QString &title, QChar type = u'J')
{
    TJournalRecord journal;
    journal.ID = -1;
    journal.Title = title;
    journal.JType = type;
    dm.UpdateJournal(journal);
    return dm.GetJournalID(title);
}
