#include "DownloadListModel.h"

#include "shell/TextUtils.h"

#include <QColor>

TDownloadListModel::TDownloadListModel(TDownloadQueue &queue, QObject *parent)
    : QAbstractTableModel(parent)
    , FQueue(queue)
{
    connect(&queue, &TDownloadQueue::ListChanged, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(&queue, &TDownloadQueue::EntryChanged, this,
        [this](int row) { Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1)); });
}

QString TDownloadListModel::StateText(TDownloadState state)
{
    switch (state) {
    case TDownloadState::dsWait:
        return QStringLiteral("Waiting");
    case TDownloadState::dsRun:
        return QStringLiteral("Download");
    case TDownloadState::dsOk:
        return QStringLiteral("Done");
    case TDownloadState::dsError:
        return QStringLiteral("Error");
    }
    return {};
}

int TDownloadListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : FQueue.Count();
}

int TDownloadListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 4;
}

QVariant TDownloadListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= FQueue.Count())
        return {};
    const TDownloadData &entry = FQueue.Entry(index.row());
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case 0:
            return entry.Journal;
        case 1:
            return entry.Title;
        case 2:
            return FormatSize(entry.Size, false);
        default:
            return StateText(entry.State);
        }
    }
    if (role == Qt::ForegroundRole) {
        if (entry.State == TDownloadState::dsRun)
            return QColor(0, 128, 0);
        if (entry.State == TDownloadState::dsError)
            return QColor(255, 0, 0);
    }
    return {};
}

QVariant TDownloadListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char *const captions[] = {"Journal", "Title", "Size", "State"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section > 3)
        return {};
    return QString::fromLatin1(captions[section]);
}
