#include "PaperListDelegate.h"

#include "PaperListModel.h"
#include "views/PaperCells.h"

#include <QPainter>

const QColor TPaperListDelegate::MarkerColor(38, 107, 251);

void TPaperListDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    if (index.data(TPaperListModel::TagRole).toInt() != pcMarker || !index.data(TPaperListModel::LocalRole).toBool())
        return;
    const QRect cell = option.rect;
    painter->save();
    painter->setPen(QPen(MarkerColor, 3));
    painter->drawRect(QRect(QPoint(cell.left() + 25, cell.top() + 5), QPoint(cell.left() + 30, cell.bottom() - 5)));
    painter->restore();
}
