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
    return OpenInteger(QStringLiteral("SELECT Id FROM Journals WHERE Title = ") + QuotedStr(title));
}

void TdmMain::UpdateJournal(const TJournalRecord &journal)
{
    const QString values = QuotedChar(journal.JType) + QStringLiteral(", ") + QuotedStr(journal.Title) + QStringLiteral(", ") +
                           QuotedStr(journal.City) + QStringLiteral(", ") + QuotedStr(journal.Abbrv) + QStringLiteral(", ") +
                           QuotedStr(journal.Impact) + QStringLiteral(", ") + QuotedStr(journal.URL) + QStringLiteral(", ") +
                           QuotedStr(journal.Comment);
    if (journal.ID == -1)
        ExecTransaction(QStringLiteral("UPDATE OR INSERT INTO Journals (JType, Title, City, Abbrv, Impact, URL, Comment) values (") +
                        values + QStringLiteral(" ) matching(Title);"));
    else
        ExecTransaction(QStringLiteral("UPDATE OR INSERT INTO Journals (ID, JType, Title, City, Abbrv, Impact, URL, Comment) values (%1, ")
                            .arg(journal.ID) +
                        values + QStringLiteral(" ) matching(ID);"));
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
              fSubTitle = FQuery.FieldIndex(QStringLiteral("SUBTITLE")), fYear = FQuery.FieldIndex(QStringLiteral("PY")),
              fVol = FQuery.FieldIndex(QStringLiteral("VOL")), fIssue = FQuery.FieldIndex(QStringLiteral("ISSUE")),
              fPs = FQuery.FieldIndex(QStringLiteral("PS")), fPe = FQuery.FieldIndex(QStringLiteral("PE")),
              fUrl = FQuery.FieldIndex(QStringLiteral("URL")), fDoi = FQuery.FieldIndex(QStringLiteral("DOI")),
              fAbst = FQuery.FieldIndex(QStringLiteral("ABSTRACT")), fKeywords = FQuery.FieldIndex(QStringLiteral("KEYWORDS")),
              fFolder = FQuery.FieldIndex(QStringLiteral("FOLDER")), fFileName = FQuery.FieldIndex(QStringLiteral("FILENAME")),
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
    for (const QString &condition : IdConditions(QStringLiteral("PID"), paperIds)) {
        if (!Open(QStringLiteral("SELECT * FROM Authors WHERE ") + condition + QStringLiteral(" ORDER BY PID, ID")))
            continue;
        const int fId = FQuery.FieldIndex(QStringLiteral("ID")), fPid = FQuery.FieldIndex(QStringLiteral("PID")),
                  fFirst = FQuery.FieldIndex(QStringLiteral("FIRST")), fLast = FQuery.FieldIndex(QStringLiteral("LAST"));
        for (FQuery.First(); !FQuery.Eof(); FQuery.Next()) {
            const auto owner = authors.find(FQuery.AsInteger(fPid));
            if (owner != authors.end())
                owner->append({FQuery.AsInteger(fId), FQuery.AsString(fFirst), FQuery.AsString(fLast)});
        }
    }
    QHash<int, PJournalRecord> journals;
    for (const QString &condition : IdConditions(QStringLiteral("ID"), journalIds)) {
        if (!Open(QStringLiteral("SELECT * FROM Journals WHERE ") + condition))
            continue;
        for (FQuery.First(); !FQuery.Eof(); FQuery.Next()) {
            PJournalRecord journal(ReadJournal(FQuery));
            journals.insert(journal->ID, journal);
        }
    }
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
    const QString values = QuotedChar(paper.PType) + QStringLiteral(", ") + QuotedStr(paper.Title) + QStringLiteral(", ") +
                           QuotedStr(paper.SubTitle) + QStringLiteral(", ") +
                           QuotedStr(paper.Volume) + QStringLiteral(", ") + QString::number(paper.Year) + QStringLiteral(", ") +
                           QuotedStr(paper.PS) + QStringLiteral(", ") + QuotedStr(paper.PE) + QStringLiteral(", ") +
                           QuotedStr(paper.Issue) + QStringLiteral(", ") + QuotedStr(paper.Keywords) + QStringLiteral(", ") +
                           QuotedStr(paper.Abst) + QStringLiteral(", ") + QuotedStr(paper.URL) + QStringLiteral(", ") +
                           QuotedStr(paper.DOI) + QStringLiteral(", ") + QuotedStr(paper.Folder) + QStringLiteral(", ") +
                           QuotedStr(paper.FileName) + QStringLiteral(", ") + QuotedStr(paper.Ext) + QStringLiteral(", ") +
                           LocalFlag(paper.Local) + QStringLiteral(", ") + QuotedDate(paper.Added);
    const auto authorStatement = [&](const TAuthorRecord &author, bool withId, const char *matching) -> QString {
        return QStringLiteral("UPDATE OR INSERT INTO authors (") + (withId ? QStringLiteral("ID, ") : QString()) +
               QStringLiteral("PID, First,  Last)\r\n values (") + (withId ? QStringLiteral("%1, ").arg(author.ID) : QString()) +
               QStringLiteral("%1, ").arg(paper.ID) + QuotedStr(author.First) + QStringLiteral(", ") + QuotedStr(author.Last) +
               QStringLiteral(")\r\n") + QLatin1String(matching);
    };

    const bool isNew = paper.ID == 0;
    try {
        TWriteScope scope(*this);
        if (isNew) {
            Exec(QStringLiteral("UPDATE OR INSERT INTO Papers (JID, ATYPE, Title, SubTitle, Vol, PY, PS, PE, Issue, Keywords, Abstract, URL, "
                                "DOI, Folder, FileName, Ext, Local, Added) values(%1, ")
                     .arg(paper.JID) +
                 values + QStringLiteral(") matching(JID, Title, DOI);"));
            // The row just written is the one with this journal, title and DOI: another paper of the journal
            // under the same title but another DOI must not lend it its ID (the DOI also spares the engine a
            // walk over every paper of the journal).
            const TFbResult found = RawQuery(QStringLiteral("SELECT ID FROM Papers WHERE JID = %1 AND Title = ").arg(paper.JID) +
                                             QuotedStr(paper.Title) + QStringLiteral(" AND DOI = ") + QuotedStr(paper.DOI));
            paper.ID = found.RowCount() ? found.Value(0, 0).toInt() : 0;
            // Without the ID column: an author matched by name keeps the ID it was stored under, where writing
            // the new record's 0 over it would let the next new author of the paper overwrite that row.
            for (const TAuthorRecord &author : paper.AuthorList)
                Exec(authorStatement(author, false, " matching(PID, First, Last);"));
        } else {
            Exec(QStringLiteral("UPDATE OR INSERT INTO Papers (ID, JID, ATYPE, Title, SubTitle, Vol, PY, PS, PE, Issue, Keywords, Abstract, "
                                "URL, DOI, Folder, FileName, Ext, Local, Added) values(%1, %2, ")
                     .arg(paper.ID)
                     .arg(paper.JID) +
                 values + QStringLiteral(") matching(ID);"));
            for (const TAuthorRecord &author : paper.AuthorList)
                Exec(authorStatement(author, true, " matching(ID, PID);"));
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
    ExecTransaction(QStringLiteral("UPDATE Papers SET Local = ") + LocalFlag(state) + QStringLiteral(", Folder = ") +
                    QuotedStr(folder) + QStringLiteral(", FileName = ") + QuotedStr(name) + QStringLiteral(", Ext = ") +
                    QuotedStr(ext) + QStringLiteral("  WHERE ID = %1").arg(id));
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
