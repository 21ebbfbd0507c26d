#include "WordHelper.h"

#include "CitationSource.h"
#include "WordDocument.h"
#include "library/DataModule.h"
#include "shell/UserPrompts.h"
#include "shell/VarnelError.h"
#include "styles/ReferenceText.h"
#include "styles/Templater.h"

#include <QSet>

namespace {

constexpr int MaxRange = 10000;

// "3-5" as "3,4,5"; a text without "-" as it is.
QString ExpandRange(const QString &text)
{
    const qsizetype dash = text.indexOf(u'-');
    if (dash < 0)
        return text;
    bool firstOk = false, lastOk = false;
    const int first = text.left(dash).toInt(&firstOk);
    const int last = text.mid(dash + 1).toInt(&lastOk);
    // A range no group could fill ("[1-99999999]") is refused before a list of it is built.
    if (!firstOk || !lastOk || last < first || last - first >= MaxRange)
        throw EVarnelError(QStringLiteral("\"%1\" is not a range of citation numbers.").arg(text));
    QStringList numbers;
    for (int number = first; number <= last; ++number)
        numbers << QString::number(number);
    return numbers.join(u',');
}

int CitationNumber(const QString &text)
{
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok)
        throw EVarnelError(QStringLiteral("\"%1\" is not a citation number.").arg(text));
    return number;
}

} // namespace

TWordHelper::TWordHelper(TWordDocument &document, TdmMain &dm, TUserPrompts &prompts)
    : FDocument(document)
    , FDm(dm)
    , FPrompts(prompts)
{ }

std::unique_ptr<TPaperRecord> TWordHelper::PaperOfTag(const QString &tag)
{
    TPapers papers;
    FDm.PreparePaper(tag);
    FDm.GetPapers(papers);
    return papers.empty() ? nullptr : std::move(papers.front());
}

std::unique_ptr<TPaperRecord> TWordHelper::PaperAtPlace(int groupID, int place)
{
    TPapers papers;
    FDm.PreparePaperByInGroupNo(groupID, place, papers);
    if (papers.empty())
        throw EVarnelError(QStringLiteral("The group has no paper at place %1.").arg(place));
    return std::move(papers.front());
}

int TWordHelper::FindCitation(const QString &tag)
{
    const int count = FDocument.SourceCount();
    for (int index = 1; index <= count; ++index)
        if (FDocument.SourceXml(index).contains(tag))
            return index;
    return 0;
}

void TWordHelper::AddCitations(const TPaperRefs &papers, bool fastMode)
{
    for (const TPaperRecord *paper : papers) {
        const TCitationSource source = CitationSourceOf(*paper);
        if (FindCitation(source.Tag) == 0)
            FDocument.AddSource(source);
        FDocument.InsertCitation(source.Tag);
    }
    if (!fastMode)
        FDocument.UpdateFields();
}

void TWordHelper::PrepareReferenses()
{
    if (!FTemplater)
        throw EVarnelError(QStringLiteral("No citation style is chosen."));
    FDocument.UpdateFields();
    const int count = FDocument.FieldCount();
    QSet<int> seen;
    QStringList lines;
    for (int index = 1; index <= count; ++index) {
        if (FDocument.FieldType(index) != CitationFieldType)
            continue;
        const std::unique_ptr<TPaperRecord> paper = PaperOfTag(CitationTag(FDocument.FieldCode(index)));
        if (paper && seen.contains(paper->ID))
            continue;
        const int number = int(lines.size()) + 1;
        if (paper) {
            seen.insert(paper->ID);
            lines << FTemplater->ParseString(*paper, number);
        } else {
            lines << QStringLiteral("[%1] %2").arg(number).arg(QStringLiteral("CITATION NOT FOUND"));
        }
    }
    const QString text = ReferenceText(lines);
    FDocument.PasteRtf(text, ReferenceRtf(text));
}

void TWordHelper::ConvertToText()
{
    // What every citation shows is read first: a word processor that numbers its citations renumbers the rest
    // as soon as one of them is gone.
    int count = FDocument.FieldCount();
    QStringList shownTexts;
    for (int index = 1; index <= count; ++index)
        if (FDocument.FieldType(index) == CitationFieldType)
            shownTexts << FDocument.FieldResult(index);
    qsizetype converted = 0;
    for (int index = 1; index <= count && converted < shownTexts.size();) {
        if (FDocument.FieldType(index) != CitationFieldType) {
            ++index;
            continue;
        }
        const QString shown = shownTexts[converted++];
        FDocument.SetFieldLocked(index, false);
        FDocument.SelectField(index);
        FDocument.DeleteSelection();
        FDocument.InsertAfterSelection(shown);
        count = FDocument.FieldCount(); // the next field is now at this index
    }
    FDocument.ReplaceAll(QStringLiteral("] ["), QStringLiteral(", "));
}

void TWordHelper::ConvertToObjects(int groupID)
{
    FDocument.GoToStart();
    const auto findNext = [this] {
        try {
            return FDocument.FindBracketed();
        } catch (const EVarnelError &) {
            return false; // a search the word processor refuses finds nothing
        }
    };
    while (findNext()) {
        QString text = FDocument.SelectionText();
        text.remove(text.indexOf(u'['), 1);
        text.remove(text.indexOf(u']'), 1);
        text.remove(u' ');
        const QStringList numbers = ExpandRange(text).split(u',');
        // Every place is looked up before the text is touched: a bracket that cannot be converted stays as it is.
        std::vector<std::unique_ptr<TPaperRecord>> papers;
        for (const QString &number : numbers)
            papers.push_back(PaperAtPlace(groupID, CitationNumber(number)));
        for (std::size_t i = 0; i + 1 < papers.size(); ++i)
            AddCitations({papers[i].get()}, false);
        FDocument.DeleteSelection();
        AddCitations({papers.back().get()}, false);
    }
}

void TWordHelper::ObjectsToGroup(int groupID)
{
    FDocument.UpdateFields();
    const int count = FDocument.FieldCount();
    QSet<int> seen;
    for (int index = 1; index <= count; ++index) {
        if (FDocument.FieldType(index) != CitationFieldType)
            continue;
        const QString tag = CitationTag(FDocument.FieldCode(index));
        std::unique_ptr<TPaperRecord> paper = PaperOfTag(tag);
        if (!paper) {
            FPrompts.ShowMessage(QStringLiteral("Citation %1 wasn't found in the database!").arg(tag));
            continue;
        }
        if (seen.contains(paper->ID))
            continue;
        seen.insert(paper->ID);
        FDm.AddToGroup(groupID, TPaperRefs {paper.get()});
    }
}

void TWordHelper::UpdateReferences()
{
    FDocument.UpdateFields();
}
