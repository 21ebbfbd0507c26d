#pragma once

// The program's well-known files, resolved by TConfig::GetSystemFileName.
enum class TVarnelSystemFile {
    sfSystemIniFile = 0, // not resolved: the configuration holds the INI file name itself
    sfDBFileName = 1,
    sfServerErrorLog = 2,
    sfAppHelp = 3,
    sfAppVerInfo = 4, // not resolved
    sfColumnsStore = 5,
    sfDownloadsStore = 6,
    sfDownloadErrorLog = 7,
    sfCollectionsStore = 8, // not resolved
    sfPresets = 9,
    sfDBUpdateFile = 10,
    sfLibraryPath = 11,
};
