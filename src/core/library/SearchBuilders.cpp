#include "SearchBuilders.h"

#include "SqlText.h"
#include "shell/TextUtils.h"

#include <QStringList>

QString MakeCondition(const QString &text, bool wildcards)
{
    QString condition = text.trimmed();
    if (condition.isEmpty())
        return {};
    const auto hasOperator = [&condition] { return condition.contains(u'=') || condition.contains(QLatin1String("LIKE")); };
    if (wildcards && !condition.contains(u'%') && !hasOperator())
        condition = u'%' + condition + u'%';
    if (!hasOperator())
        condition = (condition.contains(u'%') ? QStringLiteral("LIKE ") : QStringLiteral("= ")) + QuotedStr(condition);
    return condition.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
}

QString MakeWordsCondition(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {};
    QString condition;
    for (const QString &word : trimmed.split(u' ')) {
        if (!condition.isEmpty())
            condition += QStringLiteral(" AND ");
        condition += QStringLiteral("LIKE ") + QuotedStr(u'%' + word + u'%');
    }
    return condition;
}

namespace {

// Steps shared by both builders: every operator after the first gets the field before it.
QString MarkOperators(const QString &field, const QString &condition)
{
    QString text = ReplaceAll(QStringLiteral("NOT LIKE"), QStringLiteral("NOT#LIKE"), condition);
    text = ReplaceAll(QStringLiteral(" LIKE"), u' ' + field + QStringLiteral("#LIKE"), text);
    text = ReplaceAll(QStringLiteral(" ="), u' ' + field + QStringLiteral("#="), text);
    text = ReplaceAll(QStringLiteral(" <>"), u' ' + field + QStringLiteral("#<>"), text);
    text = ReplaceAll(QStringLiteral(" <"), u' ' + field + QStringLiteral("#<"), text);
    text = ReplaceAll(QStringLiteral(" >"), u' ' + field + QStringLiteral("#>"), text);
    return ReplaceAll(QStringLiteral("#"), QStringLiteral(" "), text);
}

QString Append(const QString &where, const QString &clause)
{
    return where.isEmpty() ? clause : where + QStringLiteral(" and ") + clause;
}

} // namespace

QString AddCondition(const QString &field, const QString &condition, const QString &where)
{
    if (condition.isEmpty())
        return where;
    return Append(where, u'(' + field + u' ' + MarkOperators(field, condition) + u')');
}

QString AddUpperCondition(const QString &field, const QString &condition, const QString &where)
{
    if (condition.isEmpty())
        return where;
    QString text = MarkOperators(field, condition);
    text = ReplaceAll(field, QStringLiteral("()"), text);
    text = ReplaceAll(QStringLiteral("()"), QStringLiteral("UPPER(") + field + u')', text);
    return Append(where, QStringLiteral("(UPPER(") + field + QStringLiteral(") ") + text + u')');
}

namespace {

QString DateCondition(const TSearchFields &fields, const QDateTime &now)
{
    static constexpr int hoursBack[] = {0, 72, 168, 336, 720, 2160};
    if (fields.DateIndex == -1)
        return MakeCondition(fields.DateText, true);
    if (fields.DateIndex == 0)
        return QStringLiteral("= ") + QuotedDate(now.date());
    if (fields.DateIndex >= 1 && fields.DateIndex <= 5)
        return QStringLiteral("> ") + QuotedDate(now.addSecs(-qint64(hoursBack[fields.DateIndex]) * 3600).date());
    return {};
}

} // namespace

QString BuildSearchStatement(const TSearchFields &fields, const QDateTime &now)
{
    QStringList lines;
    const QString authorWhere = AddCondition(QStringLiteral("a.Last"), MakeCondition(fields.Author, true), QString());
    const QString journalWhere = AddCondition(QStringLiteral("j.Title"), MakeCondition(fields.Journal, true), QString());
    if (!authorWhere.isEmpty() && !journalWhere.isEmpty()) {
        // Both joins in one statement; two statements in one text would not run.
        lines << QStringLiteral("SELECT distinct *\r\nFROM Papers p\r\nJOIN Authors a on a.PID = p.Id\r\nJOIN Journals j on j.Id = p.JID\r\nWHERE ") +
                     authorWhere + QStringLiteral(" and ") + journalWhere;
    } else if (!authorWhere.isEmpty()) {
        lines << QStringLiteral("SELECT distinct *\r\nFROM Papers p\r\nJOIN Authors a on a.PID = p.Id\r\nWHERE ") + authorWhere;
    } else if (!journalWhere.isEmpty()) {
        lines << QStringLiteral("SELECT distinct *\r\nFROM Journals j\r\nJOIN Papers p on p.JID = j.Id\r\nWHERE ") + journalWhere;
    }

    QString where;
    where = AddCondition(QStringLiteral("ID"), MakeCondition(fields.Id, true), where);
    where = AddCondition(QStringLiteral("PY"), MakeCondition(fields.Year, true), where);
    where = AddCondition(QStringLiteral("Vol"), MakeCondition(fields.Vol, true), where);
    where = AddCondition(QStringLiteral("Issue"), MakeCondition(fields.Issue, true), where);
    where = AddCondition(QStringLiteral("PS"), MakeCondition(fields.Page, true), where);
    where = AddCondition(QStringLiteral("Title"), MakeWordsCondition(fields.Title), where);
    where = AddCondition(QStringLiteral("Keywords"), MakeWordsCondition(fields.Keyword), where);
    where = AddUpperCondition(QStringLiteral("Abstract"), MakeWordsCondition(AsciiUpper(fields.Abs)), where);
    where = AddCondition(QStringLiteral("Added"), DateCondition(fields, now), where);

    if (!lines.isEmpty() && !where.isEmpty())
        lines << QStringLiteral("AND") + where;
    else if (!where.isEmpty())
        lines << QStringLiteral("SELECT * FROM Papers WHERE ") + where;
    return lines.join(QStringLiteral("\r\n"));
}
