#include "Templater.h"

#include "shell/FormatString.h"
#include "shell/TextUtils.h"
#include "shell/VarnelError.h"

#include <array>
#include <bitset>
#include <optional>

namespace {

bool IsAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

enum class TAuthorForm { FirstLast, LastFirst, LastFirstNoDots };

QString AuthorList(const TPaperRecord &paper, const TTemplateRecord &style, TAuthorForm form)
{
    const qsizetype last = style.EtAlLimit == 0 ? 999 : qsizetype(style.EtAlLimit) - 1;
    const QString delimiter = style.AuthDelimeter + u' ';
    QString list;
    for (qsizetype i = 0; i < paper.AuthorList.size(); ++i) {
        const TAuthorRecord &author = paper.AuthorList[i];
        switch (form) {
        case TAuthorForm::FirstLast:
            list += MakeInitials(author.First, true) + u' ' + author.Last;
            break;
        case TAuthorForm::LastFirst:
            list += author.Last + u' ' + MakeInitials(author.First, true);
            break;
        case TAuthorForm::LastFirstNoDots:
            list += author.Last + u' ' + MakeInitials(author.First, false);
            break;
        }
        const bool more = i + 1 < paper.AuthorList.size();
        if (i == last && more) {
            list += QStringLiteral(" et al.");
            break;
        }
        if (more)
            list += delimiter;
    }
    if (form == TAuthorForm::LastFirstNoDots)
        list.remove(u'-');
    return list;
}

} // namespace

const QStringList &TTemplater::ElementNames()
{
    static const QStringList names = {QStringLiteral("fn"), QStringLiteral("ln"), QStringLiteral("pt"),
        QStringLiteral("jt"), QStringLiteral("ja"), QStringLiteral("jy"), QStringLiteral("jv"), QStringLiteral("ji"),
        QStringLiteral("ps"), QStringLiteral("pe"), QStringLiteral("cy"), QStringLiteral("pb"), QStringLiteral("ld"),
        QStringLiteral("jd")};
    return names;
}

// A text without any element is accepted: it formats as itself behind the number.
TErrorType TTemplater::ValidateTemplate(const QString &Template)
{
    FBlocksMap.clear();
    FMapText.clear();
    if (Template.isEmpty())
        return TErrorType::ErTemplate;
    const int count = int(Template.count(u'%'));
    FBlocksMap.assign(std::size_t(count), TElement());
    std::size_t filled = 0;
    struct TLevel
    {
        QString name;
        int open = 0;
    };
    std::vector<TLevel> levels(std::size_t(count) + 1);
    int depth = 0;
    for (qsizetype i = 0; i < Template.size(); ++i) {
        const QChar c = Template[i];
        const int position = int(i) + 1;
        if (c == u'[') {
            if (++depth >= count)
                return TErrorType::ErTemplate;
            levels[std::size_t(depth)] = {QString(), position};
        } else if (c == u'%') {
            TLevel &level = levels[std::size_t(depth)];
            if (depth > 0 && !level.name.isEmpty())
                return TErrorType::ErTemplate;
            qsizetype end = i + 1;
            while (end < Template.size() && IsAsciiLetter(Template[end]))
                ++end;
            const QString name = Template.mid(i + 1, end - i - 1);
            if (name.isEmpty())
                return TErrorType::ErElements;
            if (depth == 0)
                FBlocksMap[filled++] = {name, 0, 0};
            else
                level.name = name;
            i = end - 1;
        } else if (c == u']') {
            TLevel &level = levels[std::size_t(depth)];
            if (depth == 0 || level.name.isEmpty())
                return TErrorType::ErBlocks;
            FBlocksMap[filled++] = {level.name, level.open, position};
            level = {};
            --depth;
        }
    }
    if (depth > 0)
        return TErrorType::ErBlocks;
    for (std::size_t i = 0; i < filled; ++i)
        if (!ElementNames().contains(FBlocksMap[i].name, Qt::CaseInsensitive))
            return TErrorType::ErElements;
    return TErrorType::ErFine;
}

TErrorType TTemplater::SetTemplate(PTemplate Template)
{
    if (!Template)
        return TErrorType::ErTemplate;
    for (const TTemplField &field : Template->Fields)
        if (ValidateTemplate(field.Value) != TErrorType::ErFine)
            return TErrorType::ErTemplate;
    FTemplate = Template;
    return TErrorType::ErFine;
}

