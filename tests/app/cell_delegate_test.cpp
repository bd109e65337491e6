#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QStandardItemModel>
#include <QStyleOptionViewItem>

#include "CellDelegate.h"
#include "GridModel.h"

namespace {

struct Ink {
  int left = -1;   // the first column with a dark pixel
  int right = -1;  // the last
};

// Paints one cell of `text`, with or without a fill colour, and finds its ink.
Ink PaintedInk(const QString& text, bool filled) {
  QStandardItemModel model(1, 1);
  model.setData(model.index(0, 0), text, Qt::DisplayRole);
  if (filled) model.setData(model.index(0, 0), QColor(Qt::white), GridModel::FillColourRole);
  QImage image(400, 24, QImage::Format_RGB32);
  image.fill(Qt::white);
  QStyleOptionViewItem option;
  option.rect = image.rect();
  option.font.setPixelSize(14);
  option.fontMetrics = QFontMetrics(option.font);
  option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
  option.palette.setColor(QPalette::Text, Qt::black);
  {
    QPainter painter(&image);
    CellDelegate().paint(&painter, option, model.index(0, 0));
  }
  Ink ink;
  for (int x = 0; x < image.width(); ++x) {
    for (int y = 0; y < image.height(); ++y) {
      if (qGray(image.pixel(x, y)) < 128) {
        if (ink.left < 0) ink.left = x;
        ink.right = x;
        break;
      }
    }
  }
  return ink;
}

// Arabic and Hebrew texts start at the cell's right edge, others at its left,
// whether the cell is painted by the delegate itself or by the style.
TEST(CellDelegate, LaysRightToLeftTextOutFromTheRightEdge) {
  const struct {
    const char* name;
    QString text;
    bool rtl;
  } cases[] = {
      {"Latin", QStringLiteral("/caf\u00E9.html"), false},
      {"CJK", QStringLiteral("/\u4E2D\u6587.html"), false},
      {"Arabic", QStringLiteral("\u0645\u0631\u062D\u0628\u0627 \u0628\u0627\u0644\u0639\u0627\u0644\u0645"), true},
      {"Hebrew", QStringLiteral("\u05E9\u05DC\u05D5\u05DD"), true},
      {"Arabic after a Latin letter", QStringLiteral("a \u0645\u0631\u062D\u0628\u0627"), false},
      {"a path of an Arabic page", QStringLiteral("/\u0639\u0631\u0628\u064A.html"), false},
      {"Arabic in quotation marks", QStringLiteral("\u00AB\u0645\u0631\u062D\u0628\u0627\u00BB"), true},
  };
  for (const auto& c : cases) {
    for (const bool filled : {true, false}) {
      const Ink ink = PaintedInk(c.text, filled);
      const std::string name = std::string(c.name) + (filled ? ", filled" : ", styled");
      ASSERT_GE(ink.left, 0) << name;
      if (c.rtl) {
        EXPECT_GT(ink.right, 380) << name;
        EXPECT_GT(ink.left, 200) << name;
      } else {
        EXPECT_LT(ink.left, 20) << name;
        EXPECT_LT(ink.right, 200) << name;
      }
    }
  }
}

}  // namespace
