#pragma once

#include <QChar>
#include <QDate>
#include <QList>
#include <QString>

#include <memory>
#include <vector>

// The plain records in which library data travel between the data module, the views, the formatter and
// the importers. Every member starts zero-filled (0, empty, null), as a loading operation expects.

struct TJournalRecord
{
    int ID = 0; // -1 marks a record still to be inserted
    QString Title;
    QString Abbrv;
    QString City;
    QString URL;
    QString Impact;
    QString Comment;
    QChar JType; // journal type code; a NULL column reads as 'J'
    bool AllowChild = false; // view only
    quint8 Level = 0; // view only: 0 for a type root node, 1 for a journal
};

struct TAuthorRecord
{
    int ID = 0; // 0 for an author not yet stored
    QString First;
    QString Last;

    friend bool operator==(const TAuthorRecord &, const TAuthorRecord &) = default;
};

using TAuthorList = QList<TAuthorRecord>;

// Copies of a paper (tree nodes keep their own) share the journal record, which lives as long as any of them.
using PJournalRecord = std::shared_ptr<TJournalRecord>;

struct TPaperRecord
{
    int ID = 0;
    int JID = 0;
    PJournalRecord Journal;
    QChar PType;
    int Ord = 0; // position within a group; only filled for lists loaded in group order
    QString Title;
    QString SubTitle;
    int Year = 0;
    QString Volume;
    QString Issue;
    QString PS;
    QString PE;
    QString URL;
    QString DOI;
    QString Abst;
    QString Ref;
    TAuthorList AuthorList;
    QString Folder; // relative to the library folder, with a trailing delimiter
    QString FileName; // without extension
    QString Ext; // with its dot
    bool Local = false;
    QString Keywords;
    QDate Added;

    // The journal's title, or an empty text for a paper loaded without its journal.
    QString JournalTitle() const { return Journal ? Journal->Title : QString(); }
};

struct TGroupRecord
{
    int ID = 0;
    int Code = 0; // 0 top level; >= GroupFolderBase for a folder; folder number for a group inside one
    QString Title;
};

struct TTemplField
{
    int ID = 0;
    QChar TType; // publication type code this text formats
    QString Value;

    friend bool operator==(const TTemplField &, const TTemplField &) = default;
};

struct TTemplateRecord
{
    int ID = 0;
    int JID = 0;
    QString Title;
    QList<TTemplField> Fields;
    QString AuthDelimeter; // zero or one character
    QString NumFormat;
    int EtAlLimit = 0;
};

struct TStatRecord
{
    int Papers = 0;
    int Authors = 0;
    int Journals = 0;
};

enum class TModifyMode { mmNew, mmEdit };

// Non-owning pointers to records held by one of the lists below.
using PPaperRecord = TPaperRecord *;
using PGroupRecord = TGroupRecord *;
using PTemplate = TTemplateRecord *;

// Lists own their records, in the order the loading query returned them. A null entry is allowed and skipped.
using TPapers = std::vector<std::unique_ptr<TPaperRecord>>;
// Papers owned elsewhere (a list's rows), in an order that matters to the caller.
using TPaperRefs = std::vector<TPaperRecord *>;
inline TPaperRefs PaperRefs(const TPapers &papers)
{
    TPaperRefs refs;
    refs.reserve(papers.size());
    for (const auto &paper : papers)
        refs.push_back(paper.get());
    return refs;
}
using TJournals = std::vector<std::unique_ptr<TJournalRecord>>;
using TGroups = std::vector<std::unique_ptr<TGroupRecord>>;
using TTemplates = std::vector<std::unique_ptr<TTemplateRecord>>;

// Group folder codes: a folder has a code of at least GroupFolderBase; a group inside the folder carries the
// folder's code minus (GroupFolderBase - 1); group ID 1 is the favourites group.
inline constexpr int GroupFolderBase = 16777216;
// A folder's code minus this is the code of its groups; as a "Move to Folder" target it is the top level.
inline constexpr int GroupFolderOffset = GroupFolderBase - 1;
inline bool IsGroupFolder(const TGroupRecord &group)
{
    return group.Code >= GroupFolderBase;
}
inline constexpr int FavoritesGroupID = 1;
