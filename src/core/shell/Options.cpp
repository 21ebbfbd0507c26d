#include "Options.h"

#include "FileUtils.h"
#include "IniFile.h"
#include "TextUtils.h"
#include "VarnelError.h"

namespace {

TOptionProperty Int(const char *name, int value)
{
    return {QString::fromLatin1(name), TOptionType::otInteger, value};
}

TOptionProperty Bool(const char *name, bool value)
{
    return {QString::fromLatin1(name), TOptionType::otBoolean, value};
}

TOptionProperty Str(const char *name, const QString &value = {})
{
    return {QString::fromLatin1(name), TOptionType::otString, value};
}

} // namespace

std::optional<int> ParseIniInteger(const QString &text)
{
    QStringView digits = QStringView(text).trimmed();
    bool negative = false;
    if (digits.startsWith(u'-') || digits.startsWith(u'+')) {
        negative = digits.front() == u'-';
        digits = digits.mid(1);
    }
    int base = 10;
    if (digits.startsWith(u'$')) {
        base = 16;
        digits = digits.mid(1);
    } else if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        digits = digits.mid(2);
    }
    if (digits.isEmpty() || digits.front() == u'-' || digits.front() == u'+')
        return std::nullopt;
    bool ok = false;
    const qlonglong magnitude = digits.toLongLong(&ok, base);
    if (!ok)
        return std::nullopt;
    const qlonglong value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

QString SubstitutePathMacro(const QString &value, const QString &programFolder)
{
    static const QString macro = QStringLiteral("%PATH%");
    if (!value.contains(macro, Qt::CaseInsensitive))
        return value;
    QString result = value;
    result.replace(macro, programFolder, Qt::CaseInsensitive);
    // Stored values may come from a system that writes "\" between folders.
    result.replace(u'\\', u'/');
    while (result.contains(QLatin1String("//")))
        result.replace(QLatin1String("//"), QLatin1String("/"));
    return result;
}

TBaseOptions::TBaseOptions(TIniFile &iniFile, QString section, QList<TOptionProperty> properties, QString programFolder)
    : FIni(iniFile)
    , FSection(std::move(section))
    , FProperties(std::move(properties))
    , FProgramFolder(std::move(programFolder))
{ }

const TOptionProperty &TBaseOptions::Property(int index) const
{
    if (index < 0 || index >= FProperties.size())
        throw EVarnelError(QStringLiteral("TVadiConfig. Property %1 does not exists").arg(index));
    const TOptionProperty &property = FProperties.at(index);
    if (property.Name.isEmpty())
        throw EVarnelError(QStringLiteral("Undefined property name"));
    return property;
}

bool TBaseOptions::GetBoolean(int index) const
{
    const TOptionProperty &property = Property(index);
    const auto stored = FIni.Read(FSection, property.Name);
    const auto number = stored ? ParseIniInteger(*stored) : std::nullopt;
    return number ? *number != 0 : property.Default.toBool();
}

int TBaseOptions::GetInteger(int index) const
{
    const TOptionProperty &property = Property(index);
    const auto stored = FIni.Read(FSection, property.Name);
    const auto number = stored ? ParseIniInteger(*stored) : std::nullopt;
    return number ? *number : property.Default.toInt();
}

QString TBaseOptions::GetRawString(int index) const
{
    const TOptionProperty &property = Property(index);
    return FIni.Read(FSection, property.Name).value_or(property.Default.toString());
}

QString TBaseOptions::GetString(int index) const
{
    return SubstitutePathMacro(GetRawString(index), FProgramFolder);
}

void TBaseOptions::SetBoolean(int index, bool value)
{
    FIni.WriteString(FSection, Property(index).Name, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TBaseOptions::SetInteger(int index, int value)
{
    FIni.WriteString(FSection, Property(index).Name, QString::number(value));
}

void TBaseOptions::SetString(int index, const QString &value)
{
    FIni.WriteString(FSection, Property(index).Name, value);
}

TProxyOptions::TProxyOptions(TIniFile &iniFile, const QString &programFolder)
    : TBaseOptions(iniFile, QStringLiteral("Proxy"),
        {Str("Proxy"), Int("Port", 0), Str("User"), Str("Pass"), Bool("UseIESettings", false), Int("TimeOut", 30000),
            Int("ReadTimeOut", 30000)},
        programFolder)
{ }

QString TProxyOptions::Pass() const
{
    // A scrambled password is no path: "%PATH%" or "\\" in it must come back as stored.
    return UnscramblePassword(GetRawString(3));
}

void TProxyOptions::SetPass(const QString &value)
{
    SetString(3, ScramblePassword(value));
}

TLastOptions::TLastOptions(TIniFile &iniFile, const QString &programFolder)
    : TBaseOptions(iniFile, QStringLiteral("Last"),
        {Int("LastJournal", 0), Int("LastPaper", 0), Str("LastTemplateTitle", QStringLiteral("Thin Solid Films")),
            Int("ActivePage", 0), Int("LastGroup", 0), Int("LastGroupPaper", 0), Int("JInfoIndx", 0),
            Int("SInfoIndx", 0), Int("GInfoIndx", 0)},
        programFolder)
{ }

TOtherOptions::TOtherOptions(TIniFile &iniFile, const QString &programFolder)
    : TBaseOptions(iniFile, QStringLiteral("Options"),
        {Bool("CheckForUpdates", true),
            Str("UpdateInfoURL", QStringLiteral("https://www.varnel.org/update/varnel.info")),
            Bool("FastWordInsertion", true),
            Str("WriterConnection", QStringLiteral("socket,host=127.0.0.1,port=2002;urp"))},
        programFolder)
{ }

TPathOptions::TPathOptions(TIniFile &iniFile, const QString &programFolder)
    : TBaseOptions(iniFile, QStringLiteral("Path"),
        {Str("LibraryPath"), Str("LastAddPaperFolder"), Str("LastOpenRISFolder"), Str("LastSaveRISFolder"),
            Str("LastSavePDFFolder"), Str("LastSaveAllFolder"), Str("LastBackupFolder"), Str("DBFilePath")},
        programFolder)
{ }

QString TPathOptions::LibraryPath() const
{
    return IncludeTrailingDelimiter(GetString(0));
}

TViewerOptions::TViewerOptions(TIniFile &iniFile, const QString &programFolder)
    : TBaseOptions(iniFile, QStringLiteral("Viewer"),
        {Str("ExeName"), Str("Path"), Str("Params", QStringLiteral("-restrict -zoom \"fit width\""))}, programFolder)
{ }

TWindowOptions::TWindowOptions(TIniFile &iniFile, const QString &programFolder)
    : TBaseOptions(iniFile, QStringLiteral("Window"),
        {Int("State", 0), Int("FormTop", 100), Int("FormLeft", 100), Int("FormWidth", 900), Int("FormHeight", 780),
            Int("SplitterVJ", 20), Int("SplitterJ", 80), Int("SplitterS", 80), Int("SplitterVG", 20),
            Int("SplitterG", 80), Int("SplitterJH", 50), Int("SplitterSH", 50), Int("SplitterGH", 50),
            Bool("WideModeJ", false), Bool("WideModeS", false), Bool("WideModeG", false)},
        programFolder)
{ }
