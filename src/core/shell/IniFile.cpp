#include "IniFile.h"

#include "VarnelError.h"

#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QSaveFile>

#include <vector>

namespace {

// One physical line: its bytes without the line ending, and the ending itself ("\n", "\r\n" or none).
struct TLine
{
    QByteArray Text;
    QByteArray Ending;
};

struct TParsedIni
{
    std::vector<TLine> Lines;
    QByteArray DefaultEnding = QByteArrayLiteral("\n");
};

TParsedIni SplitLines(const QByteArray &content)
{
    TParsedIni ini;
    bool endingSeen = false;
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype nl = content.indexOf('\n', start);
        TLine line;
        if (nl < 0) {
            line.Text = content.mid(start);
            start = content.size();
        } else {
            qsizetype end = nl;
            if (end > start && content.at(end - 1) == '\r')
                --end;
            line.Text = content.mid(start, end - start);
            line.Ending = content.mid(end, nl + 1 - end);
            start = nl + 1;
            if (!endingSeen) {
                ini.DefaultEnding = line.Ending;
                endingSeen = true;
            }
        }
        ini.Lines.push_back(std::move(line));
    }
    if (!ini.Lines.empty() && ini.Lines.front().Text.startsWith("\xEF\xBB\xBF"))
        ini.Lines.front().Text.remove(0, 3); // restored by Join
    return ini;
}

bool HadBom(const QByteArray &content)
{
    return content.startsWith("\xEF\xBB\xBF");
}

QByteArray Join(const TParsedIni &ini, bool bom)
{
    QByteArray out;
    if (bom)
        out += "\xEF\xBB\xBF";
    for (const TLine &line : ini.Lines)
        out += line.Text + line.Ending;
    return out;
}

// A section header's name, or nothing for any other line.
std::optional<QString> SectionName(const QByteArray &raw)
{
    const QByteArray text = raw.trimmed();
    if (!text.startsWith('['))
        return std::nullopt;
    const qsizetype close = text.indexOf(']');
    if (close < 0)
        return std::nullopt;
    return QString::fromUtf8(text.mid(1, close - 1)).trimmed();
}

struct TKeyLine
{
    QString Key;
    QString Value;
};

std::optional<TKeyLine> KeyLine(const QByteArray &raw)
{
    const QByteArray text = raw.trimmed();
    if (text.isEmpty() || text.startsWith(';') || text.startsWith('#') || text.startsWith('['))
        return std::nullopt;
    const qsizetype eq = text.indexOf('=');
    if (eq <= 0)
        return std::nullopt;
    TKeyLine line{QString::fromUtf8(text.left(eq)).trimmed(), QString::fromUtf8(text.mid(eq + 1)).trimmed()};
    // Values with outer blanks or outer quotes are written inside one more pair of quotes (EncodeValue).
    if (line.Value.size() >= 2 && line.Value.startsWith(u'"') && line.Value.endsWith(u'"'))
        line.Value = line.Value.mid(1, line.Value.size() - 2);
    return line;
}

QByteArray EncodeValue(const QString &value)
{
    const bool outerBlank = !value.isEmpty() && (value.front().isSpace() || value.back().isSpace());
    const bool outerQuotes = value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"');
    if (outerBlank || outerQuotes)
        return '"' + value.toUtf8() + '"';
    return value.toUtf8();
}

bool SameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Line range [First, End) of a section's body, or nothing when the section is absent.
struct TSectionRange
{
    std::size_t First;
    std::size_t End;
};

