#pragma once

#include "records/DownloadData.h"
#include "records/LibraryRecords.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>

#include <memory>
#include <vector>

// The queue entry of a paper: its place in the library and where its PDF is (empty: still to be found).
TDownloadData DownloadEntry(const TPaperRecord &paper, const QString &pdfUrl);

// The download list and the download page's labels, owned by the main thread: the window shows them, the
// download worker changes them only through the main thread. No two entries share a paper ID.
class TDownloadQueue final : public QObject
{
    Q_OBJECT

public:
    // What the download page shows beside the list.
    struct TPageState
    {
        int Progress = 0;
        bool ProgressVisible = false;
        QString State = QStringLiteral("Waiting");
        QString Author = QStringLiteral("Author");
        QString Title = QStringLiteral("Title");
        QString Count = QStringLiteral("(0)");
        bool Idle = true; // Start, Delete, Clear and the moves enabled; Stop disabled
    };

    explicit TDownloadQueue(QObject *parent = nullptr);

    // Appends an entry for the paper in dsWait unless its ID is queued already; true when appended.
    bool Add(const TPaperRecord &paper, const QString &pdfUrl);
    // Removes the entries of these IDs, except one that is running.
    void Delete(const QSet<int> &ids);
    void Clear();

    int Count() const { return int(FEntries.size()); }
    const TDownloadData &Entry(int row) const { return *FEntries[std::size_t(row)]; }
    // The row of the entry with that paper ID, -1 when it is not queued.
    int RowOf(int id) const;
    const TPageState &Page() const { return FPage; }
    // Whether the window is shown: the page's labels and progress follow the run only then.
    bool WindowVisible = true;
    // Where a finished download's TLocalStatusEvent goes (the main window).
    QPointer<QObject> LocalStatusReceiver;

    // --- steps of the worker, run on the main thread ---------------------------------------------------------
    void SetEntryState(int id, TDownloadState state);
    void SetPdfUrl(int id, const QString &pdfUrl);
    void RemoveEntry(int id);
    TPageState &EditPage() { return FPage; }
    void NotifyPage() { Q_EMIT PageChanged(); }
    void UpdateCount();

Q_SIGNALS:
    void ListChanged(); // rows added, removed or cleared
    void EntryChanged(int row);
    void PageChanged();

private:
    std::vector<std::unique_ptr<TDownloadData>> FEntries;
    TPageState FPage;
};
