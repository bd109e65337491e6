#pragma once

// Paints a cell the model gives a fill colour (GridModel::FillColourRole):
// the whole cell in that colour, its text 2 pixels in from the top corner on
// its reading side, clipped to the cell, in the model's foreground colour.
// Cells without a fill colour get the view's own painting. Either way a text
// that reads right to left (tw::ReadsRightToLeft: Arabic, Hebrew, not a path)
// is laid out right to left from the cell's right edge.

#include <QStyledItemDelegate>

class CellDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};
