#pragma once

#include "shell/VarnelError.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

// A thin RAII layer over Firebird's object-oriented client API: the data module's only way to the engine.
// Statements are plain SQL text in dialect 3; results are read completely into memory, so no cursor or blob
// outlives the call that opened it.

namespace Firebird {
class IAttachment;
class ITransaction;
class IStatement;
class IMessageMetadata;
} // namespace Firebird

// A failure reported by the engine, with its formatted message.
class EFbError : public EVarnelError
{
public:
    using EVarnelError::EVarnelError;
};

// Points the embedded engine at a per-user lock folder and a private root whose firebird.conf selects
// SuperClassic, so the desktop program and the command-line tool can open one library at the same time.
// Runs once per process, before the first client call; later calls do nothing.
void PrepareFirebirdEnvironment();

// The action the program wants on SIGINT and SIGTERM (by default the process ends). The client library takes
// both signals for a shutdown of its own that leaves the process running; after each attach they are given back
// to this action. Installs it at once.
void SetTerminationHandler(void (*handler)(int));

// The result of a query: column names and every row's values (null QVariant for NULL).
class TFbResult
{
public:
    struct TColumn
    {
        QString Name; // alias, upper case
        QString Relation; // table the column comes from, upper case; empty for expressions
    };

    const std::vector<TColumn> &Columns() const { return FColumns; }
    std::size_t RowCount() const { return FRowCount; }
    const QVariant &Value(std::size_t row, int column) const
    {
        return FBlocks[row / RowsPerBlock][row % RowsPerBlock * FColumnCount + std::size_t(column)];
    }

    // The column of that name (any letter case); where several share it, the one from preferredRelation wins,
    // else the first. -1 when there is none.
    int ColumnIndex(const QString &name, const QString &preferredRelation = QString()) const;

private:
    friend class TFbTransaction;
    friend class TFbRowReader;
    // Rows are kept in blocks: a result of many rows grows without moving the rows read so far and without one
    // allocation of many megabytes, which an allocator takes from and gives back to the system every time.
    static constexpr std::size_t RowsPerBlock = 1024;
    std::vector<TColumn> FColumns;
    std::size_t FColumnCount = 0;
    std::size_t FRowCount = 0;
    std::vector<std::vector<QVariant>> FBlocks;
};

// Values of a statement's "?" parameters, in order: QString, integers, bool, QDate or a null QVariant.
using TFbParams = std::vector<QVariant>;

// A statement prepared once and run many times with parameters; it belongs to the attachment that prepared it
// and must be destroyed before that attachment.
class TFbStatement final
{
public:
    ~TFbStatement();
    Q_DISABLE_COPY_MOVE(TFbStatement)

private:
    friend class TFbAttachment;
    friend class TFbTransaction;
    TFbStatement(Firebird::IStatement *statement, Firebird::IMessageMetadata *input, Firebird::IMessageMetadata *output,
        bool hasCursor);
    Firebird::IStatement *FStatement;
    Firebird::IMessageMetadata *FInput;
    Firebird::IMessageMetadata *FOutput;
    bool FHasCursor;
};

class TFbTransaction final
{
public:
    enum class TMode { tmReadWrite, tmReadOnly };

    TFbTransaction(Firebird::ITransaction *transaction);
    ~TFbTransaction(); // rolls back unless committed
    Q_DISABLE_COPY_MOVE(TFbTransaction)

    void Execute(Firebird::IAttachment *attachment, const QString &sql);
    // Reads at most maxRows rows.
    TFbResult Query(Firebird::IAttachment *attachment, const QString &sql, std::size_t maxRows = std::size_t(-1));
    // Runs a prepared statement: the rows of a SELECT, the one row of a RETURNING clause, else no rows. A text
    // bound to a BLOB column goes in as a blob of any length.
    TFbResult Run(Firebird::IAttachment *attachment, TFbStatement &statement, const TFbParams &params,
        std::size_t maxRows = std::size_t(-1));
    void Commit();
    void Rollback();
    bool IsActive() const { return FTransaction != nullptr; }
    Firebird::ITransaction *Handle() const { return FTransaction; }

private:
    Firebird::ITransaction *FTransaction;
};

class TFbAttachment final
{
public:
    // Attaches to a database file, or to "host:/path" on a Firebird server, as SYSDBA with UTF8 text.
    static std::unique_ptr<TFbAttachment> Attach(
        const QString &databaseName, const QString &user, const QString &password, const QString &role);
    // Runs a CREATE DATABASE statement; the returned attachment is detached again by the caller.
    static void ExecuteCreateDatabase(const QString &statement);

    ~TFbAttachment();
    Q_DISABLE_COPY_MOVE(TFbAttachment)

    std::unique_ptr<TFbTransaction> StartTransaction(TFbTransaction::TMode mode);
    std::unique_ptr<TFbStatement> Prepare(TFbTransaction &transaction, const QString &sql);
    Firebird::IAttachment *Handle() const { return FAttachment; }

private:
    explicit TFbAttachment(Firebird::IAttachment *attachment);
    Firebird::IAttachment *FAttachment;
};
