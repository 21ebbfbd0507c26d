#include "DataModule.h"

#include "SearchBuilders.h"
#include "SqlText.h"
#include "StatementScript.h"
#include "shell/FileUtils.h"
#include "shell/UserPrompts.h"

#include <QFileInfo>
#include <QMutexLocker>
#include <QRegularExpression>

using TLock = QMutexLocker<QRecursiveMutex>;

// --- TQuery ---------------------------------------------------------------------------------------------------

void TQuery::Assign(TFbResult result)
{
    FResult = std::move(result);
    FRow = 0;
}

void TQuery::Close()
{
    Assign(TFbResult());
}

const QVariant *TQuery::Cell(int field) const
{
    if (field < 0 || Eof())
        return nullptr;
    return &FResult.Value(FRow, field);
}

int TQuery::AsInteger(int field) const
{
    const QVariant *cell = Cell(field);
    return cell && !cell->isNull() ? cell->toInt() : 0;
}

qint64 TQuery::AsInt64(int field) const
{
    const QVariant *cell = Cell(field);
    return cell && !cell->isNull() ? cell->toLongLong() : 0;
}

QString TQuery::AsString(int field) const
{
    const QVariant *cell = Cell(field);
    return cell && !cell->isNull() ? cell->toString() : QString();
}

QDate TQuery::AsDate(int field) const
{
    const QVariant *cell = Cell(field);
    return cell && !cell->isNull() ? cell->toDate() : QDate();
}

// --- TdmMain: connection --------------------------------------------------------------------------------------

TdmMain::TdmMain(TUserPrompts &prompts, std::function<QString()> libraryFolder)
    : FPrompts(prompts)
    , FLibraryFolder(std::move(libraryFolder))
    , FClock([] { return QDateTime::currentDateTime(); })
{ }

TdmMain::~TdmMain()
{
    Disconnect();
}

bool TdmMain::IsServerName(const QString &databaseName)
{
    static const QRegularExpression server(QStringLiteral("^[^/\\\\:]+(/\\d+)?:"));
    return server.match(databaseName).hasMatch();
}

void TdmMain::Disconnect()
{
    TLock lock(&FLock);
    FQuery.Close();
    FTransaction.reset();
    FStatements.clear();
    FAttachment.reset();
}

bool TdmMain::Connect()
{
    TLock lock(&FLock);
    Disconnect();
    try {
        FAttachment = TFbAttachment::Attach(
            FDBFileName, QString::fromLatin1(UserName), QString::fromLatin1(Password), QString::fromLatin1(RoleName));
        return true;
    } catch (const EVarnelError &) {
        return false;
    }
}

bool TdmMain::CreateDatabase()
{
    TLock lock(&FLock);
    try {
        if (!IsServerName(FDBFileName))
            ForceFolder(QString(), QFileInfo(FDBFileName).absolutePath());
        // Paper titles and every other text compare without letter case (UNICODE_CI). 8 KiB pages: with 4 KiB
        // the index on a 250-character UNICODE_CI title exceeds the engine's key size.
        TFbAttachment::ExecuteCreateDatabase(QStringLiteral("CREATE DATABASE ") + QuotedStr(FDBFileName)
            + QStringLiteral(" ") + QStringLiteral("USER 'SYSDBA'\r\n") + QStringLiteral("PASSWORD 'pinegrove'\r\n")
            + QStringLiteral("PAGE_SIZE %1\r\n").arg(PageSize)
            + QStringLiteral("DEFAULT CHARACTER SET UTF8 COLLATION UNICODE_CI\r\n"));
        if (!Connect())
            throw EVarnelError(QStringLiteral("cannot attach the new database"));
    } catch (const EVarnelError &) {
        FPrompts.ShowMessage(QStringLiteral("Can't create database file !"), TMessageKind::mkError);
        return false;
    }
    for (const char *script : {"CreateDBQuery", "CollateTitle"}) {
        try {
            RollbackActive();
            FTransaction = FAttachment->StartTransaction(TFbTransaction::TMode::tmReadWrite);
            for (const QString &statement : SplitScriptResource(QString::fromLatin1(script)))
                if (!statement.trimmed().isEmpty())
                    FTransaction->Execute(FAttachment->Handle(), statement);
            FTransaction->Commit();
            FTransaction.reset();
        } catch (const EVarnelError &) {
            FTransaction.reset(); // rolls the script back
        }
    }
    return true;
}

bool TdmMain::CheckDBStructure()
{
    TLock lock(&FLock);
    try {
        FQuery.Assign(RawQuery(QStringLiteral("SELECT * FROM Papers"), 1));
    } catch (const EVarnelError &) {
        FQuery.Close();
        ReportStructureMismatch();
        return true;
    }
    const bool hasAdded = FQuery.HasField(QStringLiteral("ADDED"));
    FQuery.Close();
    return !hasAdded;
}