QString TTemplater::ElementValue(int element, const TPaperRecord &Paper) const
{
    static const TTemplateRecord defaults {0, 0, {}, {}, QStringLiteral(","), QStringLiteral("[%d]"), 6};
    const TTemplateRecord &style = FTemplate ? *FTemplate : defaults;
    static const TJournalRecord empty;
    const TJournalRecord &journal = Paper.Journal ? *Paper.Journal : empty;
    switch (element) {
    case 0:
        return AuthorList(Paper, style, TAuthorForm::FirstLast);
    case 1:
        return AuthorList(Paper, style, TAuthorForm::LastFirst);
    case 2:
        return TrimBlanks(Paper.Title);
    case 3:
    case 11:
        return TrimBlanks(journal.Title);
    case 4:
        return TrimBlanks(journal.Abbrv);
    case 5:
        return QString::number(Paper.Year);
    case 6:
        return TrimBlanks(Paper.Volume);
    case 7: {
        const QString issue = TrimBlanks(Paper.Issue);
        return issue == QStringLiteral("0") ? QString() : issue;
    }
    case 8:
        return TrimBlanks(Paper.PS);
    case 9:
        return TrimBlanks(Paper.PE);
    case 10:
        return TrimBlanks(journal.City);
    case 12:
        return AuthorList(Paper, style, TAuthorForm::LastFirstNoDots);
    case 13: {
        QString abbreviation = journal.Abbrv;
        return TrimBlanks(abbreviation.remove(u'.'));
    }
    default:
        return {};
    }
}

// Elements are written in lower case ("%jv") or all in upper case ("%JV"); both are replaced by the element's
// value and both let an empty element's block vanish. A name in mixed case ("%Jv") passes validation but
// stays as written. Substitution runs in the fixed element order over the whole text, so an element inside
// an earlier value is replaced as well; a value holding its own element keeps it (the replacement is never
// searched inside itself), which is what makes every line end.
QString TTemplater::ParseString(const TPaperRecord &Paper, int Number)
{
    if (!FTemplate)
        throw EVarnelError(QStringLiteral("No citation style is selected"));
    const QString text = GetTemplateText(Paper.PType, *FTemplate);
    if (text != FMapText || FBlocksMap.empty()) {
        ValidateTemplate(text);
        FMapText = text; // the map of the same text is the same map: a list in one type skips the work
    }
    // Values are worked out when first needed: most styles use a few of the fourteen elements.
    const QStringList &names = ElementNames();
    std::array<std::optional<QString>, 14> values;
    const auto value = [&](int element) -> const QString & {
        if (!values[std::size_t(element)])
            values[std::size_t(element)] = ElementValue(element, Paper);
        return *values[std::size_t(element)];
    };
    const auto isEmptyElement = [&](const QString &name) {
        const qsizetype element = names.indexOf(name.toLower());
        return element >= 0 && (name == names[element] || name == names[element].toUpper())
            && value(int(element)).isEmpty();
    };

    // Blocks are cut by their positions in the text as written, so each loses exactly its own characters.
    std::vector<bool> removed(std::size_t(text.size()), false);
    for (const TElement &element : FBlocksMap)
        if (element.BegBlock > 0 && element.EndBlock >= element.BegBlock && element.EndBlock <= text.size()
            && isEmptyElement(element.name))
            std::fill(removed.begin() + element.BegBlock - 1, removed.begin() + element.EndBlock, true);
    QString line;
    line.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i)
        if (!removed[std::size_t(i)] && text[i] != u'[' && text[i] != u']')
            line += text[i];

    // Which element names, lower (bit n) or upper case (bit 14 + n), the line holds; searched again only when an
    // inserted value brings a "%" of its own.
    const auto present = [&names](const QString &text) {
        std::bitset<28> found;
        for (qsizetype at = text.indexOf(u'%'); at >= 0; at = text.indexOf(u'%', at + 1)) {
            const QStringView token = QStringView(text).mid(at + 1, 2);
            for (int element = 0; element < int(names.size()); ++element) {
                if (token == names[element])
                    found.set(std::size_t(element));
                else if (token.compare(names[element], Qt::CaseInsensitive) == 0 && token == names[element].toUpper())
                    found.set(std::size_t(element) + 14);
            }
        }
        return found;
    };
    std::bitset<28> found = present(line);
    for (int element = 0; element < int(names.size()); ++element) {
        for (const bool upper : {true, false}) {
            if (!found.test(std::size_t(element) + (upper ? 14 : 0)))
                continue;
            const QString token = u'%' + (upper ? names[element].toUpper() : names[element]);
            line = ReplaceAll(token, value(element), line);
            if (value(element).contains(u'%'))
                found = present(line);
        }
    }
    if (!FNumbered)
        return line;
    return FormatString(FTemplate->NumFormat + QStringLiteral(" %s"), {Number, line});
}