std::optional<TSectionRange> FindSection(const TParsedIni &ini, const QString &section)
{
    for (std::size_t i = 0; i < ini.Lines.size(); ++i) {
        const auto name = SectionName(ini.Lines[i].Text);
        if (!name || !SameName(*name, section))
            continue;
        std::size_t end = i + 1;
        while (end < ini.Lines.size() && !SectionName(ini.Lines[end].Text))
            ++end;
        return TSectionRange{i + 1, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> FindKey(const TParsedIni &ini, const TSectionRange &range, const QString &key)
{
    for (std::size_t i = range.First; i < range.End; ++i) {
        const auto line = KeyLine(ini.Lines[i].Text);
        if (line && SameName(line->Key, key))
            return i;
    }
    return std::nullopt;
}

} // namespace

TIniFile::TIniFile(QString fileName)
    : FFileName(std::move(fileName))
{
}

QByteArray TIniFile::Load() const
{
    QFile file(FFileName);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        throw EVarnelError(QStringLiteral("Cannot read the settings file %1: %2").arg(FFileName, file.errorString()));
    return file.readAll();
}

void TIniFile::Save(const QByteArray &content) const
{
    QSaveFile file(FFileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        throw EVarnelError(QStringLiteral("Cannot write the settings file %1: %2").arg(FFileName, file.errorString()));
}

std::optional<QString> TIniFile::Read(const QString &section, const QString &key) const
{
    QByteArray content;
    try {
        QMutexLocker lock(&FLock);
        content = Load();
    } catch (const EVarnelError &) {
        return std::nullopt; // an unreadable file reads like a missing one: every setting has its default
    }
    const TParsedIni ini = SplitLines(content);
    const auto range = FindSection(ini, section);
    if (!range)
        return std::nullopt;
    const auto at = FindKey(ini, *range, key);
    if (!at)
        return std::nullopt;
    return KeyLine(ini.Lines[*at].Text)->Value;
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    return Read(section, key).value_or(defaultValue);
}

bool TIniFile::ValueExists(const QString &section, const QString &key) const
{
    return Read(section, key).has_value();
}

void TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    if (value.contains(u'\n') || value.contains(u'\r'))
        throw EVarnelError(QStringLiteral("The setting %1 of [%2] cannot hold a line break").arg(key, section));

    QMutexLocker lock(&FLock);
    const QByteArray content = Load();
    TParsedIni ini = SplitLines(content);
    const QByteArray &eol = ini.DefaultEnding;

    if (const auto range = FindSection(ini, section)) {
        if (const auto at = FindKey(ini, *range, key)) {
            // Keep the key as it was spelled and any indentation before it.
            QByteArray &text = ini.Lines[*at].Text;
            text = text.left(text.indexOf('=') + 1) + EncodeValue(value);
        } else {
            std::size_t insertAt = range->End;
            while (insertAt > range->First && ini.Lines[insertAt - 1].Text.trimmed().isEmpty())
                --insertAt;
            if (insertAt > 0 && ini.Lines[insertAt - 1].Ending.isEmpty())
                ini.Lines[insertAt - 1].Ending = eol;
            ini.Lines.insert(ini.Lines.begin() + std::ptrdiff_t(insertAt), TLine{key.toUtf8() + '=' + EncodeValue(value), eol});
        }
    } else {
        if (!ini.Lines.empty()) {
            if (ini.Lines.back().Ending.isEmpty())
                ini.Lines.back().Ending = eol;
            if (!ini.Lines.back().Text.trimmed().isEmpty())
                ini.Lines.push_back(TLine{{}, eol});
        }
        ini.Lines.push_back(TLine{'[' + section.toUtf8() + ']', eol});
        ini.Lines.push_back(TLine{key.toUtf8() + '=' + EncodeValue(value), eol});
    }
    Save(Join(ini, HadBom(content)));
}

void TIniFile::DeleteKey(const QString &section, const QString &key)
{
    QMutexLocker lock(&FLock);
    const QByteArray content = Load();
    TParsedIni ini = SplitLines(content);
    const auto range = FindSection(ini, section);
    if (!range)
        return;
    const auto at = FindKey(ini, *range, key);
    if (!at)
        return;
    ini.Lines.erase(ini.Lines.begin() + std::ptrdiff_t(*at));
    Save(Join(ini, HadBom(content)));
}

QList<std::pair<QString, QString>> TIniFile::ReadSection(const QString &section) const
{
    QByteArray content;
    try {
        QMutexLocker lock(&FLock);
        content = Load();
    } catch (const EVarnelError &) {
        return {};
    }
    const TParsedIni ini = SplitLines(content);
    QList<std::pair<QString, QString>> keys;
    if (const auto range = FindSection(ini, section))
        for (std::size_t i = range->First; i < range->End; ++i)
            if (const auto line = KeyLine(ini.Lines[i].Text))
                keys.append({line->Key, line->Value});
    return keys;
}

void TIniFile::ReplaceSection(const QString &section, const QList<std::pair<QString, QString>> &keys)
{
    for (const auto &[key, value] : keys)
        if (value.contains(u'\n') || value.contains(u'\r'))
            throw EVarnelError(QStringLiteral("The setting %1 of [%2] cannot hold a line break").arg(key, section));
    QMutexLocker lock(&FLock);
    const QByteArray content = Load();
    TParsedIni ini = SplitLines(content);
    const QByteArray eol = ini.DefaultEnding;
    std::size_t at = ini.Lines.size();
    if (const auto range = FindSection(ini, section)) {
        // The header and the body up to its trailing blank lines, which keep separating the next section.
        std::size_t end = range->End;
        while (end > range->First && ini.Lines[end - 1].Text.trimmed().isEmpty())
            --end;
        at = range->First - 1;
        ini.Lines.erase(ini.Lines.begin() + std::ptrdiff_t(at), ini.Lines.begin() + std::ptrdiff_t(end));
    } else if (!keys.isEmpty() && !ini.Lines.empty()) {
        if (ini.Lines.back().Ending.isEmpty())
            ini.Lines.back().Ending = eol;
        if (!ini.Lines.back().Text.trimmed().isEmpty()) {
            ini.Lines.push_back(TLine{{}, eol});
        }
        at = ini.Lines.size();
    }
    if (!keys.isEmpty()) {
        std::vector<TLine> lines{TLine{'[' + section.toUtf8() + ']', eol}};
        for (const auto &[key, value] : keys)
            lines.push_back(TLine{key.toUtf8() + '=' + EncodeValue(value), eol});
        ini.Lines.insert(ini.Lines.begin() + std::ptrdiff_t(at), lines.begin(), lines.end());
    }
    Save(Join(ini, HadBom(content)));
}
