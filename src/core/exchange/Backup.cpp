#include "Backup.h"

#include "ListFiles.h"
#include "RISImporter.h"
#include "RISWriter.h"
#include "TextFiles.h"
#include "library/DataModule.h"
#include "shell/FileUtils.h"
#include "shell/PaperFiles.h"
#include "shell/TextUtils.h"
#include "shell/VarnelError.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <deque>
#include <memory>
#include <zip.h>

namespace {

const QString TemplatesEntry = QStringLiteral("_Data\\templates.tlst");
const QString GroupFoldersEntry = QStringLiteral("_Data\\GroupFolders.glst");
const QString GroupsEntry = QStringLiteral("_Data\\Groups.glst");
const QString JournalsEntry = QStringLiteral("_Data\\Journals.glst");

// No list or RIS record of a library comes near this; a larger entry is damage or a trap.
constexpr zip_uint64_t MaxEntrySize = 64 << 20;
// Nor does a whole library's text.
constexpr qsizetype MaxArchiveText = qsizetype(2) << 30;

QString RestoreMarker(const QString &dbFileName)
{
    return dbFileName + QStringLiteral(".restoring");
}

QString ZipError(zip_t *archive)
{
    return QString::fromUtf8(zip_strerror(archive));
}

// An archive being written: entries keep their bytes until the archive is closed.
class TZipWriter
{
public:
    explicit TZipWriter(const QString &fileName)
    {
        int error = 0;
        FArchive = zip_open(QFile::encodeName(fileName).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        if (!FArchive) {
            zip_error_t zipError;
            zip_error_init_with_code(&zipError, error);
            const QString reason = QString::fromUtf8(zip_error_strerror(&zipError));
            zip_error_fini(&zipError);
            throw EVarnelError(QStringLiteral("Cannot create the archive \"%1\". %2").arg(fileName, reason));
        }
    }
    ~TZipWriter()
    {
        if (FArchive)
            zip_discard(FArchive);
    }
    Q_DISABLE_COPY_MOVE(TZipWriter)

    // Adds an entry; a name already used gets "~2", "~3"... before its extension (ZIP names are unique here).
    void Add(const QString &name, const QString &text)
    {
        QString unique = name;
        for (int n = 2; FNames.contains(unique); ++n) {
            const qsizetype dot = name.lastIndexOf(u'.');
            const QString suffix = QStringLiteral("~%1").arg(n);
            unique = dot < 0 ? QString(name + suffix) : QString(name.left(dot) + suffix + name.mid(dot));
        }
        FNames.insert(unique, true);
        const QByteArray &data = FData.emplace_back(text.toUtf8());
        zip_source_t *source = zip_source_buffer(FArchive, data.constData(), zip_uint64_t(data.size()), 0);
        if (!source || zip_file_add(FArchive, unique.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) < 0) {
            if (source)
                zip_source_free(source);
            throw EVarnelError(QStringLiteral("Cannot add \"%1\" to the archive. %2").arg(unique, ZipError(FArchive)));
        }
    }

    void Close()
    {
        if (zip_close(FArchive) < 0)
            throw EVarnelError(QStringLiteral("Cannot write the archive. %1").arg(ZipError(FArchive)));
        FArchive = nullptr;
    }

private:
    zip_t *FArchive = nullptr;
    std::deque<QByteArray> FData;
    QHash<QString, bool> FNames;
};

// An archive being read. Entry names may use "\" or "/" between folder and name.
class TZipReader
{
public:
    explicit TZipReader(const QString &fileName)
    {
        int error = 0;
        FArchive = zip_open(QFile::encodeName(fileName).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &error);
        if (!FArchive)
            throw EVarnelError(QStringLiteral("\"%1\" is not a backup archive.").arg(fileName));
    }
    ~TZipReader()
    {
        if (FArchive)
            zip_discard(FArchive);
    }
    Q_DISABLE_COPY_MOVE(TZipReader)

