#include "DownloadQueue.h"

TDownloadData DownloadEntry(const TPaperRecord &paper, const QString &pdfUrl)
{
    TDownloadData entry;
    entry.ID = paper.ID;
    entry.Journal = paper.JournalTitle();
    entry.Title = paper.Title;
    entry.URL = paper.URL;
    entry.PdfUrl = pdfUrl;
    entry.FileName = paper.FileName;
    entry.Folder = paper.Folder;
    entry.Ext = paper.Ext;
    entry.State = TDownloadState::dsWait;
    return entry;
}

TDownloadQueue::TDownloadQueue(QObject *parent)
    : QObject(parent)
{ }

int TDownloadQueue::RowOf(int id) const
{
    for (std::size_t row = 0; row < FEntries.size(); ++row)
        if (FEntries[row]->ID == id)
            return int(row);
    return -1;
}

bool TDownloadQueue::Add(const TPaperRecord &paper, const QString &pdfUrl)
{
    if (RowOf(paper.ID) >= 0)
        return false;
    auto entry = std::make_unique<TDownloadData>(DownloadEntry(paper, pdfUrl));
    FEntries.push_back(std::move(entry));
    Q_EMIT ListChanged();
    return true;
}

void TDownloadQueue::Delete(const QSet<int> &ids)
{
    const auto removed = std::erase_if(FEntries,
        [&ids](const auto &entry) { return ids.contains(entry->ID) && entry->State != TDownloadState::dsRun; });
    if (removed)
        Q_EMIT ListChanged();
}

void TDownloadQueue::Clear()
{
    FEntries.clear();
    FPage.Count = QStringLiteral("(0)");
    Q_EMIT ListChanged();
    Q_EMIT PageChanged();
}

void TDownloadQueue::SetEntryState(int id, TDownloadState state)
{
    const int row = RowOf(id);
    if (row < 0)
        return;
    FEntries[std::size_t(row)]->State = state;
    Q_EMIT EntryChanged(row);
}

void TDownloadQueue::SetPdfUrl(int id, const QString &pdfUrl)
{
    const int row = RowOf(id);
    if (row >= 0)
        FEntries[std::size_t(row)]->PdfUrl = pdfUrl;
}

void TDownloadQueue::RemoveEntry(int id)
{
    const int row = RowOf(id);
    if (row < 0)
        return;
    FEntries.erase(FEntries.begin() + row);
    Q_EMIT ListChanged();
}

void TDownloadQueue::UpdateCount()
{
    FPage.Count = QStringLiteral("(%1)").arg(FEntries.size());
}
