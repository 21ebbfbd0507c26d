#include "PaperFiles.h"

#include "FileUtils.h"
#include "UserPrompts.h"
#include "records/LibraryRecords.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

QString SanitizeFileName(const QString &text)
{
    static const QString invalid = QStringLiteral("\"*/:<>?\\|");
    QString result = text;
    for (QChar &c : result)
        if (c.unicode() < 32 || invalid.contains(c))
            c = u' ';
    return result;
}

namespace {

QByteArray SevenBit(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text)
        bytes.append(c.unicode() <= 0x7F ? char(c.unicode()) : '?');
    return bytes;
}

// A folder name of dots alone would climb out of the library folder (".."), or name the folder itself (".").
QString FolderComponent(const QString &text)
{
    QString name = SanitizeFileName(text);
    if (!name.isEmpty() && name.count(u'.') == name.size())
        name.fill(u'_');
    return name;
}

} // namespace

QString MD5Hex(const QString &a, const QString &b)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(QByteArray(SevenBit(a) + SevenBit(b)), QCryptographicHash::Md5).toHex().toUpper());
}

QString JournalFolderName(const QString &journalTitle)
{
    return FolderComponent(journalTitle);
}

QString PaperFolder(const TPaperRecord &paper)
{
    QString folder = FolderComponent(paper.JournalTitle()) + u'/';
    if (paper.PType == u'J' && !paper.Volume.isEmpty())
        folder += FolderComponent(paper.Volume) + u'/';
    return folder;
}

QString PaperFileName(const TPaperRecord &paper)
{
    return MD5Hex(paper.JournalTitle(), paper.Title);
}

QString PaperFullPath(const QString &libraryFolder, TPaperRecord &paper)
{
    if (paper.Ext.isEmpty())
        paper.Ext = QStringLiteral(".pdf");
    paper.Folder = PaperFolder(paper);
    paper.FileName = PaperFileName(paper);
    return IncludeTrailingDelimiter(libraryFolder) + paper.Folder + paper.FileName + paper.Ext;
}

QString StoredPaperPath(const QString &libraryFolder, const TPaperRecord &paper)
{
    const QString folder = ToSlashes(paper.Folder);
    return JoinPath(JoinPath(libraryFolder, folder), paper.FileName + paper.Ext);
}

QString MakeExportFileName(const TPaperRecord &paper)
{
    const QString author = paper.AuthorList.isEmpty() ? QString() : paper.AuthorList.front().Last;
    // Built by concatenation: titles may hold "%1" and the like, which QString::arg would fill in again.
    const QString year = QString::number(paper.Year);
    if (paper.PType == u'J') {
        const QString abbreviation = paper.Journal ? paper.Journal->Abbrv : QString();
        return SanitizeFileName(
            author + QStringLiteral(", ") + abbreviation + QStringLiteral(" (") + paper.Volume + u'-' + year + u')');
    }
    return SanitizeFileName(author + QStringLiteral(", ") + paper.Title + QStringLiteral(" (") + year + u')');
}

bool CopyPaperFileTo(
    TPaperRecord &paper, const QString &libraryFolder, const QString &targetFolder, TUserPrompts &prompts)
{
    const QString source = PaperFullPath(libraryFolder, paper);
    const QString target = IncludeTrailingDelimiter(targetFolder) + MakeExportFileName(paper) + paper.Ext;
    QString error;
    if (!QFileInfo(source).isFile())
        error = QStringLiteral("The file %1 does not exist").arg(source);
    else
        error = ReplaceFileWithCopy(source, target);
    if (error.isEmpty())
        return true;
    prompts.ShowMessage(
        QStringLiteral("Error: Couldn'nt copy file of \"") + paper.Title + QStringLiteral("\"\r\n") + error,
        TMessageKind::mkError);
    return false;
}

bool MoveIntoLibrary(const QString &libraryFolder, TPaperRecord &paper, const QString &file)
{
    const QFileInfo source(file);
    if (file.isEmpty() || !source.isFile())
        return false;
    paper.Ext = source.suffix().isEmpty() ? QString() : u'.' + source.suffix();
    const QString target = PaperFullPath(libraryFolder, paper);
    // Copying the paper's own file onto itself and then deleting the "source" would lose it.
    if (source.canonicalFilePath() == QFileInfo(target).canonicalFilePath()) {
        paper.Local = true;
        return true;
    }
    ForceFolder(QString(), QFileInfo(target).absolutePath());
    QFile::remove(target);
    if (!QFile::copy(file, target))
        return false;
    paper.Local = true;
    QFile::remove(file);
    return true;
}
