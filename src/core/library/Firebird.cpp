#include "Firebird.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <firebird/Interface.h>
#include <atomic>
#include <csignal>
#include <mutex>
#include <unistd.h>

using namespace Firebird;

namespace {

IMaster *Master()
{
    PrepareFirebirdEnvironment();
    static IMaster *master = fb_get_master_interface();
    return master;
}

QString FormatStatus(const IStatus *status)
{
    char buffer[2048];
    Master()->getUtilInterface()->formatStatus(buffer, sizeof buffer, const_cast<IStatus *>(status));
    return QString::fromUtf8(buffer).trimmed();
}

// Runs one client call with a status of its own; an engine error becomes an EFbError with its text.
template <class TCall> auto Guarded(TCall &&call)
{
    IStatus *raw = Master()->getStatus();
    ThrowStatusWrapper status(raw);
    struct TDispose
    {
        IStatus *Status;
        ~TDispose() { Status->dispose(); }
    } dispose {raw};
    try {
        return call(&status);
    } catch (const FbException &error) {
        throw EFbError(FormatStatus(error.getStatus()));
    }
}

// Folders of a Firebird 3 installation that hold plugins/, intl/ and firebird.msg.
QString SystemFirebirdRoot()
{
    QStringList candidates;
    const QDir lib(QStringLiteral("/usr/lib"));
    for (const QString &arch : lib.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        candidates << lib.filePath(arch + QStringLiteral("/firebird/3.0"));
    candidates << QStringLiteral("/usr/lib/firebird/3.0") << QStringLiteral("/opt/firebird");
    for (const QString &candidate : candidates)
        if (QFileInfo::exists(candidate + QStringLiteral("/plugins")))
            return candidate;
    return {};
}

QString PrivateFirebirdRoot()
{
    QString base = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (base.isEmpty() || !QFileInfo(base).isWritable())
        base = QDir::tempPath() + QStringLiteral("/varnel-") + QString::number(getuid());
    return base + QStringLiteral("/varnel-firebird");
}

void WriteIfDifferent(const QString &fileName, const QByteArray &content)
{
    QFile file(fileName);
    if (file.open(QIODevice::ReadOnly) && file.readAll() == content)
        return;
    file.close();
    const QString temporary = fileName + QStringLiteral(".") + QString::number(getpid());
    QFile out(temporary);
    if (out.open(QIODevice::WriteOnly) && out.write(content) == content.size() && out.flush()) {
        out.close();
        ::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(fileName).constData());
    } else {
        out.remove();
    }
}

std::atomic<void (*)(int)> ProgramTerminationHandler{SIG_DFL};

// The client library takes SIGINT and SIGTERM for a shutdown of its own that leaves the process running, so
// neither Ctrl+C nor the end of a session could stop the program. The program's own action comes back after each
// attach: the database is safe against a stop at any point, and an unfinished transaction is undone.
void RestoreTerminationSignals()
{
    std::signal(SIGINT, ProgramTerminationHandler.load());
    std::signal(SIGTERM, ProgramTerminationHandler.load());
}

} // namespace

void SetTerminationHandler(void (*handler)(int))
{
    ProgramTerminationHandler = handler;
    RestoreTerminationSignals();
}

void PrepareFirebirdEnvironment()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const QString root = PrivateFirebirdRoot();
        const QString lock = root + QStringLiteral("/lock");
        QDir().mkpath(lock);
        QFile::setPermissions(root, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QFile::setPermissions(lock, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        // Each attachment keeps its own page cache in SuperClassic; the default 256 pages make every scan of a
        // library of some thousand papers a round of file reads. 32768 pages of 8 KiB hold a library of over
        // 100,000 papers with their abstracts, so a journal whose papers are spread through it is read from
        // memory. Pages are only taken as they are read; the cache's bookkeeping costs about 17 MB.
        WriteIfDifferent(
            root + QStringLiteral("/firebird.conf"), "ServerMode = SuperClassic\nDefaultDbCachePages = 32768\n");
        const QString system = SystemFirebirdRoot();
        if (!system.isEmpty()) {
            for (const char *name : {"firebird.msg", "intl", "plugins", "plugins.conf"}) {
                const QString link = root + u'/' + QLatin1String(name);
                if (!QFileInfo(link).exists())
                    QFile::link(system + u'/' + QLatin1String(name), link);
            }
        }
        qputenv("FIREBIRD", QFile::encodeName(root));
        qputenv("FIREBIRD_LOCK", QFile::encodeName(lock));
    });
}

