#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QString>

#include <optional>
#include <utility>

// A small INI reader/writer. Every read goes to the file and every write rewrites it at once, so several
// processes (the desktop program and the command-line tool) always see each other's settings.
//
// Writing one key rewrites that line only: other sections, keys, comments, blank lines, line endings and even
// bytes that are not valid UTF-8 stay as they were. The file is replaced through a temporary file and a rename,
// so a failed write never leaves it half-written. Section and key names match without letter case; the first
// of duplicated sections or keys wins.
class TIniFile final
{
public:
    explicit TIniFile(QString fileName);
    Q_DISABLE_COPY_MOVE(TIniFile)

    const QString &FileName() const { return FFileName; }

    // The key's value, or nothing when the file, the section or the key does not exist.
    std::optional<QString> Read(const QString &section, const QString &key) const;
    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    bool ValueExists(const QString &section, const QString &key) const;

    // Throws EVarnelError when the file cannot be written or the value holds a line break.
    void WriteString(const QString &section, const QString &key, const QString &value);

    // Removes the key; nothing happens when it does not exist.
    void DeleteKey(const QString &section, const QString &key);

    // The section's keys and values in file order (empty when the file or section does not exist).
    QList<std::pair<QString, QString>> ReadSection(const QString &section) const;
    // Replaces the section's keys by these, in this order, with one rewrite of the file; no keys erases the
    // section, header and all.
    void ReplaceSection(const QString &section, const QList<std::pair<QString, QString>> &keys);

private:
    QByteArray Load() const;
    void Save(const QByteArray &content) const;

    QString FFileName;
    mutable QMutex FLock; // read-modify-write of one process never interleaves
};
