#include "FormatString.h"

#include "VarnelError.h"

namespace {

[[noreturn]] void Invalid(const QString &format)
{
    throw EVarnelError(QStringLiteral("Format '%1' invalid or incompatible with argument").arg(format));
}

// Reads a run of decimal digits at pos; -1 when there is none. Absurd widths count as invalid.
int ReadNumber(const QString &format, qsizetype &pos)
{
    int value = -1;
    while (pos < format.size() && format[pos].isDigit() && format[pos].unicode() < 128) {
        value = (value < 0 ? 0 : value) * 10 + (format[pos].unicode() - u'0');
        if (value > 10000)
            Invalid(format);
        ++pos;
    }
    return value;
}

} // namespace

QString FormatString(const QString &format, const QVariantList &args)
{
    QString result;
    qsizetype next = 0; // the argument the next directive takes
    for (qsizetype pos = 0; pos < format.size(); ++pos) {
        const QChar c = format[pos];
        if (c != u'%') {
            result += c;
            continue;
        }
        if (++pos >= format.size())
            Invalid(format);
        if (format[pos] == u'%') {
            result += u'%';
            continue;
        }
        int number = ReadNumber(format, pos);
        if (pos < format.size() && format[pos] == u':') {
            if (number < 0)
                Invalid(format);
            next = number;
            ++pos;
            number = -1;
        }
        bool left = false;
        if (number < 0 && pos < format.size() && format[pos] == u'-') {
            left = true;
            ++pos;
        }
        const int width = number >= 0 ? number : ReadNumber(format, pos);
        int precision = -1;
        if (pos < format.size() && format[pos] == u'.') {
            ++pos;
            precision = std::max(0, ReadNumber(format, pos));
        }
        if (pos >= format.size() || next >= args.size())
            Invalid(format);
        const QVariant &arg = args[next++];
        const bool isText = arg.typeId() == QMetaType::QString;
        QString text;
        switch (format[pos].toLower().unicode()) {
        case u'd':
        case u'u':
        case u'x': {
            if (isText)
                Invalid(format);
            const qlonglong value = arg.toLongLong();
            const bool hex = format[pos].toLower() == u'x';
            const bool negative = value < 0 && !hex;
            text = hex ? QString::number(qulonglong(value), 16).toUpper() : QString::number(negative ? -value : value);
            if (precision > text.size())
                text = QString(precision - text.size(), u'0') + text;
            if (negative)
                text.prepend(u'-');
            break;
        }
        case u's':
            if (!isText)
                Invalid(format);
            text = arg.toString();
            if (precision >= 0)
                text.truncate(precision);
            break;
        default:
            Invalid(format);
        }
        if (width > text.size())
            text = left ? text + QString(width - text.size(), u' ') : QString(width - text.size(), u' ') + text;
        result += text;
    }
    return result;
}
