#pragma once

#include <QStringList>

// A list of texts kept in one INI value: items separated by ";" (blanks separate nothing), an item that holds
// ";" or a double quote written in double quotes with inner quotes doubled.
class TIniStringList
{
public:
    static constexpr char16_t Delimiter = u';';
    static constexpr char16_t QuoteChar = u'"';

    QStringList Items;

    QString DelimitedText() const;
    void SetDelimitedText(const QString &text);
};
