#pragma once

#include "records/LibraryRecords.h"
#include "views/ColumnLayouts.h"

#include <QAbstractTableModel>
#include <QLocale>

#include <optional>
#include <vector>

// A paper list of the main window: one row per paper record (the model owns them), the columns of a column
// layout, a tri-state check box per row in the marker column. Every answer comes from the records, never from
// the database, so lists of 100,000 papers scroll freely.
class TPaperListModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum TRole { LocalRole = Qt::UserRole + 1, TagRole };

    explicit TPaperListModel(QObject *parent = nullptr);

    void SetColumns(const QList<TColumnDesc> &columns);
    // The header menu's changes: the first column of a tag goes; a new one comes at the end.
    bool RemoveColumnWithTag(int tag);
    void AppendColumn(const TColumnDesc &column);
    int ColumnOfTag(int tag) const;
    const QList<TColumnDesc> &Columns() const { return FColumns; }
    // Replaces the rows (all unchecked) and clears the sort column; the sort direction stays.
    void SetPapers(TPapers papers);
    TPaperRecord *Paper(int row) const;
    int RowOfPaper(int id) const;
    // The paper's local-file state in this list, when the list shows it.
    void SetLocal(int id, bool local);

    // A header click: the direction flips on every click, whichever column; the rows are sorted by the
    // column's key in the new direction, equal keys keeping their order.
    void HeaderClicked(int column);
    int SortColumn() const { return FSortColumn; }
    Qt::SortOrder SortDirection() const { return FSortDirection; }

    // Every paper in list order, each record's Ord set to its position from 1.
    std::vector<TPaperRecord *> PapersInListOrder();
    // A new row at the end, unchecked.
    void AppendPaper(std::unique_ptr<TPaperRecord> paper);
    // Repaints a row after its record changed.
    void RefreshRow(int row);
    // Moves a row to another place, the rows between shifting by one.
    void MoveRow(int from, int to);
    // The selected row is checked first; then the checked papers in list order, unchecked as they are taken.
    std::vector<TPaperRecord *> CheckedPapers(std::optional<int> firstSelectedRow);
    std::vector<TPaperRecord *> SelectedPapers(QList<int> selectedRows) const;
    void UncheckAll();
    // Fewer than two rows selected: every row is checked; otherwise the selected rows, and true is returned
    // (the view then clears the selection).
    bool CheckAll(const QList<int> &selectedRows);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Dragged rows carry their papers' IDs; the window decides where they may be dropped.
    static const QString PapersMimeType;
    QStringList mimeTypes() const override { return {PapersMimeType}; }
    QMimeData *mimeData(const QModelIndexList &indexes) const override;

protected:
    bool event(QEvent *event) override;

private:
    struct TRow
    {
        std::unique_ptr<TPaperRecord> Paper;
        Qt::CheckState Check = Qt::Unchecked;
    };
    class TReleaseEvent;
    void EmitChecksChanged();

    std::vector<TRow> FRows;
    QList<TColumnDesc> FColumns;
    int FSortColumn = -1;
    Qt::SortOrder FSortDirection = Qt::AscendingOrder;
    QLocale FLocale;
};
