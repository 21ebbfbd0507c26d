#include "CitationSource.h"

#include "shell/PaperFiles.h"

namespace {

QString Escaped(const QString &text)
{
    QString escaped = text;
    escaped.replace(u'&', QLatin1String("&amp;"));
    escaped.replace(u'<', QLatin1String("&lt;"));
    escaped.replace(u'>', QLatin1String("&gt;"));
    return escaped;
}

} // namespace

TCitationSource CitationSourceOf(const TPaperRecord &paper)
{
    TCitationSource source;
    source.Tag = paper.FileName.isEmpty() ? PaperFileName(paper) : paper.FileName;
    source.Title = paper.Title;
    source.Year = paper.Year;
    for (const TAuthorRecord &author : paper.AuthorList)
        source.Authors.append({author.Last, author.First});
    source.Journal = paper.Journal ? paper.Journal->Abbrv : QString();
    source.FirstPage = paper.PS;
    source.LastPage = paper.PE;
    source.Volume = paper.Volume;
    source.Issue = paper.Issue;
    return source;
}

QString CitationSourceXml(const TCitationSource &source)
{
    QString names;
    for (const auto &[last, first] : source.Authors)
        names += QStringLiteral("       <b:Person>          <b:Last>%1</b:Last>          <b:First>%2</b:First>       "
                                "</b:Person>")
                     .arg(Escaped(last), Escaped(first));
    // One pass over the places, so that a value holding "%1" is never taken for a place.
    return QStringLiteral("<b:Source xmlns:b=\"http://schemas.microsoft.com/office/word/2004/10/bibliography\">"
                          "  <b:Tag>%1</b:Tag>  <b:SourceType>JournalArticle</b:SourceType>  <b:Title>%2</b:Title>"
                          "  <b:Year>%3</b:Year>  <b:Author><b:Author>    <b:NameList>    %4    </b:NameList>"
                          "  </b:Author></b:Author>  <b:JournalName>%5</b:JournalName>  <b:Pages>%6 - %7</b:Pages>"
                          "  <b:Volume>%8</b:Volume>  <b:Issue>%9</b:Issue></b:Source>")
        .arg(Escaped(source.Tag), Escaped(source.Title), QString::number(source.Year), names, Escaped(source.Journal),
            Escaped(source.FirstPage), Escaped(source.LastPage), Escaped(source.Volume), Escaped(source.Issue));
}

QString CitationTag(const QString &fieldCode)
{
    const QString rest = fieldCode.mid(10);
    const qsizetype blank = rest.indexOf(u' ');
    return blank < 0 ? rest : rest.left(blank);
}
