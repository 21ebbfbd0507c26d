#pragma once

#include "RecordingPrompts.h"
#include "TestRecords.h"
#include "library/DataModule.h"
#include "shell/Config.h"

#include <QTemporaryDir>

#include <memory>

// A library as the desktop program keeps it, in a temporary data folder: the settings, the database and the
// library folder. Window tests derive from it.
struct TLibraryFixture
{
    std::unique_ptr<QTemporaryDir> FDir;
    std::unique_ptr<TConfig> FConfig;
    TRecordingPrompts FPrompts;
    std::unique_ptr<TdmMain> FDm;

    // Creates the library; false when the database could not be made.
    bool OpenLibrary()
    {
        FDir = std::make_unique<QTemporaryDir>();
        FConfig
            = std::make_unique<TConfig>(FDir->filePath(QStringLiteral("prog")), FDir->filePath(QStringLiteral("data")));
        FConfig->GetOptions<TOtherOptions>().SetCheckForUpdates(false); // tests reach no address but loopback
        FDm = std::make_unique<TdmMain>(FPrompts, [this] { return FConfig->LibraryFolder(); });
        return FDm->OpenLibrary(FConfig->GetSystemFileName(TVarnelSystemFile::sfDBFileName), QString(), false);
    }

    int AddJournal(const QString &title, QChar type = u'J') { return AddTestJournal(*FDm, title, type); }
};