int TFbResult::ColumnIndex(const QString &name, const QString &preferredRelation) const
{
    int first = -1;
    for (std::size_t i = 0; i < FColumns.size(); ++i) {
        if (FColumns[i].Name.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (preferredRelation.isEmpty() || FColumns[i].Relation.compare(preferredRelation, Qt::CaseInsensitive) == 0)
            return int(i);
        if (first < 0)
            first = int(i);
    }
    return first;
}

TFbTransaction::TFbTransaction(ITransaction *transaction)
    : FTransaction(transaction)
{ }

TFbTransaction::~TFbTransaction()
{
    if (!FTransaction)
        return;
    try {
        Rollback();
    } catch (const EFbError &) {
        // The connection is gone; nothing is left to undo.
    }
}

void TFbTransaction::Commit()
{
    Guarded([&](ThrowStatusWrapper *status) { FTransaction->commit(status); });
    FTransaction = nullptr;
}

void TFbTransaction::Rollback()
{
    ITransaction *transaction = std::exchange(FTransaction, nullptr);
    try {
        Guarded([&](ThrowStatusWrapper *status) { transaction->rollback(status); });
    } catch (const EFbError &) {
        transaction->release();
        throw;
    }
}

void TFbTransaction::Execute(IAttachment *attachment, const QString &sql)
{
    const QByteArray text = sql.toUtf8();
    Guarded([&](ThrowStatusWrapper *status) {
        attachment->execute(
            status, FTransaction, 0, text.constData(), SQL_DIALECT_V6, nullptr, nullptr, nullptr, nullptr);
    });
}

namespace {

// A blob's whole content: text (sub-type 1) as a QString, anything else as bytes. Runs under the caller's
// status, so a long list of rows costs no status of its own per blob.
QVariant ReadBlob(
    ThrowStatusWrapper *status, IAttachment *attachment, ITransaction *transaction, ISC_QUAD id, bool text)
{
    IBlob *blob = attachment->openBlob(status, transaction, &id, 0, nullptr);
    QByteArray data;
    char segment[32768];
    try {
        for (;;) {
            unsigned length = 0;
            const int result = blob->getSegment(status, sizeof segment, segment, &length);
            if (result == IStatus::RESULT_NO_DATA)
                break;
            data.append(segment, qsizetype(length));
        }
        blob->close(status);
    } catch (...) {
        blob->release();
        throw;
    }
    return text ? QVariant(QString::fromUtf8(data)) : QVariant(data);
}

// A value of type T at an unaligned place of the message buffer.
template <class T> T Load(const unsigned char *data)
{
    T value;
    memcpy(&value, data, sizeof value);
    return value;
}

QVariant DecodeValue(ThrowStatusWrapper *status, IAttachment *attachment, ITransaction *transaction, IUtil *util,
    unsigned type, int subType, int scale, unsigned length, const unsigned char *data)
{
    auto scaled = [scale](qint64 value) -> QVariant {
        if (scale == 0)
            return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max()
                ? QVariant(int(value))
                : QVariant(qlonglong(value));
        double result = double(value);
        for (int i = 0; i < -scale; ++i)
            result /= 10;
        return result;
    };
    switch (type) {
    case SQL_VARYING: {
        return QString::fromUtf8(reinterpret_cast<const char *>(data) + 2, Load<quint16>(data));
    }
    case SQL_TEXT: {
        unsigned size = length;
        while (size > 0 && data[size - 1] == ' ')
            --size;
        return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    }
    case SQL_SHORT: {
        return scaled(Load<qint16>(data));
    }
    case SQL_LONG: {
        return scaled(Load<qint32>(data));
    }
    case SQL_INT64: {
        return scaled(Load<qint64>(data));
    }
    case SQL_FLOAT: {
        return double(Load<float>(data));
    }
    case SQL_DOUBLE: {
        return Load<double>(data);
    }
    case SQL_BOOLEAN:
        return data[0] != 0;
    case SQL_TYPE_DATE: {
        const auto value = Load<ISC_DATE>(data);
        unsigned y, m, d;
        util->decodeDate(value, &y, &m, &d);
        return QDate(int(y), int(m), int(d));
    }
    case SQL_TYPE_TIME: {
        const auto value = Load<ISC_TIME>(data);
        unsigned h, mi, s, f;
        util->decodeTime(value, &h, &mi, &s, &f);
        return QTime(int(h), int(mi), int(s), int(f / 10));
    }
    case SQL_TIMESTAMP: {
        const auto value = Load<ISC_TIMESTAMP>(data);
        unsigned y, m, d, h, mi, s, f;
        util->decodeDate(value.timestamp_date, &y, &m, &d);
        util->decodeTime(value.timestamp_time, &h, &mi, &s, &f);
        return QDateTime(QDate(int(y), int(m), int(d)), QTime(int(h), int(mi), int(s), int(f / 10)));
    }
    case SQL_BLOB:
        return ReadBlob(status, attachment, transaction, Load<ISC_QUAD>(data), subType == 1);
    default:
        return {};
    }
}

} // namespace

// Fills a result from fetched message buffers of one output metadata.
class TFbRowReader
{
public:
    TFbRowReader(ThrowStatusWrapper *status, IMessageMetadata *meta, TFbResult &result)
        : FResult(result)
    {
        const unsigned count = meta->getCount(status);
        FFields.resize(count);
        result.FColumns.resize(count);
        for (unsigned i = 0; i < count; ++i) {
            FFields[i] = {meta->getType(status, i) & ~1u, meta->getSubType(status, i), meta->getScale(status, i),
                meta->getLength(status, i), meta->getOffset(status, i), meta->getNullOffset(status, i)};
            result.FColumns[i] = {QString::fromUtf8(meta->getAlias(status, i)).toUpper(),
                QString::fromUtf8(meta->getRelation(status, i)).toUpper()};
        }
        result.FColumnCount = count;
        FBuffer.resize(meta->getMessageLength(status));
    }

    unsigned char *Buffer() { return FBuffer.data(); }

    void Append(ThrowStatusWrapper *status, IAttachment *attachment, ITransaction *transaction)
    {
        IUtil *util = Master()->getUtilInterface();
        if (FResult.FRowCount % TFbResult::RowsPerBlock == 0) {
            FResult.FBlocks.emplace_back();
            if (FResult.FRowCount > 0) // a long result: the next block fills too (the first grows as rows come)
                FResult.FBlocks.back().reserve(TFbResult::RowsPerBlock * FFields.size());
        }
        std::vector<QVariant> &block = FResult.FBlocks.back();
        for (const TField &field : FFields) {
            const bool isNull = Load<qint16>(FBuffer.data() + field.NullOffset) != 0;
            block.push_back(isNull
                    ? QVariant()
                    : DecodeValue(status, attachment, transaction, util, field.Type, field.SubType, field.Scale,
                        field.Length, FBuffer.data() + field.Offset));
        }
        ++FResult.FRowCount;
    }

private:
    struct TField
    {
        unsigned Type;
        int SubType;
        int Scale;
        unsigned Length;
        unsigned Offset;
        unsigned NullOffset;
    };
    TFbResult &FResult;
    std::vector<TField> FFields;
    std::vector<unsigned char> FBuffer;
};

namespace {

// Reads the rows of an open cursor into result; the cursor is closed or released either way.
void ReadCursor(ThrowStatusWrapper *status, IAttachment *attachment, ITransaction *transaction, IResultSet *cursor,
    IMessageMetadata *meta, TFbResult &result, std::size_t maxRows)
{
    try {
        TFbRowReader reader(status, meta, result);
        for (std::size_t row = 0; row < maxRows && cursor->fetchNext(status, reader.Buffer()) == IStatus::RESULT_OK;
             ++row)
            reader.Append(status, attachment, transaction);
        cursor->close(status);
    } catch (...) {
        cursor->release();
        throw;
    }
}

// The input message of a statement for the given values. Each value travels in its own type (the engine
// converts it to the column's); a text for a BLOB parameter becomes a blob first.
class TInputMessage
{
public:
    TInputMessage(ThrowStatusWrapper *status, IAttachment *attachment, ITransaction *transaction,
        IMessageMetadata *input, const TFbParams &params)
    {
        const unsigned count = input->getCount(status);
        if (params.size() != count)
            throw EFbError(QStringLiteral("The statement takes %1 parameters, not %2").arg(count).arg(params.size()));
        std::vector<QByteArray> texts(count);
        IMetadataBuilder *builder = input->getBuilder(status);
        try {
            for (unsigned i = 0; i < count; ++i) {
                const QVariant &value = params[i];
                const unsigned declared = input->getType(status, i) & ~1u;
                if (value.isNull())
                    continue;
                switch (value.typeId()) {
                case QMetaType::QString:
                    texts[i] = value.toString().toUtf8();
                    if (declared == SQL_BLOB)
                        break;
                    if (texts[i].size() > 32765)
                        throw EFbError(
                            QStringLiteral("A text of %1 bytes exceeds the largest parameter").arg(texts[i].size()));
                    builder->setType(status, i, SQL_VARYING | 1u);
                    builder->setLength(status, i, unsigned(std::max<qsizetype>(texts[i].size(), 1)));
                    builder->setCharSet(status, i, 4); // UTF8
                    break;
                case QMetaType::QDate:
                    builder->setType(status, i, SQL_TYPE_DATE | 1u);
                    builder->setLength(status, i, sizeof(ISC_DATE));
                    break;
                default:
                    builder->setType(status, i, SQL_INT64 | 1u);
                    builder->setLength(status, i, sizeof(qint64));
                    builder->setScale(status, i, 0);
                    break;
                }
            }
            FMeta = builder->getMetadata(status);
            builder->release();
        } catch (...) {
            builder->release();
            throw;
        }
        FBuffer.assign(FMeta->getMessageLength(status), 0);
        IUtil *util = Master()->getUtilInterface();
        for (unsigned i = 0; i < count; ++i) {
            const QVariant &value = params[i];
            unsigned char *data = FBuffer.data() + FMeta->getOffset(status, i);
            const qint16 null = value.isNull() ? -1 : 0;
            memcpy(FBuffer.data() + FMeta->getNullOffset(status, i), &null, sizeof null);
            if (value.isNull())
                continue;
            switch (FMeta->getType(status, i) & ~1u) {
            case SQL_VARYING: {
                const auto length = quint16(texts[i].size());
                memcpy(data, &length, sizeof length);
                memcpy(data + 2, texts[i].constData(), length);
                break;
            }
            case SQL_BLOB: {
                const ISC_QUAD id = WriteBlob(status, attachment, transaction, texts[i]);
                memcpy(data, &id, sizeof id);
                break;
            }
            case SQL_TYPE_DATE: {
                const QDate date = value.toDate();
                const ISC_DATE encoded
                    = util->encodeDate(unsigned(date.year()), unsigned(date.month()), unsigned(date.day()));
                memcpy(data, &encoded, sizeof encoded);
                break;
            }
            default: {
                const qint64 number = value.toLongLong();
                memcpy(data, &number, sizeof number);
                break;
            }
            }
        }
    }
    ~TInputMessage()
    {
        if (FMeta)
            FMeta->release();
    }
    Q_DISABLE_COPY_MOVE(TInputMessage)

    IMessageMetadata *Meta() const { return FMeta; }
    unsigned char *Buffer() { return FBuffer.data(); }

private:
    static ISC_QUAD WriteBlob(
        ThrowStatusWrapper *status, IAttachment *attachment, ITransaction *transaction, const QByteArray &data)
    {
        ISC_QUAD id;
        IBlob *blob = attachment->createBlob(status, transaction, &id, 0, nullptr);
        try {
            for (qsizetype at = 0; at < data.size(); at += 32768)
                blob->putSegment(status, unsigned(std::min<qsizetype>(32768, data.size() - at)), data.constData() + at);
            blob->close(status);
        } catch (...) {
            blob->release();
            throw;
        }
        return id;
    }

    IMessageMetadata *FMeta = nullptr;
    std::vector<unsigned char> FBuffer;
};

} // namespace

TFbResult TFbTransaction::Query(IAttachment *attachment, const QString &sql, std::size_t maxRows)
{
    const QByteArray text = sql.toUtf8();
    TFbResult result;
    Guarded([&](ThrowStatusWrapper *status) {
        IResultSet *cursor = attachment->openCursor(
            status, FTransaction, 0, text.constData(), SQL_DIALECT_V6, nullptr, nullptr, nullptr, nullptr, 0);
        IMessageMetadata *meta = nullptr;
        try {
            meta = cursor->getMetadata(status);
        } catch (...) {
            cursor->release();
            throw;
        }
        try {
            ReadCursor(status, attachment, FTransaction, cursor, meta, result, maxRows);
        } catch (...) {
            meta->release();
            throw;
        }
        meta->release();
    });
    return result;
}

TFbResult TFbTransaction::Run(
    IAttachment *attachment, TFbStatement &statement, const TFbParams &params, std::size_t maxRows)
{
    TFbResult result;
    Guarded([&](ThrowStatusWrapper *status) {
        TInputMessage input(status, attachment, FTransaction, statement.FInput, params);
        if (statement.FHasCursor) {
            IResultSet *cursor = statement.FStatement->openCursor(
                status, FTransaction, input.Meta(), input.Buffer(), statement.FOutput, 0);
            ReadCursor(status, attachment, FTransaction, cursor, statement.FOutput, result, maxRows);
        } else if (statement.FOutput->getCount(status) > 0) {
            TFbRowReader reader(status, statement.FOutput, result);
            statement.FStatement->execute(
                status, FTransaction, input.Meta(), input.Buffer(), statement.FOutput, reader.Buffer());
            reader.Append(status, attachment, FTransaction);
        } else {
            statement.FStatement->execute(status, FTransaction, input.Meta(), input.Buffer(), nullptr, nullptr);
        }
    });
    return result;
}

TFbStatement::TFbStatement(IStatement *statement, IMessageMetadata *input, IMessageMetadata *output, bool hasCursor)
    : FStatement(statement)
    , FInput(input)
    , FOutput(output)
    , FHasCursor(hasCursor)
{ }

TFbStatement::~TFbStatement()
{
    FInput->release();
    FOutput->release();
    try {
        Guarded([&](ThrowStatusWrapper *status) { FStatement->free(status); });
    } catch (const EFbError &) {
        FStatement->release();
    }
}

TFbAttachment::TFbAttachment(IAttachment *attachment)
    : FAttachment(attachment)
{ }

TFbAttachment::~TFbAttachment()
{
    try {
        Guarded([&](ThrowStatusWrapper *status) { FAttachment->detach(status); });
    } catch (const EFbError &) {
        FAttachment->release();
    }
}

std::unique_ptr<TFbAttachment> TFbAttachment::Attach(
    const QString &databaseName, const QString &user, const QString &password, const QString &role)
{
    const QByteArray name = QFile::encodeName(databaseName);
    IAttachment *attachment = Guarded([&](ThrowStatusWrapper *status) {
        IXpbBuilder *dpb = Master()->getUtilInterface()->getXpbBuilder(status, IXpbBuilder::DPB, nullptr, 0);
        try {
            dpb->insertString(status, isc_dpb_user_name, user.toUtf8().constData());
            dpb->insertString(status, isc_dpb_password, password.toUtf8().constData());
            dpb->insertString(status, isc_dpb_lc_ctype, "UTF8");
            dpb->insertString(status, isc_dpb_sql_role_name, role.toUtf8().constData());
            IAttachment *result = Master()->getDispatcher()->attachDatabase(
                status, name.constData(), dpb->getBufferLength(status), dpb->getBuffer(status));
            dpb->dispose();
            return result;
        } catch (...) {
            dpb->dispose();
            throw;
        }
    });
    RestoreTerminationSignals();
    return std::unique_ptr<TFbAttachment>(new TFbAttachment(attachment));
}

void TFbAttachment::ExecuteCreateDatabase(const QString &statement)
{
    const QByteArray text = statement.toUtf8();
    IAttachment *attachment = Guarded([&](ThrowStatusWrapper *status) {
        FB_BOOLEAN isCreate = FB_FALSE;
        return Master()->getUtilInterface()->executeCreateDatabase(
            status, unsigned(text.size()), text.constData(), SQL_DIALECT_V6, &isCreate);
    });
    RestoreTerminationSignals();
    TFbAttachment closer(attachment); // detached at once: the library is attached again with its own settings
}

std::unique_ptr<TFbStatement> TFbAttachment::Prepare(TFbTransaction &transaction, const QString &sql)
{
    const QByteArray text = sql.toUtf8();
    return Guarded([&](ThrowStatusWrapper *status) {
        IStatement *statement = FAttachment->prepare(
            status, transaction.Handle(), 0, text.constData(), SQL_DIALECT_V6, IStatement::PREPARE_PREFETCH_METADATA);
        IMessageMetadata *input = nullptr;
        IMessageMetadata *output = nullptr;
        try {
            input = statement->getInputMetadata(status);
            output = statement->getOutputMetadata(status);
            const bool hasCursor = (statement->getFlags(status) & IStatement::FLAG_HAS_CURSOR) != 0;
            return std::unique_ptr<TFbStatement>(new TFbStatement(statement, input, output, hasCursor));
        } catch (...) {
            if (input)
                input->release();
            if (output)
                output->release();
            statement->release();
            throw;
        }
    });
}

std::unique_ptr<TFbTransaction> TFbAttachment::StartTransaction(TFbTransaction::TMode mode)
{
    ITransaction *transaction = Guarded([&](ThrowStatusWrapper *status) {
        IXpbBuilder *tpb = Master()->getUtilInterface()->getXpbBuilder(status, IXpbBuilder::TPB, nullptr, 0);
        try {
            if (mode == TFbTransaction::TMode::tmReadOnly) {
                tpb->insertTag(status, isc_tpb_read);
            } else {
                tpb->insertTag(status, isc_tpb_write);
                tpb->insertTag(status, isc_tpb_wait);
                tpb->insertInt(status, isc_tpb_lock_timeout, 10); // seconds another process may hold a row
            }
            tpb->insertTag(status, isc_tpb_read_committed);
            tpb->insertTag(status, isc_tpb_rec_version);
            ITransaction *result
                = FAttachment->startTransaction(status, tpb->getBufferLength(status), tpb->getBuffer(status));
            tpb->dispose();
            return result;
        } catch (...) {
            tpb->dispose();
            throw;
        }
    });
    return std::make_unique<TFbTransaction>(transaction);
}
