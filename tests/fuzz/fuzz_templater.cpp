// The style templates: validation of a template text, and formatting a paper whose values come from the input.
// Line 1 is the template, line 2 the number format, the lines after it the paper's values.
#include "FuzzSupport.h"
#include "shell/VarnelError.h"
#include "styles/Templater.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Fuzz::StartApplication();
    const QStringList lines = Fuzz::Text(data, size).split(u'\n');
    TTemplater templater;
    templater.ValidateTemplate(lines.value(0));
    TTemplateRecord style;
    for (const QChar type : QStringLiteral("JBCODPX"))
        style.Fields.append({0, type, lines.value(0)});
    style.NumFormat = lines.value(1);
    style.AuthDelimeter = lines.value(2).left(1);
    style.EtAlLimit = int(size % 8);
    if (templater.SetTemplate(&style) != TErrorType::ErFine)
        return 0;
    TPaperRecord paper;
    paper.PType = lines.value(3).isEmpty() ? QChar(u'J') : lines.value(3).front();
    paper.Title = lines.value(4);
    paper.SubTitle = lines.value(5);
    paper.Volume = lines.value(6);
    paper.Issue = lines.value(7);
    paper.PS = lines.value(8);
    paper.PE = lines.value(9);
    paper.Year = lines.value(10).toInt();
    paper.Journal = std::make_shared<TJournalRecord>();
    paper.Journal->Title = lines.value(11);
    paper.Journal->Abbrv = lines.value(12);
    paper.Journal->City = lines.value(13);
    for (qsizetype i = 14; i + 1 < lines.size(); i += 2)
        paper.AuthorList.append({0, lines[i], lines[i + 1]});
    try {
        templater.ParseString(paper, int(size));
    } catch (const EVarnelError &) { }
    return 0;
}
