#include "IniStringList.h"

QString TIniStringList::DelimitedText() const
{
    // A list of one empty item must not read back as an empty list.
    if (Items.size() == 1 && Items.front().isEmpty())
        return QStringLiteral("\"\"");
    QStringList parts;
    parts.reserve(Items.size());
    for (const QString &item : Items) {
        if (item.contains(QChar(Delimiter)) || item.contains(QChar(QuoteChar)) || item.contains(QChar(0))) {
            QString quoted = item;
            quoted.replace(QChar(QuoteChar), QStringLiteral("\"\""));
            parts << QChar(QuoteChar) + quoted + QChar(QuoteChar);
        } else {
            parts << item;
        }
    }
    return parts.join(QChar(Delimiter));
}

void TIniStringList::SetDelimitedText(const QString &text)
{
    Items.clear();
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        QString item;
        if (text.at(i) == QuoteChar) {
            ++i;
            while (i < n) {
                if (text.at(i) == QuoteChar) {
                    if (i + 1 < n && text.at(i + 1) == QuoteChar) {
                        item += QChar(QuoteChar);
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text.at(i++);
            }
        } else {
            const qsizetype start = i;
            while (i < n && text.at(i) != Delimiter)
                ++i;
            item = text.mid(start, i - start);
        }
        Items << item;
        if (i < n && text.at(i) == Delimiter) {
            ++i;
            if (i == n)
                Items << QString(); // a trailing delimiter ends with an empty item
        }
    }
}
