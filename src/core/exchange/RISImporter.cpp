#include "RISImporter.h"

#include "library/DataModule.h"
#include "records/LibraryRecords.h"
#include "shell/PaperFiles.h"
#include "shell/UserPrompts.h"
#include "shell/VarnelError.h"

#include <QLocale>
#include <QRegularExpression>

#include <optional>

namespace {

// The line without a byte-order mark and leading blanks, for recognising record boundaries.
QStringView Bare(const QString &line)
{
    QStringView view(line);
    while (!view.isEmpty() && (view.front() == QChar(0xFEFF) || view.front() == u' ' || view.front() == u'\t'))
        view = view.mid(1);
    return view;
}

// A record begins at a "TY  - " or "%0 " line. Only the start of a line counts: an address holding "%0A" in
// the middle of a record does not cut it in two.
bool IsRecordStart(const QString &line)
{
    const QStringView bare = Bare(line);
    return bare.startsWith(u"TY  -") || bare.startsWith(u"%0 ") || bare == u"%0";
}

bool IsRecordEnd(const QString &line)
{
    const QStringView bare = Bare(line);
    return bare.startsWith(u"ER  -") || bare.trimmed() == u"ER";
}

struct TTypeRule
{
    QChar PType;
    QChar JType;
    QStringList Title;
    QStringList SubTitle;
    QStringList Container;
    QStringList Abbreviation;
    QStringList City;
};

const TTypeRule &TypeRule(const QString &type)
{
    static const TTypeRule journal {u'J', u'J', {QStringLiteral("T1"), QStringLiteral("TI"), QStringLiteral("%T")}, {},
        {QStringLiteral("JO"), QStringLiteral("JF"), QStringLiteral("JT"), QStringLiteral("%W"), QStringLiteral("T2"),
            QStringLiteral("%J")},
        {QStringLiteral("%J"), QStringLiteral("JA"), QStringLiteral("TA"), QStringLiteral("J2")}, {}};
    // "%T" closes every title list: a tagged-text record of any type keeps its title.
    static const TTypeRule chapter {u'C', u'P', {QStringLiteral("BT"), QStringLiteral("TI"), QStringLiteral("%T")},
        {QStringLiteral("T1")}, {QStringLiteral("PB"), QStringLiteral("%P")}, {}, {QStringLiteral("CY")}};
    static const TTypeRule proceeding {u'O', u'C', {QStringLiteral("T1"), QStringLiteral("TI"), QStringLiteral("%T")},
        {},
        {QStringLiteral("JO"), QStringLiteral("JF"), QStringLiteral("J2"), QStringLiteral("%W"), QStringLiteral("%B")},
        {}, {QStringLiteral("CY")}};
    static const TTypeRule dissertation {u'D', u'D', {QStringLiteral("BT"), QStringLiteral("TI"), QStringLiteral("%T")},
        {QStringLiteral("T1")}, {QStringLiteral("PB"), QStringLiteral("%P")}, {}, {}};
    static const TTypeRule patent {u'P', u'A',
        {QStringLiteral("BT"), QStringLiteral("TI"), QStringLiteral("T1"), QStringLiteral("%T")},
        {QStringLiteral("T1")}, {QStringLiteral("PB"), QStringLiteral("%P")}, {}, {}};
    static const TTypeRule book {u'B', u'P', {QStringLiteral("BT"), QStringLiteral("TI"), QStringLiteral("%T")}, {},
        {QStringLiteral("PB"), QStringLiteral("%P")}, {}, {QStringLiteral("CY")}};
    // Electronic and full-journal articles are journal articles too; theses are dissertations.
    if (type == u"JOUR" || type == u"ABST" || type == u"EJOUR" || type == u"JFULL"
        || type.compare(u"JOURNAL ARTICLE", Qt::CaseInsensitive) == 0)
        return journal;
    if (type == u"CHAP")
        return chapter;
    if (type == u"CONF" || type == u"PROC" || type.compare(u"CONFERENCE PROCEEDINGS", Qt::CaseInsensitive) == 0)
        return proceeding;
    if (type == u"DISS" || type == u"THES")
        return dissertation;
    if (type == u"PATN" || type == u"GEN")
        return patent;
    return book;
}

// Column widths of the library: longer values are cut rather than losing the whole record.
QString Fit(const QString &value, int width)
{
    return value.size() > width ? value.left(width) : value;
}

// "10.1000/xyz" from "10.1000/xyz", "doi:10.1000/xyz" or a resolver address; empty when it holds no DOI.
QString CleanDoi(const QString &value)
{
    static const QRegularExpression doi(
        QStringLiteral("^\\s*(?:doi:\\s*|https?://(?:dx\\.)?doi\\.org/)?(10\\.\\d{3,9}/\\S.*?)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = doi.match(value);
    return match.hasMatch() ? match.captured(1) : QString();
}

// Initials such as "D.G.", "JJ" or "J.-P.": what bibliographic databases put after the last name.
bool IsInitials(const QString &word)
{
    static const QRegularExpression initials(QStringLiteral("^(?:\\p{Lu}[.\\-]{0,2}){1,4}$"));
    return initials.match(word).hasMatch();
}

// "Ivanov, Ivan" or "Adler D.G.": a name written last name first, as bibliographic databases write it; none
// for other forms. After a comma the first name starts past one blank; trailing blanks are dropped.
std::optional<TAuthorRecord> LastNameFirst(const QString &text, bool trimFirst)
{
    const qsizetype comma = text.indexOf(u',');
    if (comma >= 0) {
        qsizetype first = comma + 1;
        if (first < text.size() && text[first] == u' ')
            ++first;
        QString firstName = text.mid(first);
        while (!firstName.isEmpty() && firstName.back().isSpace())
            firstName.chop(1);
        return TAuthorRecord {0, trimFirst ? firstName.trimmed() : firstName, text.left(comma)};
    }
    const QString name = text.trimmed();
    const qsizetype blank = name.lastIndexOf(u' ');
    if (blank > 0 && IsInitials(name.mid(blank + 1)))
        return TAuthorRecord {0, name.mid(blank + 1), name.left(blank).trimmed()};
    return std::nullopt;
}

// The name of an AU or %A line: last name first, failing that the whole text as the last name.
TAuthorRecord TaggedName(const QString &text, bool trimFirst)
{
    return LastNameFirst(text, trimFirst).value_or(TAuthorRecord {0, QString(), text.trimmed()});
}

QDate ReadDateAdded(const QString &value)
{
    // Our own form first (a backup is read on any machine), then the machine's short date format.
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})[/-](\\d{1,2})[/-](\\d{1,2})/?$"));
    const QRegularExpressionMatch match = iso.match(value.trimmed());
    if (match.hasMatch())
        return QDate(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    return QLocale::system().toDate(value.trimmed(), QLocale::ShortFormat);
}

int ReadYear(const QString &value, const QDateTime &now)
{
    if (value.trimmed().isEmpty())
        return now.date().year();
    static const QRegularExpression fourDigits(QStringLiteral("(?<!\\d)(\\d{4})(?!\\d)"));
    const QRegularExpressionMatch match = fourDigits.match(value);
    if (match.hasMatch())
        return match.captured(1).toInt();
    bool ok = false;
    const int year = value.left(4).trimmed().toInt(&ok, 10);
    if (!ok)
        throw EVarnelError(QStringLiteral("'%1' is not a valid integer value").arg(value.left(4)));
    return year;
}

} // namespace

TRISImporter::TRISImporter(TdmMain &DataModule, TUserPrompts &prompts)
    : DM(DataModule)
    , FPrompts(prompts)
    , FClock([] { return QDateTime::currentDateTime(); })
{ }

TRISImporter::TOutcome TRISImporter::Parse(const QStringList &Input, bool IgnoreDate)
{
    int jid = 0, pid = 0;
    return Parse(Input, IgnoreDate, jid, pid);
}

// A record ends at an empty line, at its "ER" line, where the next record begins, or with the input. A record
// that is only ever closed by the next "TY" keeps its own lines: exports without empty lines between records
// lose nothing.
TRISImporter::TOutcome TRISImporter::Parse(const QStringList &Input, bool IgnoreDate, int &JID, int &PID)
{
    TOutcome outcome;
    TdmMain::TBatch batch(DM);
    FJournalIds.clear();
    const auto runRecord = [&](qsizetype from, qsizetype to) {
        SL = Input.mid(from, to - from + 1);
        ++outcome.Records;
        try {
            ParseRecord(IgnoreDate, JID, PID);
            ++outcome.Stored;
        } catch (const EVarnelError &error) {
            ++outcome.Failed;
            QString lines;
            for (const QString &line : std::as_const(SL))
                lines += line + QStringLiteral("\r\n");
            FPrompts.ShowMessage(
                QStringLiteral("Can't parse data: \r\n ") + lines + QStringLiteral(" \n\r ") + error.Message(),
                TMessageKind::mkError);
        }
    };
    bool open = false;
    qsizetype start = 0;
    const qsizetype last = Input.size() - 1;
    for (qsizetype i = 0; i <= last; ++i) {
        const QString &line = Input[i];
        if (IsRecordStart(line)) {
            if (open)
                runRecord(start, i - 1);
            open = true;
            start = i;
            if (i == last)
                runRecord(start, i);
            continue;
        }
        if (open && (line.isEmpty() || IsRecordEnd(line) || i == last)) {
            runRecord(start, i);
            open = false;
        }
    }
    batch.Commit();
    if (outcome.Records == 0 && !Input.isEmpty())
        FPrompts.ShowMessage(
            QStringLiteral("No citation records found: a RIS record begins with a \"TY  - \" line and a "
                           "tagged-text record with a \"%0 \" line."),
            TMessageKind::mkWarning);
    return outcome;
}

// The earliest line of the record that carries one of the tags wins. A tagged-text value ("%T Title") ends the
// lookup even when empty; an empty RIS value lets it go on, and a RIS value takes the following lines that
// carry no tag of their own, joined without separators.
QString TRISImporter::GetTagValue(const QStringList &tags) const
{
    for (qsizetype i = 0; i < SL.size(); ++i) {
        const QString &line = SL[i];
        for (const QString &tag : tags) {
            if (!line.startsWith(tag))
                continue;
            if (tag.contains(u'%'))
                return line.mid(3).trimmed();
            QString value = line.mid(6);
            if (value.isEmpty())
                continue;
            for (qsizetype next = i + 1; next < SL.size() && !SL[next].left(5).contains(QLatin1String("  -")); ++next)
                value += SL[next];
            return value.trimmed();
        }
    }
    return {};
}

void TRISImporter::ReadAuthors(TPaperRecord &paper) const
{
    for (const QString &line : SL) {
        if (line.startsWith(u"%A")) {
            paper.AuthorList.append(TaggedName(line.mid(line.indexOf(u' ') + 1), true));
        } else if (line.startsWith(u"AU")) {
            const QString name = line.mid(6);
            if (!name.trimmed().isEmpty())
                paper.AuthorList.append(TaggedName(name, false));
        } else if (line.startsWith(u"A1")) {
            QString names = line.mid(6);
            names.replace(QStringLiteral(" and "), QStringLiteral(";"));
            for (const QString &name : names.split(u';')) {
                if (name.trimmed().isEmpty())
                    continue;
                // Names written last name first are read so; other names split at their second blank when
                // they have two ("Peter P. Petrov"), else at the first.
                if (const auto author = LastNameFirst(name.trimmed(), true)) {
                    paper.AuthorList.append(*author);
                    continue;
                }
                qsizetype split = name.indexOf(u' ');
                if (split >= 0 && name.indexOf(u' ', split + 1) >= 0)
                    split = name.indexOf(u' ', split + 1);
                if (split < 0)
                    paper.AuthorList.append({0, QString(), name});
                else
                    paper.AuthorList.append({0, name.left(split), name.mid(split + 1)});
            }
        }
    }
    for (TAuthorRecord &author : paper.AuthorList) {
        author.First = Fit(author.First, 30);
        author.Last = Fit(author.Last, 30);
    }
}

void TRISImporter::ParseRecord(bool IgnoreDate, int &JID, int &PID)
{
    // The record's first line is its "TY" or "%0" line, perhaps behind a byte-order mark or blanks.
    if (!SL.isEmpty())
        SL.front() = Bare(SL.front()).toString();
    const QDateTime now = FClock();
    TPaperRecord paper;
    auto journal = std::make_shared<TJournalRecord>();
    paper.Journal = journal;

    const TTypeRule &rule = TypeRule(GetTagValue({QStringLiteral("TY"), QStringLiteral("PT"), QStringLiteral("%0")}));
    paper.PType = rule.PType;
    journal->JType = rule.JType;
    paper.Title = Fit(GetTagValue(rule.Title), 250);
    if (!rule.SubTitle.isEmpty())
        paper.SubTitle = Fit(GetTagValue(rule.SubTitle), 250);
    journal->Title = GetTagValue(rule.Container);
    // Exports name a chapter's book and a paper's conference in T2 or BT: they serve as the container when the
    // usual tags are missing.
    if (journal->Title.isEmpty() && (rule.PType == u'C' || rule.PType == u'O'))
        journal->Title = GetTagValue({QStringLiteral("T2"), QStringLiteral("BT")});
    journal->Title = Fit(journal->Title, 150);
    if (!rule.Abbreviation.isEmpty())
        journal->Abbrv = Fit(GetTagValue(rule.Abbreviation), 80);
    if (!rule.City.isEmpty())
        journal->City = Fit(GetTagValue(rule.City), 250);
    if (paper.PType == u'J') {
        if (journal->Abbrv.isEmpty())
            journal->Abbrv = QStringLiteral("NOT SPECIFIED");
        if (journal->Title.isEmpty())
            journal->Title = journal->Abbrv;
    }

    if (journal->JType == u'A') {
        paper.JID = 1;
    } else if (journal->JType == u'D') {
        paper.JID = 2;
    } else {
        if (journal->Title.isEmpty())
            throw EVarnelError(QStringLiteral("Journal title not found!"));
        paper.JID = FJournalIds.value(journal->Title);
        if (paper.JID == 0)
            paper.JID = DM.GetJournalID(journal->Title);
        if (paper.JID == 0) {
            journal->ID = -1;
            DM.UpdateJournal(*journal);
            paper.JID = DM.GetJournalID(journal->Title);
            if (paper.JID == 0)
                throw EVarnelError(QStringLiteral("The journal \"%1\" could not be stored").arg(journal->Title));
        }
        FJournalIds.insert(journal->Title, paper.JID);
    }
    journal->ID = paper.JID;
    if (paper.JID == 1 || paper.JID == 2) {
        // The seeded containers: the paper's folder and file name derive from their stored titles.
        if (const PJournalRecord stored = DM.GetJournal(paper.JID))
            paper.Journal = stored;
    }
    JID = paper.JID;

    for (const QString &line : SL)
        if (line.startsWith(u"KW"))
            paper.Keywords += u' ' + line.mid(6);
    paper.Keywords = Fit(paper.Keywords, 500);
    paper.Year = ReadYear(
        GetTagValue({QStringLiteral("PY"), QStringLiteral("Y1"), QStringLiteral("%D"), QStringLiteral("DEP")}), now);

    const QString firstPage = GetTagValue({QStringLiteral("SP"), QStringLiteral("%P")});
    const qsizetype dash = firstPage.indexOf(u'-');
    if (dash >= 0) {
        paper.PS = firstPage.left(dash);
        paper.PE = firstPage.mid(dash + 1);
    } else {
        paper.PS = firstPage;
        paper.PE = GetTagValue({QStringLiteral("EP")});
    }
    if (paper.PS.isEmpty())
        paper.PS = QStringLiteral("0");
    paper.PS = Fit(paper.PS, 15);
    paper.PE = Fit(paper.PE, 15);

    ReadAuthors(paper);
    paper.Volume = Fit(GetTagValue({QStringLiteral("VL"), QStringLiteral("%V")}), 20);
    paper.Abst = GetTagValue({QStringLiteral("AB"), QStringLiteral("%X"), QStringLiteral("N2")});
    paper.URL = Fit(GetTagValue({QStringLiteral("UR"), QStringLiteral("%U")}), 500);
    paper.Issue = Fit(GetTagValue({QStringLiteral("IS"), QStringLiteral("%N")}), 20);
    QString doi = CleanDoi(GetTagValue({QStringLiteral("M3")}));
    if (doi.isEmpty())
        doi = CleanDoi(GetTagValue({QStringLiteral("DO")}));
    paper.DOI = Fit(doi, 500);

    // In database exports AD is often the authors' address: a value that is no date counts as no date.
    const QDate added = ReadDateAdded(GetTagValue({QStringLiteral("AD")}));
    if (added.isValid())
        paper.Added = added;
    else if (!IgnoreDate)
        paper.Added = now.date();

    paper.FileName = PaperFileName(paper);
    const int id = DM.UpdatePaper(paper);
    if (id == 0)
        throw EVarnelError(QStringLiteral("The paper could not be stored in the library"));
    PID = id;
}
