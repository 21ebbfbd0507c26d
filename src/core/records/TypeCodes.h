#pragma once

#include <QChar>
#include <QString>

#include <array>

// Publication type codes (TPaperRecord::PType, TTemplField::TType) in table order, with display names.
inline constexpr std::array<char16_t, 6> PaperTypeCodes {u'J', u'B', u'C', u'D', u'P', u'O'};
extern const std::array<QString, 6> PaperTypeNames;

// Journal type codes (TJournalRecord::JType) in table order; only the first three have display names.
inline constexpr std::array<char16_t, 5> JournalTypeCodes {u'J', u'P', u'C', u'A', u'D'};
extern const std::array<QString, 3> JournalTypeNames;

// Index of a code in its table; a code not in the table gives 0.
int PaperTypeIndex(QChar code);
int JournalTypeIndex(QChar code);

// The type of a paper filed under a container of that journal type: a journal's paper, a publisher's book, a
// conference's proceeding, a patent, a dissertation; none for another type.
QChar PaperTypeForJournal(QChar journalType);
