#include "PaperListModel.h"

#include "views/PaperCells.h"

#include <QCoreApplication>
#include <QMimeData>
#include <QThreadPool>

#include <algorithm>

// A replaced list's rows on their way to the worker that frees them.
class TPaperListModel::TReleaseEvent final : public QEvent
{
public:
    static inline const QEvent::Type Kind = QEvent::Type(QEvent::registerEventType());
    explicit TReleaseEvent(std::vector<TRow> rows)
        : QEvent(Kind)
        , Rows(std::move(rows))
    { }
    std::vector<TRow> Rows;
};

bool TPaperListModel::event(QEvent *event)
{
    if (event->type() != TReleaseEvent::Kind)
        return QAbstractTableModel::event(event);
    auto rows = std::make_shared<std::vector<TRow>>(std::move(static_cast<TReleaseEvent *>(event)->Rows));
    QThreadPool::globalInstance()->start([rows = std::move(rows)]() mutable { rows.reset(); });
    return true;
}

TPaperListModel::TPaperListModel(QObject *parent)
    : QAbstractTableModel(parent)
{ }

void TPaperListModel::SetColumns(const QList<TColumnDesc> &columns)
{
    beginResetModel();
    FColumns = columns;
    endResetModel();
}

int TPaperListModel::ColumnOfTag(int tag) const
{
    for (qsizetype column = 0; column < FColumns.size(); ++column)
        if (FColumns[column].Tag == tag)
            return int(column);
    return -1;
}

bool TPaperListModel::RemoveColumnWithTag(int tag)
{
    const int column = ColumnOfTag(tag);
    if (column < 0)
        return false;
    beginRemoveColumns({}, column, column);
    FColumns.removeAt(column);
    if (FSortColumn == column)
        FSortColumn = -1;
    else if (FSortColumn > column)
        --FSortColumn;
    endRemoveColumns();
    return true;
}

void TPaperListModel::AppendColumn(const TColumnDesc &column)
{
    beginInsertColumns({}, int(FColumns.size()), int(FColumns.size()));
    FColumns.append(column);
    endInsertColumns();
}

void TPaperListModel::SetPapers(TPapers papers)
{
    beginResetModel();
    // Freeing a long list's records takes tens of milliseconds; a worker frees them beside the user's next step
    // (nothing refers to them any more, and what they share with live records is counted atomically). They go
    // to it behind the window's pending paint, which Qt posts at low priority too: freed beside the paint of
    // the new list, they would slow it.
    if (FRows.size() > 1000)
        QCoreApplication::postEvent(this, new TReleaseEvent(std::move(FRows)), Qt::LowEventPriority);
    FRows.clear();
    FRows.reserve(papers.size());
    for (auto &paper : papers)
        if (paper)
            FRows.push_back({std::move(paper), Qt::Unchecked});
    FSortColumn = -1;
    endResetModel();
}

TPaperRecord *TPaperListModel::Paper(int row) const
{
    return row >= 0 && std::size_t(row) < FRows.size() ? FRows[std::size_t(row)].Paper.get() : nullptr;
}

int TPaperListModel::RowOfPaper(int id) const
{
    for (std::size_t row = 0; row < FRows.size(); ++row)
        if (FRows[row].Paper->ID == id)
            return int(row);
    return -1;
}

