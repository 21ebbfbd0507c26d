#include "ReferenceText.h"

#include "Templater.h"
#include "shell/TextUtils.h"

QString ReferenceText(const QStringList &lines)
{
    return LinesWithCRLF(lines);
}

QString FormatReferences(TTemplater &templater, const std::vector<TPaperRecord *> &papers)
{
    QStringList lines;
    for (const TPaperRecord *paper : papers)
        if (paper)
            lines << templater.ParseString(*paper, int(lines.size()) + 1);
    return ReferenceText(lines);
}

QString FormatReferences(TTemplater &templater, const TPapers &papers)
{
    std::vector<TPaperRecord *> pointers;
    pointers.reserve(papers.size());
    for (const auto &paper : papers)
        pointers.push_back(paper.get());
    return FormatReferences(templater, pointers);
}

QByteArray ReferenceRtf(const QString &referenceText)
{
    QByteArray rtf(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\viewkind4\\uc1\\pard\\fi-426\\li426\\sl480\\slmult1\\lang9\\f0\\fs24 ");
    QString body = referenceText;
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\\par "));
    rtf.reserve(rtf.size() + body.size() + 2);
    // "\uN?" takes a signed 16-bit N; a character beyond the BMP is written as its two UTF-16 halves. The "?"
    // is the one fallback character "\uc1" announces for readers without Unicode.
    for (const QChar c : std::as_const(body)) {
        const char16_t unit = c.unicode();
        if (unit < 0x80)
            rtf += char(unit);
        else
            rtf += "\\u" + QByteArray::number(int(qint16(unit))) + '?';
    }
    rtf += '}';
    return rtf;
}
