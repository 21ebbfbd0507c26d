#pragma once

#include "wordlink/WordDocument.h"

#include <QStringList>

#include <optional>
#include <vector>

// A word-processor document in memory for the word-link tests: text made of characters and fields, a
// selection, a source list. A citation shows "[tag]" until the fields are updated, then its number in order of
// first citation, as a numbering word processor shows them; a locked field keeps its text.
class TMemoryDocument final : public TWordDocument
{
public:
    struct TField
    {
        int Type = 0;
        QString Code;
        QString Result;
        bool Locked = false;
    };

    explicit TMemoryDocument(const QString &text = QString());

    // The document as a reader sees it: the characters and every field's shown text.
    QString Text() const;
    // The same with each field written as "{code|shown}".
    QString Markup() const;
    // A field at the cursor (a field of another type, or a citation of a tag the library may not know).
    void AppendField(const TField &field);
    // The cursor placed after that many characters and fields.
    void SetCursor(int position);
    QStringList Sources;
    QByteArray LastRtf;

    int SourceCount() override;
    QString SourceXml(int index) override;
    void AddSource(const TCitationSource &source) override;
    int FieldCount() override;
    int FieldType(int index) override;
    QString FieldCode(int index) override;
    QString FieldResult(int index) override;
    void SetFieldLocked(int index, bool locked) override;
    void SelectField(int index) override;
    void UpdateFields() override;
    void InsertCitation(const QString &tag) override;
    void GoToStart() override;
    QString SelectionText() override;
    void DeleteSelection() override;
    void InsertAfterSelection(const QString &text) override;
    void PasteRtf(const QString &plainText, const QByteArray &rtf) override;
    void ReplaceAll(const QString &text, const QString &replacement) override;
    bool FindBracketed() override;

private:
    struct TPiece
    {
        QChar Char;
        std::optional<TField> Field;
    };

    TField &FieldAt(int index);
    int PieceOfField(int index) const;
    void Insert(int at, const QString &text);
    std::optional<std::pair<int, int>> BracketFrom(int from, int to) const;

    std::vector<TPiece> FPieces;
    int FStart = 0;
    int FEnd = 0;
};
