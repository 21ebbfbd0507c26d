#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>

// Builders of the field search's statement. A condition is operator-and-value text such as "LIKE '%film%'";
// a where-part is an "and"-joined list of parenthesised field conditions. "#" is the builders' own marker,
// so a "#" in a user's value comes out as a blank.

// A plain value becomes "= 'value'", or with wildcards a substring match "LIKE '%value%'"; a text holding an
// operator ("=", "LIKE") is taken as the user wrote it (">= 2005", "LIKE 'a%' OR LIKE 'b%'").
QString MakeCondition(const QString &text, bool wildcards);
// Every blank-separated word must occur: "LIKE '%w1%' AND LIKE '%w2%'".
QString MakeWordsCondition(const QString &text);
// Appends "(field condition)" to where, with the field put before every operator of the condition.
QString AddCondition(const QString &field, const QString &condition, const QString &where);
// The same comparing UPPER(field).
QString AddUpperCondition(const QString &field, const QString &condition, const QString &where);

struct TSearchFields
{
    QString Id, Author, Journal, Title, Year, Vol, Issue, Page, Keyword, Abs, DateText;
    int DateIndex = -1; // -1: DateText as typed; 0 today; 1..5 the past 3 days, week, 2 weeks, month, 3 months
};

// The whole statement, as lines joined by CR LF; empty when no field and no date is given.
QString BuildSearchStatement(const TSearchFields &fields, const QDateTime &now);

Q_DECLARE_METATYPE(TSearchFields)
