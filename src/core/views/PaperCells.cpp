#include "PaperCells.h"

#include "shell/TextUtils.h"

namespace {

QString AddedText(const TPaperRecord &paper, const QLocale &locale)
{
    return paper.Added.isValid() ? locale.toString(paper.Added, QLocale::ShortFormat) : QStringLiteral(" ");
}

int CompareText(const QString &a, const QString &b)
{
    const int order = QString::compare(a, b, Qt::CaseSensitive);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

} // namespace

QString PaperCellText(const TPaperRecord &paper, int tag, const QLocale &locale)
{
    switch (tag) {
    case pcID:
        return QString::number(paper.ID);
    case pcAuthors:
        return AuthorsText(paper);
    case pcTitle:
        return paper.Title;
    case pcJournal:
        return paper.JournalTitle();
    case pcVolume:
        return paper.Volume;
    case pcIssue:
        return paper.Issue.isEmpty() || paper.Issue == QLatin1String("0") ? QStringLiteral(" ") : paper.Issue;
    case pcPages:
        return QStringLiteral("%1 - %2").arg(paper.PS, paper.PE);
    case pcYear:
        return QString::number(paper.Year);
    case pcNo:
        return QString::number(paper.Ord);
    case pcAdded:
        return AddedText(paper, locale);
    default:
        return {};
    }
}

int ComparePapers(const TPaperRecord &a, const TPaperRecord &b, int tag, const QLocale &locale)
{
    switch (tag) {
    case pcID:
        return CompareInt(a.ID, b.ID);
    case pcAuthors:
        // A paper without authors compares equal to any other.
        if (a.AuthorList.isEmpty() || b.AuthorList.isEmpty())
            return 0;
        return CompareText(a.AuthorList.front().Last, b.AuthorList.front().Last);
    case pcTitle:
        return CompareText(a.Title, b.Title);
    case pcJournal:
        return CompareText(a.JournalTitle(), b.JournalTitle());
    case pcVolume:
        return CompareText(a.Volume, b.Volume);
    case pcIssue:
        return CompareText(a.Issue, b.Issue);
    case pcPages:
        return CompareText(a.PS, b.PS);
    case pcYear:
        return CompareInt(a.Year, b.Year);
    case pcNo:
        return CompareInt(a.Ord, b.Ord);
    case pcAdded:
        return CompareText(AddedText(a, locale), AddedText(b, locale));
    default:
        return 0;
    }
}

QString CitationLine(QChar type, const QString &journal, const QString &abbrv, const QString &volume,
    const QString &issue, const QString &pages, const QString &year)
{
    if (type != u'J')
        return journal + QStringLiteral(" (") + year + u')';
    QString line = abbrv + QStringLiteral(",  Vol. ") + volume;
    if (!issue.isEmpty() && issue.trimmed() != QLatin1String("0"))
        line += QStringLiteral(",  Issue ") + issue;
    return line + QStringLiteral(",  pp. ") + pages + QStringLiteral(", (") + year + u')';
}
