#pragma once

#include "web/DownloadQueue.h"

#include <QAbstractTableModel>

// The download list over the queue: journal, title, size and state, running entries green and failed ones red.
class TDownloadListModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TDownloadListModel(TDownloadQueue &queue, QObject *parent = nullptr);

    static QString StateText(TDownloadState state);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    TDownloadQueue &FQueue;
};
