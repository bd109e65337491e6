#include "CellDelegate.h"

#include <QPainter>

#include "GridModel.h"

void CellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
  const QVariant fill = index.data(GridModel::FillColourRole);
  if (!fill.isValid()) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  const QRect rect = option.rect;
  painter->save();
  painter->setClipRect(rect);
  painter->fillRect(rect, fill.value<QColor>());
  const QVariant foreground = index.data(Qt::ForegroundRole);
  painter->setPen(foreground.isValid() ? foreground.value<QColor>() : QColor(Qt::black));
  painter->setFont(option.font);
  const QRect textRect = rect.adjusted(2, 2, 0, 0);
  painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                    index.data(Qt::DisplayRole).toString());
  painter->restore();
}