void TdmMain::UpdateDB(const QString &fileName)
{
    const QStringList statements = SplitScriptFile(fileName);
    TLock lock(&FLock);
    RollbackActive();
    for (const QString &statement : statements) {
        if (statement.trimmed().isEmpty())
            continue;
        try {
            auto transaction = FAttachment->StartTransaction(TFbTransaction::TMode::tmReadWrite);
            transaction->Execute(FAttachment->Handle(), statement);
            transaction->Commit();
        } catch (const EVarnelError &) {
            // Each statement stands alone: a failing one is rolled back and the next one runs.
        }
    }
    FStatements.clear(); // prepared against the old structure
}

bool TdmMain::OpenLibrary(const QString &dbFileName, const QString &updateFileName, bool updateRequested)
{
    TLock lock(&FLock);
    SetDBFileName(dbFileName);
    if (!IsServerName(dbFileName) && !QFileInfo::exists(dbFileName))
        return CreateDatabase();
    // A file that is no library (or a server that does not answer) is reported by the caller as not connected;
    // looking at its structure would only add a misleading message.
    if (!Connect())
        return false;
    RefreshIndexStatistics();
    const bool haveUpdate = QFileInfo::exists(updateFileName);
    if (updateRequested && haveUpdate)
        UpdateDB(updateFileName);
    if (CheckDBStructure()) {
        if (haveUpdate)
            UpdateDB(updateFileName);
        else
            FPrompts.ShowMessage(
                QStringLiteral("Update of the database structure is required! Visit the program web-site"),
                TMessageKind::mkWarning);
    }
    return true;
}

// --- TdmMain: primitives --------------------------------------------------------------------------------------

void TdmMain::RollbackActive()
{
    if (FBatchDepth > 0)
        return; // a batch keeps its transaction; its writes take savepoints instead
    FTransaction.reset();
}

TFbTransaction &TdmMain::CurrentTransaction()
{
    if (!FAttachment)
        throw EFbError(QStringLiteral("The library database is not connected"));
    if (!FTransaction)
        FTransaction = FAttachment->StartTransaction(TFbTransaction::TMode::tmReadWrite);
    return *FTransaction;
}

// Inside a write (or for one) the work sees that write's own rows; a read otherwise gets a short read-only
// transaction, so no reader keeps an old snapshot of a library that another process is changing.
TFbResult TdmMain::InTransaction(bool write, const std::function<TFbResult(TFbTransaction &)> &work)
{
    if (!FAttachment)
        throw EFbError(QStringLiteral("The library database is not connected"));
    if (write || FTransaction)
        return work(CurrentTransaction());
    auto readOnly = FAttachment->StartTransaction(TFbTransaction::TMode::tmReadOnly);
    TFbResult result = work(*readOnly);
    readOnly->Commit();
    return result;
}

TFbResult TdmMain::RawQuery(const QString &sql, std::size_t maxRows)
{
    return InTransaction(
        false, [&](TFbTransaction &transaction) { return transaction.Query(FAttachment->Handle(), sql, maxRows); });
}

std::shared_ptr<TFbStatement> TdmMain::Prepared(TFbTransaction &transaction, const QString &sql)
{
    std::shared_ptr<TFbStatement> &statement = FStatements[sql];
    if (!statement) {
        try {
            statement = FAttachment->Prepare(transaction, sql);
        } catch (...) {
            FStatements.remove(sql);
            throw;
        }
    }
    return statement; // held by the caller: the cache may be cleared while it runs
}

TFbResult TdmMain::Run(const QString &sql, const TFbParams &params, bool write)
{
    return InTransaction(write, [&](TFbTransaction &transaction) {
        return transaction.Run(FAttachment->Handle(), *Prepared(transaction, sql), params);
    });
}

void TdmMain::RunEach(
    const QString &sql, const std::vector<TFbParams> &valueSets, const std::function<void(TFbResult)> &rows)
{
    InTransaction(false, [&](TFbTransaction &transaction) {
        const std::shared_ptr<TFbStatement> statement = Prepared(transaction, sql);
        for (const TFbParams &values : valueSets)
            rows(transaction.Run(FAttachment->Handle(), *statement, values));
        return TFbResult();
    });
}

void TdmMain::ReportStructureMismatch()
{
    FPrompts.ShowMessage(
        QStringLiteral("Database Structure mismatch. Run \"Database update\" from "), TMessageKind::mkError);
}

int TdmMain::Open(const QString &sql)
{
    TLock lock(&FLock);
    try {
        FQuery.Assign(RawQuery(sql));
    } catch (const EVarnelError &) {
        FQuery.Close();
        ReportStructureMismatch();
        return 0;
    }
    return FQuery.IsEmpty()
        ? 0
        : int(std::min<std::size_t>(FQuery.RecordCount(), std::size_t(std::numeric_limits<int>::max())));
}

