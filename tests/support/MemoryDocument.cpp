#include "MemoryDocument.h"

#include "shell/VarnelError.h"
#include "wordlink/CitationSource.h"

#include <QHash>

TMemoryDocument::TMemoryDocument(const QString &text)
{
    Insert(0, text);
    FStart = FEnd = int(FPieces.size());
}

QString TMemoryDocument::Text() const
{
    QString text;
    for (const TPiece &piece : FPieces)
        text += piece.Field ? piece.Field->Result : QString(piece.Char);
    return text;
}

QString TMemoryDocument::Markup() const
{
    QString text;
    for (const TPiece &piece : FPieces)
        text += piece.Field ? u'{' + piece.Field->Code + u'|' + piece.Field->Result + u'}' : QString(piece.Char);
    return text;
}

void TMemoryDocument::AppendField(const TField &field)
{
    FPieces.insert(FPieces.begin() + FEnd, TPiece {QChar(), field});
    FStart = FEnd = FEnd + 1;
}

void TMemoryDocument::SetCursor(int position)
{
    FStart = FEnd = position;
}

void TMemoryDocument::Insert(int at, const QString &text)
{
    std::vector<TPiece> pieces;
    for (QChar c : text)
        pieces.push_back({c, std::nullopt});
    FPieces.insert(FPieces.begin() + at, pieces.begin(), pieces.end());
}

int TMemoryDocument::SourceCount()
{
    return int(Sources.size());
}

QString TMemoryDocument::SourceXml(int index)
{
    if (index < 1 || index > Sources.size())
        throw EVarnelError(QStringLiteral("There is no source %1.").arg(index));
    return Sources[index - 1];
}

void TMemoryDocument::AddSource(const TCitationSource &source)
{
    Sources << CitationSourceXml(source);
}

int TMemoryDocument::PieceOfField(int index) const
{
    int seen = 0;
    for (std::size_t i = 0; i < FPieces.size(); ++i)
        if (FPieces[i].Field && ++seen == index)
            return int(i);
    throw EVarnelError(QStringLiteral("There is no field %1.").arg(index));
}

TMemoryDocument::TField &TMemoryDocument::FieldAt(int index)
{
    return *FPieces[std::size_t(PieceOfField(index))].Field;
}

int TMemoryDocument::FieldCount()
{
    return int(
        std::count_if(FPieces.begin(), FPieces.end(), [](const TPiece &piece) { return piece.Field.has_value(); }));
}

int TMemoryDocument::FieldType(int index)
{
    return FieldAt(index).Type;
}

QString TMemoryDocument::FieldCode(int index)
{
    return FieldAt(index).Code;
}

QString TMemoryDocument::FieldResult(int index)
{
    return FieldAt(index).Result;
}

void TMemoryDocument::SetFieldLocked(int index, bool locked)
{
    FieldAt(index).Locked = locked;
}

void TMemoryDocument::SelectField(int index)
{
    FStart = PieceOfField(index);
    FEnd = FStart + 1;
}

void TMemoryDocument::UpdateFields()
{
    QHash<QString, int> numbers;
    for (TPiece &piece : FPieces) {
        if (!piece.Field || piece.Field->Type != CitationFieldType || piece.Field->Locked)
            continue;
        const QString tag = CitationTag(piece.Field->Code);
        if (!numbers.contains(tag))
            numbers.insert(tag, int(numbers.size()) + 1);
        piece.Field->Result = QStringLiteral("[%1]").arg(numbers.value(tag));
    }
}

void TMemoryDocument::InsertCitation(const QString &tag)
{
    FPieces.erase(FPieces.begin() + FStart, FPieces.begin() + FEnd);
    FPieces.insert(FPieces.begin() + FStart,
        TPiece {
            QChar(), TField {CitationFieldType, QStringLiteral(" CITATION %1 \\l 1033 ").arg(tag), u'[' + tag + u']'}});
    FStart = FEnd = FStart + 1;
}

void TMemoryDocument::GoToStart()
{
    FStart = FEnd = 0;
}

QString TMemoryDocument::SelectionText()
{
    QString text;
    for (int i = FStart; i < FEnd; ++i)
        text += FPieces[std::size_t(i)].Field ? FPieces[std::size_t(i)].Field->Result
                                              : QString(FPieces[std::size_t(i)].Char);
    return text;
}

void TMemoryDocument::DeleteSelection()
{
    FPieces.erase(FPieces.begin() + FStart, FPieces.begin() + FEnd);
    FEnd = FStart;
}

void TMemoryDocument::InsertAfterSelection(const QString &text)
{
    Insert(FEnd, text);
    FEnd += int(text.size());
}

void TMemoryDocument::PasteRtf(const QString &plainText, const QByteArray &rtf)
{
    DeleteSelection();
    Insert(FStart, plainText);
    FStart = FEnd = FStart + int(plainText.size());
    LastRtf = rtf;
}

void TMemoryDocument::ReplaceAll(const QString &text, const QString &replacement)
{
    for (std::size_t i = 0; i + text.size() <= FPieces.size();) {
        bool match = true;
        for (qsizetype k = 0; k < text.size() && match; ++k)
            match = !FPieces[i + std::size_t(k)].Field && FPieces[i + std::size_t(k)].Char == text[k];
        if (!match) {
            ++i;
            continue;
        }
        FPieces.erase(FPieces.begin() + qsizetype(i), FPieces.begin() + qsizetype(i) + text.size());
        Insert(int(i), replacement);
        i += std::size_t(replacement.size());
    }
    FStart = FEnd = std::min(FEnd, int(FPieces.size()));
}

std::optional<std::pair<int, int>> TMemoryDocument::BracketFrom(int from, int to) const
{
    for (int i = from; i < to; ++i) {
        if (FPieces[std::size_t(i)].Field || FPieces[std::size_t(i)].Char != u'[')
            continue;
        for (int j = i + 1; j < int(FPieces.size()); ++j) {
            const TPiece &piece = FPieces[std::size_t(j)];
            if (piece.Field)
                break;
            if (piece.Char == u']')
                return std::pair {i, j + 1};
        }
    }
    return std::nullopt;
}

bool TMemoryDocument::FindBracketed()
{
    auto hit = BracketFrom(FEnd, int(FPieces.size()));
    if (!hit)
        hit = BracketFrom(0, FEnd);
    if (!hit)
        return false;
    std::tie(FStart, FEnd) = *hit;
    return true;
}
