#pragma once

#include <QString>

#include <cstdint>

enum class TDownloadState : std::uint8_t { dsWait = 0, dsRun = 1, dsOk = 2, dsError = 3 };

// One entry of the download queue.
struct TDownloadData
{
    std::int32_t ID = 0; // paper ID in the library database
    QString Journal;
    QString Title;
    std::int32_t Size = 0;
    QString Folder;
    QString FileName;
    QString Ext;
    QString URL;
    QString PdfUrl; // empty while still to be found
    TDownloadState State = TDownloadState::dsWait;
};

using PDownloadData = TDownloadData *;
