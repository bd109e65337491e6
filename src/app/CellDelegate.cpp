#include "CellDelegate.h"

#include <QPainter>

#include "GridModel.h"
#include "base/text_direction.h"

namespace {

bool ReadsRightToLeft(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return tw::ReadsRightToLeft(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

}  // namespace

void CellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
  const QVariant fill = index.data(GridModel::FillColourRole);
  if (!fill.isValid()) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  const QRect rect = option.rect;
  const QString text = index.data(Qt::DisplayRole).toString();
  const bool rtl = ReadsRightToLeft(text);
  painter->save();
  painter->setClipRect(rect);
  painter->fillRect(rect, fill.value<QColor>());
  const QVariant foreground = index.data(Qt::ForegroundRole);
  painter->setPen(foreground.isValid() ? foreground.value<QColor>() : QColor(Qt::black));
  painter->setFont(option.font);
  painter->setLayoutDirection(rtl ? Qt::RightToLeft : Qt::LeftToRight);
  const QRect textRect = rtl ? rect.adjusted(0, 2, -2, 0) : rect.adjusted(2, 2, 0, 0);
  const Qt::Alignment side = rtl ? Qt::AlignRight : Qt::AlignLeft;
  painter->drawText(textRect, side | Qt::AlignAbsolute | Qt::AlignTop | Qt::TextSingleLine, text);
  painter->restore();
}

void CellDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
  QStyledItemDelegate::initStyleOption(option, index);
  // The style mirrors the cell's alignment and lays the text out from the right.
  if (ReadsRightToLeft(option->text)) option->direction = Qt::RightToLeft;
}
