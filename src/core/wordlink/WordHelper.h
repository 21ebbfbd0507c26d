#pragma once

#include "records/LibraryRecords.h"

#include <QString>

class TdmMain;
class TTemplater;
class TUserPrompts;
class TWordDocument;

// The word-processor link's operations on one open document: citations of library papers with their sources,
// the reference list of the cited papers in a style, citations turned into text and bracketed numbers back into
// citations, the cited papers collected into a group, the fields refreshed. A paper is identified in the
// document by its tag, its file name. One helper serves one action.
class TWordHelper
{
public:
    TWordHelper(TWordDocument &document, TdmMain &dm, TUserPrompts &prompts);

    // The formatter of the reference list; not owned.
    TTemplater *FTemplater = nullptr;

    // One citation per paper at the cursor, each paper's source added when the document has none; without
    // fastMode the fields are refreshed afterwards, so that they show their numbers.
    void AddCitations(const TPaperRefs &papers, bool fastMode);
    // The reference list of every cited paper, numbered in order of first citation, each paper once; a citation
    // whose paper is not in the library gives a "CITATION NOT FOUND" line at its place. Pasted at the cursor as
    // formatted text. Raises EVarnelError when no formatter is set or its style cannot format.
    void PrepareReferenses();
    // Every citation replaced by the text it shows; then "] [" becomes ", " throughout, so "[1] [2]" reads
    // "[1, 2]".
    void ConvertToText();
    // Every "[n]", "[n, m, ...]" or "[n-m]" of the text replaced by citations of the papers at those places
    // of the group. A bracket that is no number list or range, or names a place the group does not have, ends
    // the conversion with EVarnelError; the citations made before stay.
    void ConvertToObjects(int groupID);
    // Every cited paper appended to the group, in order of first citation; a citation whose paper is not in the
    // library is reported once per field.
    void ObjectsToGroup(int groupID);
    // The 1-based index of the first source whose XML contains the tag; 0 when none does.
    int FindCitation(const QString &tag);
    void UpdateReferences();

private:
    // The library's paper of that file name; none when the library has no such paper.
    std::unique_ptr<TPaperRecord> PaperOfTag(const QString &tag);
    std::unique_ptr<TPaperRecord> PaperAtPlace(int groupID, int place);

    TWordDocument &FDocument;
    TdmMain &FDm;
    TUserPrompts &FPrompts;
};
