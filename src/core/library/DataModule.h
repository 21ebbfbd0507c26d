#pragma once

#include "Firebird.h"
#include "records/LibraryRecords.h"

#include <QDateTime>
#include <QHash>
#include <QRecursiveMutex>
#include <QString>

#include <functional>
#include <memory>

class TUserPrompts;

// The rows of the last Open, walked row by row and read by column name. NULL reads as 0, "" or an invalid date.
class TQuery
{
public:
    void Assign(TFbResult result);
    void Close();

    bool IsEmpty() const { return FResult.RowCount() == 0; }
    std::size_t RecordCount() const { return FResult.RowCount(); }
    void First() { FRow = 0; }
    void Last() { FRow = FResult.RowCount() ? FResult.RowCount() - 1 : 0; }
    void Next() { ++FRow; }
    bool Eof() const { return FRow >= FResult.RowCount(); }

    // Where both joined tables carry a column of that name, the one from PAPERS is read.
    int FieldIndex(const QString &name) const { return FResult.ColumnIndex(name, QStringLiteral("PAPERS")); }
    bool HasField(const QString &name) const { return FieldIndex(name) >= 0; }
    int AsInteger(int field) const;
    qint64 AsInt64(int field) const;
    QString AsString(int field) const;
    QDate AsDate(int field) const;
    int AsInteger(const QString &name) const { return AsInteger(FieldIndex(name)); }
    QString AsString(const QString &name) const { return AsString(FieldIndex(name)); }
    QDate AsDate(const QString &name) const { return AsDate(FieldIndex(name)); }
    // First column of the current row as an integer, 0 when there is no row.
    int FirstAsInteger() const { return Eof() ? 0 : AsInteger(0); }

private:
    const QVariant *Cell(int field) const;

    TFbResult FResult;
    std::size_t FRow = 0;
};

// The data module: the one connection to the library database and every read and write of it. Each operation
// holds one lock for its whole length, so the download worker's SetLocal never interleaves with the main
// thread's work on the single connection, transaction and query.
class TdmMain final
{
public:
    // libraryFolder gives the library folder (with a trailing delimiter) each time a paper's file is placed.
    TdmMain(TUserPrompts &prompts, std::function<QString()> libraryFolder);
    ~TdmMain();
    Q_DISABLE_COPY_MOVE(TdmMain)

    static constexpr const char *UserName = "SYSDBA";
    static constexpr const char *Password = "pinegrove";
    static constexpr const char *RoleName = "3";
    static constexpr int PageSize = 8192;

    // --- connection -----------------------------------------------------------------------------------------
    const QString &DBFileName() const { return FDBFileName; }
    void SetDBFileName(const QString &fileName) { FDBFileName = fileName; }
    bool Connected() const { return FAttachment != nullptr; }
    bool Connect();
    void Disconnect();
    bool CreateDatabase();
    bool CheckDBStructure();
    void UpdateDB(const QString &fileName);
    // The start-up sequence: connect to (or create) dbFileName, run the update script when asked or when the
    // structure is outdated. True when the library is connected.
    bool OpenLibrary(const QString &dbFileName, const QString &updateFileName, bool updateRequested);
    // A "host:/path" or "host/port:/path" name reaches a Firebird server rather than a local file.
    static bool IsServerName(const QString &databaseName);

    // --- primitives -------------------------------------------------------------------------------------------
    int Open(const QString &sql);
    int Exec(const QString &sql);
    void ExecTransaction(const QString &sql);
    TQuery &Query() { return FQuery; }

    // A batch of writes in one transaction: every operation inside it runs under a savepoint of its own, so a
    // failing record is skipped while the batch commits once. The lock is held until the batch ends.
    class TBatch final
    {
    public:
        explicit TBatch(TdmMain &dm);
        ~TBatch(); // rolls the whole batch back unless committed
        Q_DISABLE_COPY_MOVE(TBatch)
        void Commit();

    private:
        TdmMain &FDm;
        bool FDone = false;
    };

    // --- journals and papers ----------------------------------------------------------------------------------
    void GetJournals(TJournals &list);
    PJournalRecord GetJournal(int id);
    int GetJournalID(const QString &title);
    void UpdateJournal(const TJournalRecord &journal);
    void DeleteJournal(int id);
    void UpdatePaths(const QString &path, const QString &oldJournalTitle, const TJournalRecord &journal);

    void PrepareAllPaperList();
    void PreparePaperJID(int jid);
    void PreparePaper(const QString &fileName);
    void PreparePaper(int id);
    void GetPapers(TPapers &list, bool includeOrd = false);
    int UpdatePaper(TPaperRecord &paper);
    void DeletePaper(int id);
    void DeleteAuthor(int id);
    void SetLocal(int id, bool state);
    void SetLocal(int id, const QString &folder, const QString &name, const QString &ext, bool state);
    void SetLocal(const TPaperRecord &paper);
    void GetStats(TStatRecord &stats);

