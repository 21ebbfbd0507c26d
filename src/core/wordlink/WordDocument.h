#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

// The bibliography data of one cited paper, as the document keeps it beside its citations.
struct TCitationSource
{
    QString Tag; // the paper's file name: 32 hexadecimal digits
    QString Title;
    int Year = 0;
    QList<std::pair<QString, QString>> Authors; // last and first names, in list order
    QString Journal; // the container's abbreviation
    QString FirstPage;
    QString LastPage;
    QString Volume;
    QString Issue;
};

// The field type of a citation, as the word-link operations see it; every other field has another type.
constexpr int CitationFieldType = 96;

// The open document of a running word processor, as the word-link operations use it: its bibliography sources,
// its fields in document order, the selection (the user's cursor), search and replace, pasting formatted text
// and refreshing the fields. Indexes count from 1. Every member may raise EVarnelError with the word
// processor's reason (no document open, a protected document); what was done before stays.
class TWordDocument
{
public:
    virtual ~TWordDocument() = default;

    // --- sources: one per cited paper ---------------------------------------------------------------------------
    virtual int SourceCount() = 0;
    // The source's XML text; a paper's source contains its tag.
    virtual QString SourceXml(int index) = 0;
    virtual void AddSource(const TCitationSource &source) = 0;

    // --- fields, in document order -------------------------------------------------------------------------------
    virtual int FieldCount() = 0;
    virtual int FieldType(int index) = 0;
    // The code text: " CITATION " and the tag for a citation, then maybe more switches after a blank.
    virtual QString FieldCode(int index) = 0;
    // The text the field shows.
    virtual QString FieldResult(int index) = 0;
    virtual void SetFieldLocked(int index, bool locked) = 0;
    // Makes the field the selection.
    virtual void SelectField(int index) = 0;
    // Every field shows its text again; citations are numbered in order of first citation.
    virtual void UpdateFields() = 0;

    // --- the selection ------------------------------------------------------------------------------------------
    // A citation field of the tag in place of the selection; the cursor ends after it.
    virtual void InsertCitation(const QString &tag) = 0;
    // The cursor at the start of the document.
    virtual void GoToStart() = 0;
    virtual QString SelectionText() = 0;
    // Removes the selected text; a collapsed selection removes nothing.
    virtual void DeleteSelection() = 0;
    // Inserts the text after the selection, which then covers it too.
    virtual void InsertAfterSelection(const QString &text) = 0;
    // Formatted text in place of the selection (RTF, with the plain text for a word processor that wants it);
    // the cursor ends after it. The user's clipboard is not touched.
    virtual void PasteRtf(const QString &plainText, const QByteArray &rtf) = 0;

    // --- search -------------------------------------------------------------------------------------------------
    // Replaces every occurrence of the text in the document's own text (not in fields' results).
    virtual void ReplaceAll(const QString &text, const QString &replacement) = 0;
    // Selects the next "[...]" (an opening bracket, no closing one, a closing bracket) after the selection,
    // going on from the start of the document when there is none after it; false when there is none at all.
    // Text shown by fields is not searched.
    virtual bool FindBracketed() = 0;
};