void TPaperListModel::SetLocal(int id, bool local)
{
    const int row = RowOfPaper(id);
    if (row < 0)
        return;
    FRows[std::size_t(row)].Paper->Local = local;
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void TPaperListModel::HeaderClicked(int column)
{
    if (column < 0 || column >= FColumns.size())
        return;
    FSortColumn = column;
    FSortDirection = FSortDirection == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    const int tag = FColumns[column].Tag;
    const bool descending = FSortDirection == Qt::DescendingOrder;
    Q_EMIT layoutAboutToBeChanged();
    std::stable_sort(FRows.begin(), FRows.end(), [&](const TRow &a, const TRow &b) {
        const int order = ComparePapers(*a.Paper, *b.Paper, tag, FLocale);
        return descending ? order > 0 : order < 0;
    });
    Q_EMIT layoutChanged();
}

void TPaperListModel::AppendPaper(std::unique_ptr<TPaperRecord> paper)
{
    const int row = rowCount();
    beginInsertRows({}, row, row);
    FRows.push_back({std::move(paper), Qt::Unchecked});
    endInsertRows();
}

void TPaperListModel::RefreshRow(int row)
{
    if (row >= 0 && row < rowCount())
        Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void TPaperListModel::MoveRow(int from, int to)
{
    const int count = rowCount();
    if (from < 0 || from >= count || to < 0 || to >= count || from == to)
        return;
    beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
    const auto first = FRows.begin();
    if (to > from)
        std::rotate(first + from, first + from + 1, first + to + 1);
    else
        std::rotate(first + to, first + from, first + from + 1);
    endMoveRows();
}

std::vector<TPaperRecord *> TPaperListModel::PapersInListOrder()
{
    std::vector<TPaperRecord *> papers;
    papers.reserve(FRows.size());
    for (std::size_t row = 0; row < FRows.size(); ++row) {
        FRows[row].Paper->Ord = int(row) + 1;
        papers.push_back(FRows[row].Paper.get());
    }
    return papers;
}

std::vector<TPaperRecord *> TPaperListModel::CheckedPapers(std::optional<int> firstSelectedRow)
{
    if (firstSelectedRow && Paper(*firstSelectedRow))
        FRows[std::size_t(*firstSelectedRow)].Check = Qt::Checked;
    std::vector<TPaperRecord *> papers;
    for (TRow &row : FRows) {
        if (row.Check == Qt::Unchecked)
            continue;
        row.Check = Qt::Unchecked;
        papers.push_back(row.Paper.get());
    }
    EmitChecksChanged();
    return papers;
}

std::vector<TPaperRecord *> TPaperListModel::SelectedPapers(QList<int> selectedRows) const
{
    std::sort(selectedRows.begin(), selectedRows.end());
    std::vector<TPaperRecord *> papers;
    for (const int row : selectedRows)
        if (TPaperRecord *paper = Paper(row))
            papers.push_back(paper);
    return papers;
}

void TPaperListModel::UncheckAll()
{
    for (TRow &row : FRows)
        row.Check = Qt::Unchecked;
    EmitChecksChanged();
}

bool TPaperListModel::CheckAll(const QList<int> &selectedRows)
{
    const bool selectedOnly = selectedRows.size() >= 2;
    if (selectedOnly) {
        for (const int row : selectedRows)
            if (Paper(row))
                FRows[std::size_t(row)].Check = Qt::Checked;
    } else {
        for (TRow &row : FRows)
            row.Check = Qt::Checked;
    }
    EmitChecksChanged();
    return selectedOnly;
}

void TPaperListModel::EmitChecksChanged()
{
    if (!FRows.empty())
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::CheckStateRole});
}

int TPaperListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(FRows.size());
}

int TPaperListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(FColumns.size());
}

QVariant TPaperListModel::data(const QModelIndex &index, int role) const
{
    const TPaperRecord *paper = Paper(index.row());
    if (!paper || index.column() >= FColumns.size())
        return {};
    const TColumnDesc &column = FColumns[index.column()];
    switch (role) {
    case Qt::DisplayRole:
        return PaperCellText(*paper, column.Tag, FLocale);
    case Qt::CheckStateRole:
        return column.Tag == pcMarker ? QVariant(FRows[std::size_t(index.row())].Check) : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(column.Alignment | Qt::AlignVCenter);
    case LocalRole:
        return paper->Local;
    case TagRole:
        return column.Tag;
    default:
        return {};
    }
}

bool TPaperListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole || !Paper(index.row()) || FColumns.value(index.column()).Tag != pcMarker)
        return false;
    FRows[std::size_t(index.row())].Check = Qt::CheckState(value.toInt());
    Q_EMIT dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

QVariant TPaperListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= FColumns.size())
        return {};
    if (role == Qt::DisplayRole)
        return FColumns[section].Caption;
    if (role == TagRole)
        return FColumns[section].Tag;
    return {};
}

Qt::ItemFlags TPaperListModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && FColumns.value(index.column()).Tag == pcMarker)
        flags |= Qt::ItemIsUserCheckable | Qt::ItemIsUserTristate;
    if (index.isValid())
        flags |= Qt::ItemIsDragEnabled;
    return flags;
}

const QString TPaperListModel::PapersMimeType = QStringLiteral("application/x-varnel-papers");

QMimeData *TPaperListModel::mimeData(const QModelIndexList &indexes) const
{
    QStringList ids;
    for (const QModelIndex &index : indexes)
        if (index.column() == 0)
            if (const TPaperRecord *paper = Paper(index.row()))
                ids << QString::number(paper->ID);
    auto *data = new QMimeData;
    data->setData(PapersMimeType, ids.join(u',').toLatin1());
    return data;
}