int TdmMain::OpenInteger(const QString &sql, const TFbParams &params)
{
    TLock lock(&FLock);
    try {
        const TFbResult result = Run(sql, params, false);
        return result.RowCount() && !result.Value(0, 0).isNull() ? result.Value(0, 0).toInt() : 0;
    } catch (const EVarnelError &) {
        ReportStructureMismatch();
        return 0;
    }
}

int TdmMain::Exec(const QString &sql)
{
    TLock lock(&FLock);
    CurrentTransaction().Execute(FAttachment->Handle(), sql);
    return 0;
}

void TdmMain::ExecTransaction(const QString &sql)
{
    RunWrites([&] { Exec(sql); });
}

void TdmMain::RunWrites(const std::function<void()> &writes)
{
    TLock lock(&FLock);
    try {
        TWriteScope scope(*this);
        writes();
        scope.Commit();
    } catch (const EVarnelError &) {
        // Writes fail silently: the scope has rolled them back.
    }
}

TdmMain::TWriteScope::TWriteScope(TdmMain &dm)
    : FDm(dm)
{
    if (FDm.FBatchDepth > 0) {
        // Named by depth, so the few names in use are prepared once for the whole batch.
        FSavepoint = QStringLiteral("SP_%1").arg(FDm.FSavepointDepth + 1);
        FDm.Run(QStringLiteral("SAVEPOINT ") + FSavepoint, {}, true);
        ++FDm.FSavepointDepth;
    } else {
        FDm.RollbackActive();
        FDm.CurrentTransaction();
    }
}

TdmMain::TWriteScope::~TWriteScope()
{
    if (FDone)
        return;
    try {
        if (!FSavepoint.isEmpty()) {
            --FDm.FSavepointDepth;
            FDm.Run(QStringLiteral("ROLLBACK TO SAVEPOINT ") + FSavepoint, {}, true);
        } else {
            FDm.FTransaction.reset();
        }
    } catch (const EVarnelError &) {
        FDm.FTransaction.reset();
    }
}

void TdmMain::TWriteScope::Commit()
{
    if (!FSavepoint.isEmpty()) {
        FDm.Run(QStringLiteral("RELEASE SAVEPOINT ") + FSavepoint, {}, true);
        --FDm.FSavepointDepth;
    } else {
        FDm.FTransaction->Commit();
        FDm.FTransaction.reset();
    }
    FDone = true;
}

TdmMain::TBatch::TBatch(TdmMain &dm)
    : FDm(dm)
{
    FDm.FLock.lock();
    if (FDm.FBatchDepth++ == 0) {
        FDm.FTransaction.reset();
        try {
            FDm.CurrentTransaction();
        } catch (...) {
            --FDm.FBatchDepth;
            FDm.FLock.unlock();
            throw;
        }
    }
}

TdmMain::TBatch::~TBatch()
{
    if (!FDone && --FDm.FBatchDepth == 0)
        FDm.FTransaction.reset();
    FDm.FLock.unlock();
}

void TdmMain::TBatch::Commit()
{
    if (FDone)
        return;
    FDone = true;
    if (--FDm.FBatchDepth == 0 && FDm.FTransaction) {
        auto transaction = std::move(FDm.FTransaction);
        transaction->Commit();
        FDm.RefreshIndexStatistics();
    }
}

// The engine keeps an index's selectivity from when it was last measured: for the indices of a new library
// that is "empty, perfectly selective", and the optimizer then walks PAPERS_JID over every paper of a journal
// for each matching write. Measuring again after bulk writes and at start-up keeps the plans sound.
void TdmMain::RefreshIndexStatistics()
{
    TLock lock(&FLock);
    if (!FAttachment || FBatchDepth > 0)
        return;
    try {
        const TFbResult indices = RawQuery(
            QStringLiteral("SELECT TRIM(RDB$INDEX_NAME) FROM RDB$INDICES WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0"));
        auto transaction = FAttachment->StartTransaction(TFbTransaction::TMode::tmReadWrite);
        for (std::size_t row = 0; row < indices.RowCount(); ++row)
            transaction->Execute(FAttachment->Handle(),
                QStringLiteral("SET STATISTICS INDEX \"%1\"").arg(indices.Value(row, 0).toString()));
        transaction->Commit();
        FStatements.clear(); // their plans were chosen with the old figures
    } catch (const EVarnelError &) {
        // Only a plan hint: a library that cannot be measured still works.
    }
}

// --- search ---------------------------------------------------------------------------------------------------

void TdmMain::Search(const QString &id, const QString &author, const QString &journal, const QString &title,
    const QString &year, const QString &vol, const QString &issue, const QString &page, const QString &keyword,
    const QString &abs, const QString &dateText, int dateIndex)
{
    TLock lock(&FLock);
    FQuery.Close();
    const QString statement = BuildSearchStatement(
        {id, author, journal, title, year, vol, issue, page, keyword, abs, dateText, dateIndex}, FClock());
    FQuery.Assign(RawQuery(statement));
}
