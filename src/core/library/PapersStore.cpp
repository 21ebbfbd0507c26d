// The data module's journals, papers and authors.

#include "DataModule.h"
#include "SqlText.h"
#include "shell/FileUtils.h"
#include "shell/PaperFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutexLocker>
#include <QThread>

#include <algorithm>

using TLock = QMutexLocker<QRecursiveMutex>;

namespace {

std::unique_ptr<TJournalRecord> ReadJournal(const TQuery &query)
{
    auto journal = std::make_unique<TJournalRecord>();
    journal->ID = query.AsInteger(QStringLiteral("ID"));
    journal->Title = query.AsString(QStringLiteral("TITLE"));
    journal->Abbrv = query.AsString(QStringLiteral("ABBRV"));
    journal->City = query.AsString(QStringLiteral("CITY"));
    journal->URL = query.AsString(QStringLiteral("URL"));
    journal->Impact = query.AsString(QStringLiteral("IMPACT"));
    journal->Comment = query.AsString(QStringLiteral("COMMENT"));
    const QString type = query.AsString(QStringLiteral("JTYPE"));
    journal->JType = type.isEmpty() ? QChar(u'J') : type.front();
    return journal;
}

// Most authors per statement: keeps the block's text well below the engine's 64 KiB statement limit.
constexpr qsizetype AuthorsPerBlock = 50;

// One statement for a run of a new paper's authors, in list order: each one updates the paper's authors of its
// name (without letter case, as UPDATE OR INSERT ... matching(PID, First, Last) would) or is added. The plan
// is fixed to the paper's index: an engine left to choose may walk every author of the same name.
// Parameters: the paper's ID, then first and last name of each author.
QString AuthorsBlock(qsizetype count)
{
    QString params = QStringLiteral("P TYPE OF COLUMN AUTHORS.PID = ?");
    QString body;
    for (qsizetype i = 0; i < count; ++i) {
        params += QStringLiteral(", F%1 TYPE OF COLUMN AUTHORS.\"FIRST\" = ?, L%1 TYPE OF COLUMN AUTHORS.\"LAST\" = ?")
                      .arg(i);
        body += QStringLiteral(
            "UPDATE Authors SET First = :F%1, Last = :L%1 WHERE PID = :P AND First IS NOT DISTINCT FROM :F%1 "
            "AND Last IS NOT DISTINCT FROM :L%1 PLAN (Authors INDEX (AUTHORS_PID));\n"
            "IF (ROW_COUNT = 0) THEN INSERT INTO Authors (PID, First, Last) VALUES (:P, :F%1, :L%1);\n")
                    .arg(i);
    }
    return QStringLiteral("EXECUTE BLOCK (") + params + QStringLiteral(") AS BEGIN\n") + body + QStringLiteral("END");
}

QString LocalFlag(bool local)
{
    return local ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

// --- journals -------------------------------------------------------------------------------------------------

void TdmMain::GetJournals(TJournals &list)
{
    TLock lock(&FLock);
    list.clear();
    Open(QStringLiteral("SELECT * FROM Journals ORDER BY Title"));
    for (FQuery.First(); !FQuery.Eof(); FQuery.Next())
        list.push_back(ReadJournal(FQuery));
}

PJournalRecord TdmMain::GetJournal(int id)
{
    TLock lock(&FLock);
    if (!Open(QStringLiteral("SELECT * FROM Journals WHERE ID = %1").arg(id)))
        return nullptr;
    return PJournalRecord(ReadJournal(FQuery));
}

int TdmMain::GetJournalID(const QString &title)
{
    return OpenInteger(QStringLiteral("SELECT Id FROM Journals WHERE Title = ?"), {title});
}

void TdmMain::UpdateJournal(const TJournalRecord &journal)
{
    TFbParams values = {journal.JType.isNull() ? QString() : QString(journal.JType), journal.Title, journal.City,
        journal.Abbrv, journal.Impact, journal.URL, journal.Comment};
    RunWrites([&] {
        if (journal.ID == -1) {
            Run(QStringLiteral("UPDATE OR INSERT INTO Journals (JType, Title, City, Abbrv, Impact, URL, Comment) "
                               "values (?, ?, ?, ?, ?, ?, ?) matching(Title)"),
                values, true);
        } else {
            values.insert(values.begin(), journal.ID);
            Run(QStringLiteral("UPDATE OR INSERT INTO Journals (ID, JType, Title, City, Abbrv, Impact, URL, Comment) "
                               "values (?, ?, ?, ?, ?, ?, ?, ?) matching(ID)"),
                values, true);
        }
    });
}

void TdmMain::DeleteJournal(int id)
{
    ExecTransaction(QStringLiteral("DELETE FROM Journals WHERE ID = %1").arg(id));
}

void TdmMain::UpdatePaths(const QString &path, const QString &oldJournalTitle, const TJournalRecord &journal)
{
    TLock lock(&FLock);
    const QString newFolder = JournalFolderName(journal.Title);
    MoveFolder(JoinPath(path, JournalFolderName(oldJournalTitle)), JoinPath(path, newFolder));

    PreparePaperJID(journal.ID);
    TPapers papers;
    GetPapers(papers, false);
    for (const auto &paper : papers) {
        if (!paper->Local)
            continue;
        if (!paper->Journal)
            paper->Journal = std::make_shared<TJournalRecord>(journal);
        TJournalRecord &record = *paper->Journal; // shared by the listed papers of this journal
        record.Title = journal.Title;
        const QString newPath = PaperFullPath(path, *paper);
        record.Title = oldJournalTitle;
        PaperFullPath(path, *paper);
        record.Title = journal.Title;
        // The file is at its old place below the renamed journal folder. Only that first level below the
        // library folder is replaced, never a folder of the library path that happens to share the title.
        const QString belowJournal = paper->Folder.mid(paper->Folder.indexOf(u'/') + 1);
        const QString current = JoinPath(path, newFolder + u'/' + belowJournal + paper->FileName + paper->Ext);
        if (current != newPath) {
            ForceFolder(QString(), QFileInfo(newPath).absolutePath());
            MoveFolder(current, newPath);
        }
    }
}

// --- papers ---------------------------------------------------------------------------------------------------

void TdmMain::PrepareAllPaperList()
{
    Open(QStringLiteral("SELECT * FROM Papers ORDER BY Id;"));
}

void TdmMain::PreparePaperJID(int jid)
{
    Open(QStringLiteral("SELECT * FROM Papers WHERE JID = %1 ORDER BY Vol").arg(jid));
}

void TdmMain::PreparePaper(const QString &fileName)
{
    Open(QStringLiteral("SELECT * FROM Papers WHERE FileName = ") + QuotedStr(fileName));
}

void TdmMain::PreparePaper(int id)
{
    Open(QStringLiteral("SELECT * FROM Papers WHERE ID = %1").arg(id));
}

void TdmMain::GetPapers(TPapers &list, bool includeOrd)
{
    TLock lock(&FLock);
    list.clear();
    const int fId = FQuery.FieldIndex(QStringLiteral("ID")), fJid = FQuery.FieldIndex(QStringLiteral("JID")),
              fType = FQuery.FieldIndex(QStringLiteral("ATYPE")), fTitle = FQuery.FieldIndex(QStringLiteral("TITLE")),
              fSubTitle = FQuery.FieldIndex(QStringLiteral("SUBTITLE")),
              fYear = FQuery.FieldIndex(QStringLiteral("PY")), fVol = FQuery.FieldIndex(QStringLiteral("VOL")),
              fIssue = FQuery.FieldIndex(QStringLiteral("ISSUE")), fPs = FQuery.FieldIndex(QStringLiteral("PS")),
              fPe = FQuery.FieldIndex(QStringLiteral("PE")), fUrl = FQuery.FieldIndex(QStringLiteral("URL")),
              fDoi = FQuery.FieldIndex(QStringLiteral("DOI")), fAbst = FQuery.FieldIndex(QStringLiteral("ABSTRACT")),
              fKeywords = FQuery.FieldIndex(QStringLiteral("KEYWORDS")),
              fFolder = FQuery.FieldIndex(QStringLiteral("FOLDER")),
              fFileName = FQuery.FieldIndex(QStringLiteral("FILENAME")),
              fExt = FQuery.FieldIndex(QStringLiteral("EXT")), fLocal = FQuery.FieldIndex(QStringLiteral("LOCAL")),
              fAdded = FQuery.FieldIndex(QStringLiteral("ADDED")), fOrd = FQuery.FieldIndex(QStringLiteral("ORD"));
    list.reserve(FQuery.RecordCount());
    for (FQuery.First(); !FQuery.Eof(); FQuery.Next()) {
        auto paper = std::make_unique<TPaperRecord>();
        paper->ID = FQuery.AsInteger(fId);
        paper->JID = FQuery.AsInteger(fJid);
        const QString type = FQuery.AsString(fType);
        paper->PType = type.isEmpty() ? QChar(u'J') : type.front();
        paper->Title = FQuery.AsString(fTitle);
        paper->SubTitle = FQuery.AsString(fSubTitle);
        paper->Year = FQuery.AsInteger(fYear);
        paper->Volume = FQuery.AsString(fVol);
        paper->Issue = FQuery.AsString(fIssue);
        paper->PS = FQuery.AsString(fPs);
        paper->PE = FQuery.AsString(fPe);
        paper->URL = FQuery.AsString(fUrl);
        paper->DOI = FQuery.AsString(fDoi);
        paper->Abst = FQuery.AsString(fAbst);
        paper->Keywords = FQuery.AsString(fKeywords);
        paper->Folder = FQuery.AsString(fFolder);
        paper->FileName = FQuery.AsString(fFileName);
        paper->Ext = FQuery.AsString(fExt);
        paper->Local = FQuery.AsInteger(fLocal) == 1;
        paper->Added = FQuery.AsDate(fAdded);
        if (includeOrd)
            paper->Ord = FQuery.AsInteger(fOrd);
        list.push_back(std::move(paper));
    }
    LoadAuthorsAndJournals(list);
}

// IDs one run of a lookup statement takes: fewer make more runs, more make each run slower (the engine walks the
// index once per value either way): of 8, 16, 32, 50, 100 and 200, 8 read the authors of 10,000 papers fastest.
constexpr qsizetype LookupsPerRun = 8;

void TdmMain::ReadByIds(
    const QString &table, const QString &column, const QList<int> &ids, const std::function<void(TQuery &)> &rows)
{
    const TIdSelection selection = SelectIds(ids);
    const auto take = [&rows](TFbResult result) {
        TQuery query;
        query.Assign(std::move(result));
        rows(query);
    };
    std::vector<TFbParams> lookups;
    for (qsizetype from = 0; from < selection.Listed.size(); from += LookupsPerRun) {
        TFbParams values;
        for (qsizetype i = 0; i < LookupsPerRun; ++i) // the last run repeats its last ID
            values.push_back(selection.Listed[std::min(from + i, selection.Listed.size() - 1)]);
        lookups.push_back(std::move(values));
    }
    const QStringList marks(LookupsPerRun, QStringLiteral("?"));
    const QString select = QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" WHERE ") + column;
    try {
        for (const auto &[first, last] : selection.Runs)
            take(RawQuery(select + QStringLiteral(" BETWEEN %1 AND %2").arg(first).arg(last)));
        if (!lookups.empty())
            RunEach(select + QStringLiteral(" IN (") + marks.join(QStringLiteral(", ")) + u')', lookups, take);
    } catch (const EVarnelError &) {
        ReportStructureMismatch();
    }
}

// Authors of all listed papers in their stored order (by author ID) and one shared record per journal, in a
// few statements for the whole list rather than one per paper.
void TdmMain::LoadAuthorsAndJournals(TPapers &list)
{
    QList<int> paperIds;
    QList<int> journalIds;
    for (const auto &paper : list) {
        paperIds << paper->ID;
        journalIds << paper->JID;
    }
    // Papers listed twice (a search joined with authors) share one author list.
    QHash<int, TAuthorList> authors;
    for (const auto &paper : list)
        authors.insert(paper->ID, {});
    ReadByIds(QStringLiteral("Authors"), QStringLiteral("PID"), paperIds, [&authors](TQuery &rows) {
        // Unordered: the engine's sort of every author row costs more than ordering each paper's few here.
        const int fId = rows.FieldIndex(QStringLiteral("ID")), fPid = rows.FieldIndex(QStringLiteral("PID")),
                  fFirst = rows.FieldIndex(QStringLiteral("FIRST")), fLast = rows.FieldIndex(QStringLiteral("LAST"));
        for (; !rows.Eof(); rows.Next()) {
            const auto owner = authors.find(rows.AsInteger(fPid));
            if (owner != authors.end())
                owner->append({rows.AsInteger(fId), rows.AsString(fFirst), rows.AsString(fLast)});
        }
    });
    for (TAuthorList &paperAuthors : authors)
        std::sort(paperAuthors.begin(), paperAuthors.end(),
            [](const TAuthorRecord &a, const TAuthorRecord &b) { return a.ID < b.ID; });
    QHash<int, PJournalRecord> journals;
    ReadByIds(QStringLiteral("Journals"), QStringLiteral("ID"), journalIds, [&journals](TQuery &rows) {
        for (; !rows.Eof(); rows.Next()) {
            PJournalRecord journal(ReadJournal(rows));
            journals.insert(journal->ID, journal);
        }
    });
    for (const auto &paper : list) {
        paper->AuthorList = authors.value(paper->ID);
        paper->Journal = journals.value(paper->JID);
    }
    FQuery.Close();
}

void TdmMain::MovePaperFile(const QString &oldPath, const QString &newPath)
{
    if (oldPath.isEmpty() || oldPath == newPath || !QFileInfo(oldPath).isFile())
        return;
    ForceFolder(QString(), QFileInfo(newPath).absolutePath());
    if (!ReplaceFileWithCopy(oldPath, newPath).isEmpty())
        return; // the old file stays where it was
    if (!QFile::remove(oldPath)) {
        QThread::msleep(100);
        QFile::remove(oldPath);
    }
}

int TdmMain::UpdatePaper(TPaperRecord &paper)
{
    TLock lock(&FLock);
    const QString library = FLibraryFolder();
    QString oldPath;
    if (paper.FileName.isEmpty())
        paper.FileName = PaperFileName(paper);
    else
        oldPath = StoredPaperPath(library, paper);
    const QString newPath = PaperFullPath(library, paper);
    MovePaperFile(oldPath, newPath);

    // SUBTITLE is written too: an imported chapter's own title lives there.
    const auto withIds = [&paper](std::initializer_list<QVariant> ids) {
        TFbParams params(ids);
        params.insert(params.end(),
                      {paper.PType.isNull() ? QString() : QString(paper.PType), paper.Title, paper.SubTitle, paper.Volume,
                       paper.Year, paper.PS, paper.PE, paper.Issue, paper.Keywords, paper.Abst, paper.URL, paper.DOI,
                       paper.Folder, paper.FileName, paper.Ext, paper.Local ? 1 : 0,
                       paper.Added.isValid() ? QVariant(paper.Added) : QVariant()});
        return params;
    };
    const bool isNew = paper.ID == 0;
    try {
        TWriteScope scope(*this);
        if (isNew) {
            // The rows of this journal, title and DOI (compared as UPDATE OR INSERT would, without letter case and
            // NULL matching NULL) are updated, else a row is added; another paper of the journal under the same
            // title but another DOI keeps its own ID. The plan keeps the engine on the title index alone: walking the
            // journal index too would visit every paper of the journal for each one written.
            const QString match = QStringLiteral(
                " WHERE Title = ? AND JID = ? AND DOI IS NOT DISTINCT FROM ? PLAN (Papers INDEX (PAPERS_TITLE))");
            const TFbParams matchParams = {paper.Title, paper.JID, paper.DOI};
            const TFbResult found
                = Run(QStringLiteral("SELECT ID, Folder, FileName, Ext, Local FROM Papers") + match, matchParams, false);
            if (found.RowCount()) {
                if (found.Value(0, 4).toInt() == 1 && !paper.Local)
                    KeepStoredFile(paper, found.Value(0, 1).toString(), found.Value(0, 2).toString(), found.Value(0, 3).toString());
                TFbParams params = withIds({paper.JID});
                params.insert(params.end(), matchParams.begin(), matchParams.end());
                Run(QStringLiteral("UPDATE Papers SET JID = ?, ATYPE = ?, Title = ?, SubTitle = ?, Vol = ?, PY = ?, PS = ?, "
                                   "PE = ?, Issue = ?, Keywords = ?, Abstract = ?, URL = ?, DOI = ?, Folder = ?, "
                                   "FileName = ?, Ext = ?, Local = ?, Added = ?")
                        + match,
                    params, true);
                paper.ID = found.Value(0, 0).toInt();
            } else {
                const TFbResult stored = Run(
                    QStringLiteral(
                        "INSERT INTO Papers (JID, ATYPE, Title, SubTitle, Vol, PY, PS, PE, Issue, Keywords, Abstract, "
                        "URL, DOI, Folder, FileName, Ext, Local, Added) "
                        "values(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING ID"),
                    withIds({paper.JID}), true);
                paper.ID = stored.RowCount() ? stored.Value(0, 0).toInt() : 0;
            }
            // Without the ID column: an author matched by name keeps the ID it was stored under, where writing
            // the new record's 0 over it would let the next new author of the paper overwrite that row.
            const TAuthorList &authors = paper.AuthorList;
            for (qsizetype from = 0; from < authors.size(); from += AuthorsPerBlock) {
                const qsizetype count = std::min(AuthorsPerBlock, authors.size() - from);
                TFbParams params {paper.ID};
                for (qsizetype i = from; i < from + count; ++i) {
                    params.push_back(authors[i].First);
                    params.push_back(authors[i].Last);
                }
                Run(AuthorsBlock(count), params, true);
            }
        } else {
            Run(QStringLiteral(
                    "UPDATE OR INSERT INTO Papers (ID, JID, ATYPE, Title, SubTitle, Vol, PY, PS, PE, Issue, Keywords, "
                    "Abstract, URL, DOI, Folder, FileName, Ext, Local, Added) "
                    "values(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) matching(ID)"),
                withIds({paper.ID, paper.JID}), true);
            for (const TAuthorRecord &author : paper.AuthorList)
                Run(QStringLiteral(
                        "UPDATE OR INSERT INTO authors (ID, PID, First, Last) values (?, ?, ?, ?) matching(ID, PID)"),
                    {author.ID, paper.ID, author.First, author.Last}, true);
        }
        scope.Commit();
    } catch (const EVarnelError &) {
        // Rolled back by the scope and not reported. A new paper's row is gone with it, so it keeps no ID.
        if (isNew)
            paper.ID = 0;
        return 0;
    }
    return isNew ? paper.ID : 0;
}

// A citation stored again over a paper that has its file (an import of the same record) carries no file of its
// own: the paper keeps its file, under the extension it had, moved to where the new record's titles place it.
void TdmMain::KeepStoredFile(TPaperRecord &paper, const QString &folder, const QString &fileName, const QString &ext)
{
    const QString library = FLibraryFolder();
    TPaperRecord stored;
    stored.Folder = folder;
    stored.FileName = fileName;
    stored.Ext = ext;
    if (paper.Ext.isEmpty())
        paper.Ext = ext;
    const QString target = PaperFullPath(library, paper);
    MovePaperFile(StoredPaperPath(library, stored), target);
    paper.Local = QFileInfo(target).isFile();
}

void TdmMain::DeletePaper(int id)
{
    ExecTransaction(QStringLiteral("DELETE FROM Papers WHERE ID = %1").arg(id));
}

void TdmMain::DeleteAuthor(int id)
{
    ExecTransaction(QStringLiteral("DELETE FROM Authors WHERE ID = %1").arg(id));
}

void TdmMain::SetLocal(int id, bool state)
{
    ExecTransaction(QStringLiteral("UPDATE Papers SET Local = %1 WHERE ID = %2").arg(LocalFlag(state)).arg(id));
}

void TdmMain::SetLocal(int id, const QString &folder, const QString &name, const QString &ext, bool state)
{
    ExecTransaction(QStringLiteral("UPDATE Papers SET Local = ") + LocalFlag(state) + QStringLiteral(", Folder = ")
        + QuotedStr(folder) + QStringLiteral(", FileName = ") + QuotedStr(name) + QStringLiteral(", Ext = ")
        + QuotedStr(ext) + QStringLiteral("  WHERE ID = %1").arg(id));
}

void TdmMain::SetLocal(const TPaperRecord &paper)
{
    SetLocal(paper.ID, paper.Folder, paper.FileName, paper.Ext, paper.Local);
}

void TdmMain::GetStats(TStatRecord &stats)
{
    TLock lock(&FLock);
    stats.Journals = OpenInteger(QStringLiteral("SELECT Count(ID) FROM Journals;"));
    stats.Papers = OpenInteger(QStringLiteral("SELECT Count(ID) FROM Papers;"));
}
