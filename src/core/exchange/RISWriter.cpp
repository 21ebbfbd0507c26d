#include "RISWriter.h"

#include "records/LibraryRecords.h"

namespace {

QString Line(const char *tag, const QString &value)
{
    return QLatin1String(tag) + QStringLiteral("  - ") + value;
}

} // namespace

void PutToRIS(const TPaperRecord &Paper, bool NoDate, QStringList &SL)
{
    const TJournalRecord empty;
    const TJournalRecord &journal = Paper.Journal ? *Paper.Journal : empty;
    switch (Paper.PType.unicode()) {
    case u'J':
        SL << QStringLiteral("TY  - JOUR") << Line("T1", Paper.Title) << Line("JO", journal.Title)
           << Line("JA", journal.Abbrv) << Line("VL", Paper.Volume) << Line("IS", Paper.Issue);
        break;
    case u'C':
        SL << QStringLiteral("TY  - CHAP") << Line("TI", Paper.Title) << Line("T1", Paper.SubTitle)
           << Line("PB", journal.Title) << Line("CY", journal.City);
        break;
    case u'O':
        SL << QStringLiteral("TY  - CONF") << Line("T1", Paper.Title) << Line("JO", journal.Title)
           << Line("JA", journal.Abbrv) << Line("VL", Paper.Volume) << Line("IS", Paper.Issue)
           << Line("CY", journal.City);
        break;
    case u'D':
    case u'P':
        SL << (Paper.PType == u'D' ? QStringLiteral("TY  - DISS") : QStringLiteral("TY  - PATN"))
           << Line("TI", Paper.Title) << Line("T1", Paper.SubTitle) << Line("PB", journal.Title)
           << Line("CY", journal.Abbrv);
        break;
    default:
        SL << QStringLiteral("TY  - BOOK") << Line("BT", Paper.Title) << Line("PB", journal.Title)
           << Line("CY", journal.City);
        break;
    }
    // The date added is written as yyyy/mm/dd whatever the machine's date format, so a backup made under one
    // locale restores under any other.
    SL << Line("SP", Paper.PS) << Line("EP", Paper.PE) << Line("PY", QString::number(Paper.Year))
       << Line("AB", Paper.Abst) << Line("UR", Paper.URL) << Line("M3", Paper.DOI) << Line("KW", Paper.Keywords)
       << Line("AD", NoDate || !Paper.Added.isValid() ? QString() : Paper.Added.toString(QStringLiteral("yyyy/MM/dd")));
    for (const TAuthorRecord &author : Paper.AuthorList)
        SL << Line("AU", author.Last + QStringLiteral(", ") + author.First);
}
