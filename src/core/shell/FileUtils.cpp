#include "FileUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QString IncludeTrailingDelimiter(const QString &path)
{
    return path.endsWith(u'/') || path.endsWith(u'\\') ? path : path + u'/';
}

QString ExcludeTrailingDelimiter(const QString &path)
{
    QString result = path;
    while (result.size() > 1 && (result.endsWith(u'/') || result.endsWith(u'\\')))
        result.chop(1);
    return result;
}

QString JoinPath(const QString &folder, const QString &name)
{
    if (folder.isEmpty())
        return name;
    QStringView tail(name);
    while (tail.startsWith(u'/') || tail.startsWith(u'\\'))
        tail = tail.mid(1);
    return IncludeTrailingDelimiter(folder) + tail;
}

QString ToSlashes(const QString &path)
{
    QString result = path;
    return result.replace(u'\\', u'/');
}

bool ForceFolder(const QString &base, const QString &path)
{
    QString folder;
    if (path == QLatin1String("/") || path == QLatin1String("\\"))
        folder = base + path;
    else if (base.isEmpty() || QDir::isAbsolutePath(ToSlashes(path)))
        folder = path;
    else
        folder = JoinPath(base, path);
    folder = ToSlashes(folder);
    if (folder.isEmpty())
        return false;
    return QDir().mkpath(folder) && QFileInfo(folder).isDir();
}

bool MoveFolder(const QString &oldName, const QString &newName)
{
    if (QDir().rename(oldName, newName))
        return true;
    // rename() cannot cross file systems; a single file can still be copied and the original removed.
    if (!QFileInfo(oldName).isFile() || QFileInfo::exists(newName))
        return false;
    if (!ReplaceFileWithCopy(oldName, newName).isEmpty())
        return false;
    if (!QFile::remove(oldName)) {
        QFile::remove(newName);
        return false;
    }
    return true;
}

QString ReplaceFileWithCopy(const QString &source, const QString &target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return in.errorString();
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return out.errorString();
    char buffer[1 << 16];
    for (;;) {
        const qint64 got = in.read(buffer, sizeof buffer);
        if (got < 0)
            return in.errorString();
        if (got == 0)
            break;
        if (out.write(buffer, got) != got)
            return out.errorString();
    }
    if (!out.commit())
        return out.errorString();
    return {};
}
