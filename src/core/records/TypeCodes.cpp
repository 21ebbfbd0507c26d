#include "TypeCodes.h"

#include <algorithm>

const std::array<QString, 6> PaperTypeNames {
    QStringLiteral("Paper"),
    QStringLiteral("Book"),
    QStringLiteral("Chapter"),
    QStringLiteral("Dissertation"),
    QStringLiteral("Patent"),
    QStringLiteral("Proceeding"),
};

const std::array<QString, 3> JournalTypeNames {
    QStringLiteral("Journal"),
    QStringLiteral("Publisher"),
    QStringLiteral("Conference"),
};

namespace {
template <std::size_t N> int IndexOf(const std::array<char16_t, N> &codes, QChar code)
{
    const auto it = std::find(codes.begin(), codes.end(), code.unicode());
    return it == codes.end() ? 0 : int(it - codes.begin());
}
} // namespace

int PaperTypeIndex(QChar code)
{
    return IndexOf(PaperTypeCodes, code);
}

int JournalTypeIndex(QChar code)
{
    return IndexOf(JournalTypeCodes, code);
}

QChar PaperTypeForJournal(QChar journalType)
{
    static constexpr std::array<char16_t, 5> PaperOfJournal {u'J', u'B', u'O', u'P', u'D'}; // JournalTypeCodes' order
    const auto it = std::find(JournalTypeCodes.begin(), JournalTypeCodes.end(), journalType.unicode());
    return it == JournalTypeCodes.end() ? QChar() : QChar(PaperOfJournal[std::size_t(it - JournalTypeCodes.begin())]);
}
