#include "TextUtils.h"

#include "records/LibraryRecords.h"

#include <QStringList>

QString AuthorsText(const TPaperRecord &paper)
{
    QStringList names;
    names.reserve(paper.AuthorList.size());
    for (const TAuthorRecord &author : paper.AuthorList)
        names << author.Last + u' ' + author.First;
    return names.join(QStringLiteral(", "));
}

QString FormatSize(qint64 size, bool showBytes, const QLocale &locale)
{
    struct TUnit
    {
        qint64 Divisor;
        const char *Name;
    };
    static constexpr TUnit units[] = {{qint64(1) << 30, "GB"}, {qint64(1) << 20, "MB"}, {qint64(1) << 10, "KB"}, {1, "Bytes"}};
    const TUnit *unit = &units[3];
    for (const TUnit &candidate : units) {
        if (size / candidate.Divisor != 0) {
            unit = &candidate;
            break;
        }
    }
    const qint64 tenths = unit->Divisor == 1 ? 0 : ((size % unit->Divisor) * 10) / unit->Divisor;
    const QString number = locale.toString(double(size) / double(unit->Divisor), 'f', tenths != 0 ? 1 : 0);
    const QString unitName = QString::fromLatin1(unit->Name);
    if (showBytes && unit->Divisor != 1)
        return QStringLiteral("%1 %2 (%3 Bytes)").arg(number, unitName, locale.toString(double(size), 'f', 0));
    return number + u' ' + unitName;
}

QString GetTemplateText(QChar typeCode, const TTemplateRecord &style)
{
    QString text;
    for (const TTemplField &field : style.Fields)
        if (field.TType == typeCode)
            text = field.Value;
    return text;
}

QString MakeInitials(const QString &firstName, bool withDots)
{
    if (firstName.isEmpty())
        return {};
    QString name = firstName;
    name.replace(u'-', u'.').replace(u' ', u'.');
    name = name.trimmed();
    if (name.contains(QLatin1String(".."))) {
        name = ReplaceAll(QStringLiteral("..."), QStringLiteral("."), name);
        name = ReplaceAll(QStringLiteral(".."), QStringLiteral("."), name);
    }
    if (name.isEmpty())
        return {};
    const QString dot = withDots ? QStringLiteral(".") : QString();
    QString initials = name.front() + dot;
    const qsizetype firstDot = name.indexOf(u'.');
    if (firstDot >= 0 && firstDot < name.size() - 1)
        initials += name.at(firstDot + 1) + dot;
    return initials;
}

QString ReplaceAll(const QString &searched, const QString &replacement, const QString &text)
{
    if (searched.isEmpty())
        return text;
    QString result = text;
    // Restarting from the very beginning after each replacement would find nothing new before the place where
    // the replaced text ends minus the searched length, so the search resumes there. When the replacement holds
    // the searched text, it resumes after the replacement instead, which is what makes that case end.
    const bool selfContaining = replacement.contains(searched);
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = result.indexOf(searched, from);
        if (at < 0)
            return result;
        result.replace(at, searched.size(), replacement);
        from = selfContaining ? at + replacement.size() : std::max<qsizetype>(0, at - searched.size() + 1);
    }
}

QString TrimBlanks(const QString &text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

QString LinesWithCRLF(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

QString AsciiUpper(const QString &text)
{
    QString result = text;
    for (QChar &c : result)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    return result;
}

int CompareInt(int a, int b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

QString QuoteIfNeeded(const QString &text)
{
    if (text.isEmpty() || text.startsWith(u'"'))
        return text;
    return u'"' + text + u'"';
}

namespace {
QString Shift(const QString &text, int delta)
{
    QString result = text;
    for (QChar &unit : result)
        unit = QChar(char16_t(unit.unicode() + delta));
    return result;
}
} // namespace

QString ScramblePassword(const QString &text)
{
    return Shift(text, 5);
}

QString UnscramblePassword(const QString &text)
{
    return Shift(text, -5);
}
