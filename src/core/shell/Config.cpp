#include "Config.h"

#include "FileUtils.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

TConfig::TConfig(const QString &programFolder, const QString &appDataFolder)
    : FProgramFolder(IncludeTrailingDelimiter(QDir::cleanPath(programFolder)))
{
    const QString userFolder = IncludeTrailingDelimiter(appDataFolder) + QStringLiteral("Varnel");
    FPortable = QFileInfo::exists(FProgramFolder + QStringLiteral("uselocaldata"));
    FDataFolder = FPortable ? ExcludeTrailingDelimiter(FProgramFolder) : userFolder;
    Load();
}

TConfig::TConfig(const QString &programFolder, const TDataFolder &dataFolder)
    : FProgramFolder(IncludeTrailingDelimiter(QDir::cleanPath(programFolder)))
    , FDataFolder(ExcludeTrailingDelimiter(QDir::cleanPath(QFileInfo(dataFolder.Path).absoluteFilePath())))
{
    Load();
}

void TConfig::Load()
{
    FDatabaseFolder = JoinPath(FDataFolder, QStringLiteral("Database"));
    // A portable copy expects its own "Database" folder beside the executable and creates nothing.
    if (!FPortable && !ForceFolder(QString(), FDatabaseFolder))
        throw EVarnelError(QStringLiteral("Cannot create the folder \"%1\"").arg(FDatabaseFolder));

    FIni = std::make_unique<TIniFile>(JoinPath(FDataFolder, QStringLiteral("varnel.ini")));
    RegisterOptions<TProxyOptions>();
    RegisterOptions<TLastOptions>();
    RegisterOptions<TPathOptions>();
    RegisterOptions<TWindowOptions>();
    RegisterOptions<TViewerOptions>();
    RegisterOptions<TOtherOptions>();

    const QString dbFilePath = GetOptions<TPathOptions>().DBFilePath();
    FDBFileName = dbFilePath.isEmpty() ? JoinPath(FDatabaseFolder, QStringLiteral("varnel.gdb")) : dbFilePath;
}

TConfig::~TConfig() = default;

QString TConfig::GetSpecialFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return QStringLiteral("/");
    return IncludeTrailingDelimiter(folder);
}

QString TConfig::GetSystemFileName(TVarnelSystemFile fileType) const
{
    const auto inData = [this](const char *name) { return JoinPath(FDataFolder, QString::fromLatin1(name)); };
    switch (fileType) {
    case TVarnelSystemFile::sfDBFileName:
        return FDBFileName;
    case TVarnelSystemFile::sfServerErrorLog:
        return inData("server_error.html");
    case TVarnelSystemFile::sfAppHelp: {
        // Beside the program in a build or a portable copy; under share/ when installed.
        const QString beside = FProgramFolder + QStringLiteral("help/index.html");
        const QString installed = QDir::cleanPath(FProgramFolder + QStringLiteral("../share/varnel/help/index.html"));
        return QFileInfo::exists(beside) || !QFileInfo::exists(installed) ? beside : installed;
    }
    case TVarnelSystemFile::sfColumnsStore:
        return inData("columns.ini");
    case TVarnelSystemFile::sfDownloadsStore:
        return inData("downloads.sav");
    case TVarnelSystemFile::sfDownloadErrorLog:
        return inData("download_errors.log");
    case TVarnelSystemFile::sfPresets:
        return inData("presets.cxml");
    case TVarnelSystemFile::sfDBUpdateFile:
        return inData("update.sql");
    case TVarnelSystemFile::sfLibraryPath:
        return inData("Library");
    case TVarnelSystemFile::sfSystemIniFile:
    case TVarnelSystemFile::sfAppVerInfo:
    case TVarnelSystemFile::sfCollectionsStore:
        break;
    }
    Q_ASSERT_X(false, "TConfig::GetSystemFileName", "this file is not resolved");
    return {};
}

void TConfig::CreateLibraryFolder() const
{
    if (FPortable)
        return;
    const QString folder = LibraryFolder();
    if (!ForceFolder(QString(), folder))
        throw EVarnelError(QStringLiteral("Cannot create the library folder \"%1\"").arg(folder));
}

QString TConfig::LibraryFolder() const
{
    TPathOptions &paths = GetOptions<TPathOptions>();
    QString folder = paths.LibraryPath();
    if (folder == QLatin1String("/") || folder == QLatin1String("\\")) {
        paths.SetLibraryPath(GetSystemFileName(TVarnelSystemFile::sfLibraryPath));
        folder = paths.LibraryPath();
    }
    return folder;
}
