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

// Adds the group of that title (top level) and returns its ID; an existing group of the title is found.
inline int AddTestGroup(TdmMain &dm, const QString &title)
{
    dm.AddGroup(title, 0);
    TGroups groups;
    dm.GetGroups(groups);
    for (const auto &group : groups)
        if (group->Title == title)
            return group->ID;
    return 0;
}

// The titles of a group's papers in the group's order.
inline QStringList GroupPaperTitles(TdmMain &dm, int groupId)
{
    TPapers papers;
    dm.PreparePaperByGroup(groupId);
    dm.GetPapers(papers, true);
    QStringList titles;
    for (const auto &paper : papers)
        titles << paper->Title;
    return titles;
}
