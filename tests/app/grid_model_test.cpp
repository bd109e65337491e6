#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QColor>
#include <QSignalSpy>
#include <map>
#include <utility>

#include "GridModel.h"

namespace {

// A grid held as plain cells: row 0 the titles.
class FakeGridSource : public GridSource {
 public:
  std::vector<std::vector<std::string>> cells;
  std::vector<int> widths;
  std::map<std::pair<int, int>, tw::Rgb> fills;
  int row = 1;

  int columnCount() const override { return cells.empty() ? 0 : static_cast<int>(cells[0].size()); }
  int rowCount() const override { return static_cast<int>(cells.size()); }
  std::string cell(int col, int r) const override {
    if (r < 0 || r >= rowCount() || col < 0 || col >= columnCount()) return {};
    return cells[r][col];
  }
  std::vector<int> columnWidths() const override { return widths; }
  int currentRow() const override { return row; }
  void setCurrentRow(int r) override { row = r; }
  std::optional<tw::Rgb> fillColour(int col, int r) const override {
    const auto found = fills.find({col, r});
    if (found == fills.end()) return std::nullopt;
    return found->second;
  }
};

FakeGridSource CountTable() {
  FakeGridSource source;
  source.cells = {{"", "Страница", "Hits"},
                  {"", "/index.html", "7"},
                  {"", "/news/", "3"},
                  {"", "Total: 2 rows", "10"}};
  source.widths = {20, 200, 70};
  return source;
}

TEST(GridModel, ShowsTitleRowAsHeaderAndOtherRowsAsModelRows) {
  FakeGridSource source = CountTable();
  GridModel model(source);
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);

  EXPECT_EQ(model.rowCount(), 3);
  EXPECT_EQ(model.columnCount(), 3);
  EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Страница"));
  EXPECT_EQ(model.index(0, 1).data().toString(), QStringLiteral("/index.html"));
  EXPECT_EQ(model.index(2, 2).data().toString(), QStringLiteral("10"));
  EXPECT_FALSE(model.headerData(0, Qt::Vertical).isValid());
}

TEST(GridModel, GivesTheCoreColourOfEachCellAndReadableTextOnNavy) {
  FakeGridSource source = CountTable();
  source.fills[{0, 1}] = 0x00FF00;
  source.fills[{1, 1}] = tw::kSelectedRowColour;
  source.fills[{1, 2}] = tw::kInfoBackground;
  GridModel model(source);

  struct Case {
    int modelRow, col;
    QColor fill, text;  // invalid: the view paints the cell itself
  };
  const Case cases[] = {
      {0, 0, QColor(0, 255, 0), Qt::black},
      {0, 1, QColor(0, 0, 128), Qt::white},
      {1, 1, QColor(0xFF, 0xFF, 0xE1), Qt::black},
      {1, 2, QColor(), QColor()},
  };
  for (const Case& c : cases) {
    const QModelIndex index = model.index(c.modelRow, c.col);
    const QVariant fill = index.data(GridModel::FillColourRole);
    const QVariant text = index.data(Qt::ForegroundRole);
    SCOPED_TRACE(testing::Message() << "row " << c.modelRow << " col " << c.col);
    EXPECT_EQ(fill.isValid(), c.fill.isValid());
    EXPECT_EQ(text.isValid(), c.text.isValid());
    if (c.fill.isValid()) {
      EXPECT_EQ(fill.value<QColor>(), c.fill);
    }
    if (c.text.isValid()) {
      EXPECT_EQ(text.value<QColor>(), c.text);
    }
  }
}

TEST(GridModel, ResetsOnlyWhenTheGridChangesShape) {
  FakeGridSource source = CountTable();
  GridModel model(source);
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
  QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);

  source.cells[1][1] = "/other.html";
  EXPECT_FALSE(model.reset()) << "same shape, new text";
  EXPECT_EQ(resets.count(), 0);
  EXPECT_EQ(changes.count(), 1);
  EXPECT_EQ(model.index(0, 1).data().toString(), QStringLiteral("/other.html"));

  source.cells.resize(2);  // title and one empty row: the empty table
  EXPECT_TRUE(model.reset()) << "fewer rows";
  EXPECT_EQ(resets.count(), 1);
  EXPECT_EQ(model.rowCount(), 1);

  source.cells = {{"a", "b", "c", "d"}, {"1", "2", "3", "4"}};
  EXPECT_TRUE(model.reset()) << "more columns";
  EXPECT_EQ(model.columnCount(), 4);
}

TEST(GridModel, ReadsNothingPastTheGridWhenTheCoreShrankItBeforeAReset) {
  FakeGridSource source = CountTable();
  GridModel model(source);
  source.cells.resize(2);  // the core cleared its table; the model was not told yet
  EXPECT_EQ(model.index(2, 1).data().toString(), QString());
}

TEST(GridModel, CopiesRowsInOrderAsTabSeparatedTextWithoutHiddenColumns) {
  FakeGridSource source = CountTable();
  source.widths = {0, 200, 70};  // column 0 hidden, as in a time table
  GridModel model(source);

  EXPECT_EQ(model.rowsAsText({2, 0, 0}), QStringLiteral("/index.html\t7\nTotal: 2 rows\t10\n"));
  EXPECT_EQ(model.rowsAsText({5}), QString()) << "a row past the end";

  source.widths = {20, 200, 70};
  EXPECT_EQ(model.rowsAsText({1}), QStringLiteral("\t/news/\t3\n"));
}

}  // namespace
