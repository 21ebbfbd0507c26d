#pragma once

#include "IniFile.h"
#include "Options.h"
#include "SystemFiles.h"
#include "VarnelError.h"

#include <QString>

#include <memory>
#include <vector>

// The program's configuration: where it keeps its data, its INI file and the option groups bound to it.
// The program makes one at start-up and hands it to whoever needs settings; tests make their own on
// temporary folders.
class TConfig final
{
public:
    // programFolder: the executable's folder. appDataFolder: the per-user data root ("~/.local/share"),
    // by default the platform's (GetSpecialFolder). Creates the database folder unless in portable mode.
    explicit TConfig(const QString &programFolder, const QString &appDataFolder = GetSpecialFolder());
    // A data folder given as it is (the command-line tool's --data-dir): created when missing, never portable.
    struct TDataFolder
    {
        QString Path;
    };
    TConfig(const QString &programFolder, const TDataFolder &dataFolder);
    ~TConfig();
    Q_DISABLE_COPY_MOVE(TConfig)

    // The platform's per-user data folder (created when missing) with a trailing delimiter; "/" when there is none.
    static QString GetSpecialFolder();

    template <class TOptions> void RegisterOptions()
    {
        FOptions.push_back(std::make_unique<TOptions>(*FIni, FProgramFolder));
    }

    template <class TOptions> TOptions &GetOptions() const
    {
        for (const auto &group : FOptions)
            if (auto *options = dynamic_cast<TOptions *>(group.get()))
                return *options;
        throw EVarnelError(QStringLiteral("Unregistered option group") + QLatin1String(TOptions::ClassName));
    }

    QString GetSystemFileName(TVarnelSystemFile fileType) const;

    // The library folder with a trailing delimiter. An unset LibraryPath (it reads as "/") is first replaced by
    // the default library folder, so no caller ever places papers at the root of the file system.
    QString LibraryFolder() const;
    // What a first start makes besides the database: the library folder, named in the settings file (which is
    // thereby written). A portable copy creates nothing. Raises EVarnelError when the folder cannot be made.
    void CreateLibraryFolder() const;

    const QString &ProgramFolder() const { return FProgramFolder; } // with a trailing delimiter
    const QString &DataFolder() const { return FDataFolder; } // without
    const QString &DatabaseFolder() const { return FDatabaseFolder; }
    const QString &IniFileName() const { return FIni->FileName(); }
    bool Portable() const { return FPortable; }
    TIniFile &IniFile() const { return *FIni; }

private:
    void Load();

    QString FProgramFolder;
    QString FDataFolder;
    QString FDatabaseFolder;
    QString FDBFileName;
    bool FPortable = false;
    std::unique_ptr<TIniFile> FIni;
    std::vector<std::unique_ptr<TBaseOptions>> FOptions;
};