    // --- groups and templates ---------------------------------------------------------------------------------
    void GetGroups(TGroups &list);
    void AddGroup(const QString &name, int code);
    void UpdateGroup(int id, const QString &title);
    int CountGroupFolders();
    void UpdateGroupFolder(int groupID, int code);
    void DeleteGoup(int id);
    void ClearGoup(int id);
    void AddToGroup(int gid, const TPaperRefs &papers);
    void AddToGroup(int gid, const TPapers &papers) { AddToGroup(gid, PaperRefs(papers)); }
    void AddToGroupByName(const QString &group, const QString &paperFileName);
    void DeleteFromGroup(int gid, const TPaperRefs &papers);
    void DeleteFromGroup(int gid, const TPapers &papers) { DeleteFromGroup(gid, PaperRefs(papers)); }
    void UpdateOrder(int gid, const TPaperRefs &papers);
    void UpdateOrder(int gid, const TPapers &papers) { UpdateOrder(gid, PaperRefs(papers)); }
    void UpdateGroups(int oldGID, int newGID, const TPaperRefs &papers);
    void UpdateGroups(int oldGID, int newGID, const TPapers &papers)
    {
        UpdateGroups(oldGID, newGID, PaperRefs(papers));
    }
    void PreparePaperByGroup(int gid);
    void PreparePaperByInGroupNo(int groupID, int no, TPapers &papers);

    void GetTemplates(TTemplates &list);
    void GetTemplateByTitle(const QString &title, TTemplateRecord &style);
    void SetTemplates(const TTemplates &templates);
    void DeleteTemplate(int id);
    void DeleteTemplField(int id);
    void ClearTemplates();

    // --- search -----------------------------------------------------------------------------------------------
    // Builds and opens the field search; errors of the statement reach the caller.
    void Search(const QString &id, const QString &author, const QString &journal, const QString &title,
        const QString &year, const QString &vol, const QString &issue, const QString &page, const QString &keyword,
        const QString &abs, const QString &dateText, int dateIndex);
    // The clock of the date choices; tests set a fixed one.
    void SetClock(std::function<QDateTime()> clock) { FClock = std::move(clock); }

private:
    // A write of several statements: its own transaction, or a savepoint inside a batch. Rolls back unless
    // committed.
    class TWriteScope final
    {
    public:
        explicit TWriteScope(TdmMain &dm);
        ~TWriteScope();
        Q_DISABLE_COPY_MOVE(TWriteScope)
        void Commit();

    private:
        TdmMain &FDm;
        QString FSavepoint;
        bool FDone = false;
    };

    void RollbackActive();
    // A statement the library's structure could not answer.
    void ReportStructureMismatch();
    TFbTransaction &CurrentTransaction();
    TFbResult InTransaction(bool write, const std::function<TFbResult(TFbTransaction &)> &work);
    TFbResult RawQuery(const QString &sql, std::size_t maxRows = std::size_t(-1));
    // sql prepared on this connection, once.
    std::shared_ptr<TFbStatement> Prepared(TFbTransaction &transaction, const QString &sql);
    // Runs sql with "?" parameters, prepared once per connection: as a write in the current transaction, or as a
    // read like RawQuery.
    TFbResult Run(const QString &sql, const TFbParams &params, bool write);
    // Runs a read with "?" parameters once for each set of values, all in one transaction, handing each run's
    // rows to rows as they come.
    void RunEach(
        const QString &sql, const std::vector<TFbParams> &valueSets, const std::function<void(TFbResult)> &rows);
    // The first column of the first row as an integer (0 without a row), read with "?" parameters; the open
    // query stays as it is.
    int OpenInteger(const QString &sql, const TFbParams &params = {});
    bool InGroup(int gid, int pid);
    void RunWrites(const std::function<void()> &writes);
    void MovePaperFile(const QString &oldPath, const QString &newPath);
    void KeepStoredFile(TPaperRecord &paper, const QString &folder, const QString &fileName, const QString &ext);
    // The rows of table whose column holds one of ids, in a few statements, each statement's rows to rows:
    // runs of close IDs as ranges (with rows beyond the set), the others through a prepared lookup of a few
    // at a time, some 5 us an ID, where an IN list of literals costs the engine some 50 us a value to parse.
    void ReadByIds(
        const QString &table, const QString &column, const QList<int> &ids, const std::function<void(TQuery &)> &rows);
    void LoadAuthorsAndJournals(TPapers &list);
    void RefreshIndexStatistics();

    TUserPrompts &FPrompts;
    std::function<QString()> FLibraryFolder;
    std::function<QDateTime()> FClock;
    QString FDBFileName;
    std::unique_ptr<TFbAttachment> FAttachment;
    std::unique_ptr<TFbTransaction> FTransaction;
    TQuery FQuery;
    QRecursiveMutex FLock;
    QHash<QString, std::shared_ptr<TFbStatement>> FStatements; // prepared for this connection
    int FBatchDepth = 0;
    int FSavepointDepth = 0;
};
