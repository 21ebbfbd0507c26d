#include "Firebird.h"

#include <firebird/Interface.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
template <class TCall>
auto Guarded(TCall &&call)
{
    IStatus *raw = Master()->getStatus();
    ThrowStatusWrapper status(raw);
    struct TDispose
    {
        IStatus *Status;
        ~TDispose() { Status->dispose(); }
    } dispose{raw};
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

} // namespace

void PrepareFirebirdEnvironment()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const QString root = PrivateFirebirdRoot();
        const QString lock = root + QStringLiteral("/lock");
        QDir().mkpath(lock);
        QFile::setPermissions(root, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QFile::setPermissions(lock, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        WriteIfDifferent(root + QStringLiteral("/firebird.conf"), "ServerMode = SuperClassic\n");
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
{
}

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
        attachment->execute(status, FTransaction, 0, text.constData(), SQL_DIALECT_V6, nullptr, nullptr, nullptr, nullptr);
    });
}

namespace {

QString ReadTextBlob(IAttachment *attachment, ITransaction *transaction, ISC_QUAD id, bool text, QByteArray *bytes)
{
    return Guarded([&](ThrowStatusWrapper *status) {
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
        if (!text) {
            *bytes = data;
            return QString();
        }
        return QString::fromUtf8(data);
    });
}

// A value of type T at an unaligned place of the message buffer.
template <class T>
T Load(const unsigned char *data)
{
    T value;
    memcpy(&value, data, sizeof value);
    return value;
}

QVariant DecodeValue(IAttachment *attachment, ITransaction *transaction, IUtil *util, unsigned type, int subType,
                     int scale, unsigned length, const unsigned char *data)
{
    auto scaled = [scale](qint64 value) -> QVariant {
        if (scale == 0)
            return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max() ? QVariant(int(value))
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
    case SQL_BLOB: {
        const auto id = Load<ISC_QUAD>(data);
        QByteArray bytes;
        const QString text = ReadTextBlob(attachment, transaction, id, subType == 1, &bytes);
        return subType == 1 ? QVariant(text) : QVariant(bytes);
    }
    default:
        return {};
    }
}

} // namespace

TFbResult TFbTransaction::Query(IAttachment *attachment, const QString &sql, std::size_t maxRows)
{
    const QByteArray text = sql.toUtf8();
    IUtil *util = Master()->getUtilInterface();
    TFbResult result;
    Guarded([&](ThrowStatusWrapper *status) {
        IResultSet *cursor = attachment->openCursor(status, FTransaction, 0, text.constData(), SQL_DIALECT_V6, nullptr, nullptr,
                                                    nullptr, nullptr, 0);
        IMessageMetadata *meta = nullptr;
        try {
            meta = cursor->getMetadata(status);
            const unsigned count = meta->getCount(status);
            struct TField
            {
                unsigned Type;
                int SubType;
                int Scale;
                unsigned Length;
                unsigned Offset;
                unsigned NullOffset;
            };
            std::vector<TField> fields(count);
            result.FColumns.resize(count);
            for (unsigned i = 0; i < count; ++i) {
                fields[i] = {meta->getType(status, i) & ~1u, meta->getSubType(status, i), meta->getScale(status, i),
                             meta->getLength(status, i), meta->getOffset(status, i), meta->getNullOffset(status, i)};
                result.FColumns[i] = {QString::fromUtf8(meta->getAlias(status, i)).toUpper(),
                                      QString::fromUtf8(meta->getRelation(status, i)).toUpper()};
            }
            result.FColumnCount = count;
            std::vector<unsigned char> buffer(meta->getMessageLength(status));
            for (std::size_t row = 0; row < maxRows && cursor->fetchNext(status, buffer.data()) == IStatus::RESULT_OK; ++row) {
                for (const TField &field : fields) {
                    const bool isNull = Load<qint16>(buffer.data() + field.NullOffset) != 0;
                    result.FValues.push_back(isNull ? QVariant()
                                                    : DecodeValue(attachment, FTransaction, util, field.Type, field.SubType,
                                                                  field.Scale, field.Length, buffer.data() + field.Offset));
                }
            }
            meta->release();
            meta = nullptr;
            cursor->close(status);
        } catch (...) {
            if (meta)
                meta->release();
            cursor->release();
            throw;
        }
    });
    return result;
}

TFbAttachment::TFbAttachment(IAttachment *attachment)
    : FAttachment(attachment)
{
}

TFbAttachment::~TFbAttachment()
{
    try {
        Guarded([&](ThrowStatusWrapper *status) { FAttachment->detach(status); });
    } catch (const EFbError &) {
        FAttachment->release();
    }
}

std::unique_ptr<TFbAttachment> TFbAttachment::Attach(const QString &databaseName, const QString &user,
                                                     const QString &password, const QString &role)
{
    const QByteArray name = QFile::encodeName(databaseName);
    IAttachment *attachment = Guarded([&](ThrowStatusWrapper *status) {
        IXpbBuilder *dpb = Master()->getUtilInterface()->getXpbBuilder(status, IXpbBuilder::DPB, nullptr, 0);
        try {
            dpb->insertString(status, isc_dpb_user_name, user.toUtf8().constData());
            dpb->insertString(status, isc_dpb_password, password.toUtf8().constData());
            dpb->insertString(status, isc_dpb_lc_ctype, "UTF8");
            dpb->insertString(status, isc_dpb_sql_role_name, role.toUtf8().constData());
            IAttachment *result = Master()->getDispatcher()->attachDatabase(status, name.constData(), dpb->getBufferLength(status),
                                                                            dpb->getBuffer(status));
            dpb->dispose();
            return result;
        } catch (...) {
            dpb->dispose();
            throw;
        }
    });
    return std::unique_ptr<TFbAttachment>(new TFbAttachment(attachment));
}

void TFbAttachment::ExecuteCreateDatabase(const QString &statement)
{
    const QByteArray text = statement.toUtf8();
    IAttachment *attachment = Guarded([&](ThrowStatusWrapper *status) {
        FB_BOOLEAN isCreate = FB_FALSE;
        return Master()->getUtilInterface()->executeCreateDatabase(status, unsigned(text.size()), text.constData(),
                                                                   SQL_DIALECT_V6, &isCreate);
    });
    TFbAttachment closer(attachment); // detached at once: the library is attached again with its own settings
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
            ITransaction *result = FAttachment->startTransaction(status, tpb->getBufferLength(status), tpb->getBuffer(status));
            tpb->dispose();
            return result;
        } catch (...) {
            tpb->dispose();
            throw;
        }
    });
    return std::make_unique<TFbTransaction>(transaction);
}
