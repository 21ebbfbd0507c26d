#pragma once

#include <QStyledItemDelegate>

// Paints a paper list's cells, and in the marker column of a paper whose file is in the library a short blue
// bar beside the check box.
class TPaperListDelegate final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;
    static const QColor MarkerColor;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