    zip_int64_t Count() const { return zip_get_num_entries(FArchive, 0); }
    QString Name(zip_int64_t index) const
    {
        const char *name = zip_get_name(FArchive, zip_uint64_t(index), ZIP_FL_ENC_GUESS);
        return name ? QString::fromUtf8(name) : QString();
    }
    zip_int64_t Find(const QString &name) const
    {
        QString wanted = name;
        wanted.replace(u'\\', u'/');
        for (zip_int64_t i = 0; i < Count(); ++i)
            if (Name(i).replace(u'\\', u'/').compare(wanted, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }
    QString Text(zip_int64_t index) const
    {
        zip_stat_t stat;
        zip_file_t *file = index >= 0 && zip_stat_index(FArchive, zip_uint64_t(index), 0, &stat) == 0
            ? zip_fopen_index(FArchive, zip_uint64_t(index), 0)
            : nullptr;
        if (!file)
            throw EVarnelError(
                QStringLiteral("Cannot read \"%1\" from the archive. %2").arg(Name(index), ZipError(FArchive)));
        // The size is the archive's claim: an entry no library could have written is refused before memory is
        // taken for it.
        if (stat.size > MaxEntrySize) {
            zip_fclose(file);
            throw EVarnelError(
                QStringLiteral("The archive entry \"%1\" is too large to be part of a backup.").arg(Name(index)));
        }
        QByteArray data(qsizetype(stat.size), Qt::Uninitialized);
        const zip_int64_t read = zip_fread(file, data.data(), stat.size);
        zip_fclose(file);
        if (read != zip_int64_t(stat.size))
            throw EVarnelError(QStringLiteral("The archive entry \"%1\" is damaged.").arg(Name(index)));
        return DecodeText(data);
    }
    QString Text(const QString &name) const { return Text(Find(name)); }

private:
    zip_t *FArchive = nullptr;
};

} // namespace

void BackupLibrary(TdmMain &dm, const QString &fileName, const TProgress &progress)
{
    const QString partial = fileName + QStringLiteral(".part");
    QFile::remove(partial);
    {
        TZipWriter archive(partial);
        archive.Add(TemplatesEntry, StyleListText(dm));
        archive.Add(GroupFoldersEntry, GroupFolderListText(dm));
        archive.Add(GroupsEntry, GroupMemberListText(dm));
        archive.Add(JournalsEntry, JournalListText(dm));
        TPapers papers;
        dm.PrepareAllPaperList();
        dm.GetPapers(papers);
        int done = 0;
        for (const auto &paper : papers) {
            QStringList lines;
            PutToRIS(*paper, false, lines);
            archive.Add(paper->FileName + QStringLiteral(".ris"), LinesWithCRLF(lines));
            if (progress)
                progress(++done, int(papers.size()));
        }
        archive.Close();
    }
    // rename() replaces the old archive in one step: the name holds the old backup or the new, never a part.
    if (std::rename(QFile::encodeName(partial).constData(), QFile::encodeName(fileName).constData()) != 0) {
        QFile::remove(partial);
        throw EVarnelError(QStringLiteral("Cannot write the archive \"%1\". %2")
                               .arg(fileName, QString::fromLocal8Bit(strerror(errno))));
    }
}

void RestoreLibrary(TdmMain &dm, TUserPrompts &prompts, const QString &fileName, const QString &libraryFolder,
    const TProgress &progress)
{
    const TZipReader archive(fileName);
    if (archive.Find(TemplatesEntry) < 0)
        throw EVarnelError(QStringLiteral("\"%1\" is not a backup archive: it holds no style list.").arg(fileName));
    TTemplates styles;
    try {
        styles = ReadStyleList(SplitLines(archive.Text(TemplatesEntry)));
    } catch (const EVarnelError &error) {
        throw EVarnelError(QStringLiteral("The style list of \"%1\" is damaged. %2").arg(fileName, error.Message()));
    }

    // Everything is read before the library changes: an archive that cannot be read leaves the library as it was.
    // All records go to the importer as one input (one transaction); an empty line closes each.
    QStringList records;
    qsizetype textSize = 0;
    const zip_int64_t count = archive.Count();
    for (zip_int64_t i = 0; i < count; ++i) {
        if (!archive.Name(i).endsWith(QStringLiteral(".ris"), Qt::CaseInsensitive))
            continue;
        const QString text = archive.Text(i);
        textSize += text.size();
        if (textSize > MaxArchiveText)
            throw EVarnelError(
                QStringLiteral("\"%1\" holds more text than a library can: it is no backup.").arg(fileName));
        records << SplitLines(text) << QString();
        if (progress)
            progress(int(i + 1), int(count));
    }
    QStringList groupFolders;
    try {
        groupFolders = SplitLines(archive.Text(GroupFoldersEntry));
    } catch (const EVarnelError &) {
        // Group folders are optional in an archive.
    }
    const QStringList groups = SplitLines(archive.Text(GroupsEntry));
    const QStringList journals = SplitLines(archive.Text(JournalsEntry));

    // A marker beside the database says a restore is under way until it has finished.
    const QString marker = TdmMain::IsServerName(dm.DBFileName()) ? QString() : RestoreMarker(dm.DBFileName());
    if (!marker.isEmpty())
        SaveTextFile(marker, fileName);
    EmptyDatabase(dm);
    ReplaceStyles(dm, styles);
    TRISImporter(dm, prompts).Parse(records, true);
    try {
        ImportGroupFolderList(dm, groupFolders);
    } catch (const EVarnelError &) {
        // A group folder that cannot be made leaves its groups at the top level.
    }
    ImportGroupMemberList(dm, groups);
    ImportJournalList(dm, journals);
    SyncLocalFiles(dm, libraryFolder);
    if (!marker.isEmpty())
        QFile::remove(marker);
}

QString InterruptedRestoreNotice(const QString &dbFileName)
{
    const QString marker = RestoreMarker(dbFileName);
    if (!QFileInfo::exists(marker))
        return {};
    const QFileInfo database(dbFileName);
    return QStringLiteral("The restore from \"%1\" did not finish: the library may lack papers of the archive. The "
                          "library as it was before the restore is kept as \"%2\". Restore the archive again, or "
                          "close Varnel and copy that file over \"%3\" to go back to it.")
        .arg(ReadTextLines(marker).value(0),
            database.path() + u'/' + database.completeBaseName() + QStringLiteral(".bak"), dbFileName);
}

void EmptyDatabase(TdmMain &dm)
{
    const QString database = dm.DBFileName();
    if (TdmMain::IsServerName(database))
        throw EVarnelError(QStringLiteral("A library on a database server cannot be emptied from here."));
    const QFileInfo info(database);
    const QString backup = info.path() + u'/' + info.completeBaseName() + QStringLiteral(".bak");
    dm.Disconnect();
    if (info.exists()) {
        const QString error = ReplaceFileWithCopy(database, backup);
        if (!error.isEmpty()) {
            dm.Connect();
            throw EVarnelError(QStringLiteral("Cannot keep a copy of the database: %1").arg(error));
        }
        if (!QFile::remove(database)) {
            dm.Connect();
            throw EVarnelError(QStringLiteral("Cannot remove the database file \"%1\".").arg(database));
        }
    }
    if (!dm.CreateDatabase())
        throw EVarnelError(
            QStringLiteral("Cannot create the database \"%1\"; the old one is kept as \"%2\".").arg(database, backup));
}

void SyncLocalFiles(TdmMain &dm, const QString &libraryFolder)
{
    TPapers papers;
    dm.PrepareAllPaperList();
    dm.GetPapers(papers);
    TdmMain::TBatch batch(dm);
    for (const auto &paper : papers) {
        if (!paper->Ext.isEmpty()) {
            dm.SetLocal(paper->ID, QFileInfo::exists(StoredPaperPath(libraryFolder, *paper)));
        } else {
            const bool exists = QFileInfo::exists(PaperFullPath(libraryFolder, *paper));
            dm.SetLocal(paper->ID, paper->Folder, paper->FileName, paper->Ext, exists);
        }
    }
    batch.Commit();
}
