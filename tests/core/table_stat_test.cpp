// The statistics table and chart: cells, totals, shares, colours, widths and
// series of the count table and the time table.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/report_colours.h"
#include "analysis/report_kinds.h"
#include "analysis/report_run.h"
#include "form/form.h"
#include "report_fixture.h"

namespace tw {
namespace {

constexpr const char* kTexts =
    "id1000=\"\",\"%d rows\",%d,%d,%d,%d\n"
    "id1001=\"\",\"%d rows\",%d,%.2f%\n";

class TableStatTest : public testing::ReportFixture {
 protected:
  void SetUp() override {
    ReportFixture::SetUp();
    form_->Lang.LoadFromText(kTexts);
    form_->ClearReport();
  }

  // Count rows labelled r1, r2, ... in the given order, shown as a report would.
  void ShowCounts(const std::vector<int>& counts, bool sort = true) {
    ReportResult result;
    result.kind = FindReportKindByName("pages");
    for (std::size_t i = 0; i < counts.size(); ++i) {
      std::string label = std::to_string(i + 1);
      label.insert(0, 1, 'r');
      result.rows.push_back({result.labels.Add(label), counts[i], 0});
    }
    PresentReport(form_->Lang, "\"\",Label,Hits,Share", sort, result);
    form_->ShowReport(std::move(result));
  }

  void ShowTimes(const std::string& header, std::vector<TimeRow> rows) {
    ReportResult result;
    result.kind = FindReportKindByName("day");
    result.time_table = true;
    result.time_rows = std::move(rows);
    PresentReport(form_->Lang, header, false, result);
    form_->ShowReport(std::move(result));
  }

  std::vector<std::string> RowCells(int row) const {
    std::vector<std::string> cells;
    for (int c = 0; c < form_->StringGrid1.ColCount(); ++c) cells.push_back(form_->StringGrid1.Cell(c, row));
    return cells;
  }
};

using Cells = std::vector<std::string>;

TEST_F(TableStatTest, CountTableWithOneRow) {
  ShowCounts({5});
  const StatGrid& g = form_->StringGrid1;
  ASSERT_EQ(g.RowCount(), 3);
  EXPECT_EQ(RowCells(0), (Cells{" ", "Label", "Hits", "Share"}));
  EXPECT_EQ(RowCells(1), (Cells{"", "r1", "5", "100.00%"}));
  EXPECT_EQ(RowCells(2), (Cells{" ", "1 rows", "5", "100.00%"}));
  EXPECT_EQ(form_->TableMode, 0);
  EXPECT_EQ(form_->SliceCount, 1);

  ASSERT_TRUE(form_->Chart1.HasPie);
  ASSERT_EQ(form_->Chart1.Pie.size(), 2u);
  EXPECT_EQ(form_->Chart1.Pie[0].Value, 5);
  EXPECT_EQ(form_->Chart1.Pie[0].Colour, SliceColours[0]);
  EXPECT_EQ(form_->Chart1.Pie[1].Value, 0) << "the remainder slice is empty";
  EXPECT_EQ(form_->Chart1.Pie[1].Colour, kInfoBackground);
  EXPECT_TRUE(form_->Chart1.Lines.empty());
}

TEST_F(TableStatTest, ElevenRowsAndMoreShareTheRemainderSlice) {
  ShowCounts({1, 12, 3, 11, 5, 10, 7, 9, 8, 6, 4, 2});
  const StatGrid& g = form_->StringGrid1;
  ASSERT_EQ(g.RowCount(), 14);
  const char* expected_counts[] = {"12", "11", "10", "9", "8", "7", "6", "5", "4", "3", "2", "1"};
  for (int r = 1; r <= 12; ++r) EXPECT_EQ(g.Cell(2, r), expected_counts[r - 1]) << "row " << r;
  EXPECT_EQ(g.Cell(3, 1), "15.38%");  // 12 of 78
  EXPECT_EQ(RowCells(13), (Cells{" ", "12 rows", "78", "100.00%"}));

  EXPECT_EQ(form_->SliceCount, 10);
  ASSERT_EQ(form_->Chart1.Pie.size(), 11u);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(form_->Chart1.Pie[i].Value, 12 - i) << "slice " << i;
    EXPECT_EQ(form_->Chart1.Pie[i].Colour, SliceColours[i]) << "slice " << i;
  }
  EXPECT_EQ(form_->Chart1.Pie[10].Value, 3) << "the two smallest rows";
}

TEST_F(TableStatTest, EqualCountsKeepTheReportsOrder) {
  ShowCounts({2, 5, 2, 5, 2});
  const char* expected[] = {"r2", "r4", "r1", "r3", "r5"};
  for (int r = 1; r <= 5; ++r) EXPECT_EQ(form_->StringGrid1.Cell(1, r), expected[r - 1]) << "row " << r;
}

TEST_F(TableStatTest, UnsortedTableKeepsRowOrder) {
  ShowCounts({1, 3, 2}, /*sort=*/false);
  EXPECT_EQ(RowCells(1), (Cells{"", "r1", "1", "16.67%"}));
  EXPECT_EQ(RowCells(2), (Cells{"", "r2", "3", "50.00%"}));
  EXPECT_EQ(RowCells(3), (Cells{"", "r3", "2", "33.33%"}));
}

TEST_F(TableStatTest, ZeroTotalGivesZeroShares) {
  ShowCounts({0, 0});
  EXPECT_EQ(form_->StringGrid1.Cell(3, 1), "0.00%");
  EXPECT_EQ(form_->StringGrid1.Cell(3, 2), "0.00%");
}

TEST_F(TableStatTest, EmptyCountTableHasTitlesAndOneEmptyRow) {
  ShowCounts({});
  const StatGrid& g = form_->StringGrid1;
  ASSERT_EQ(g.RowCount(), 2);
  EXPECT_EQ(RowCells(0), (Cells{" ", "Label", "Hits", "Share"}));
  EXPECT_EQ(RowCells(1), (Cells{"", "", "", ""}));
  EXPECT_TRUE(form_->Chart1.Empty());
  for (int row : {0, 1}) {
    for (int col = 0; col < 4; ++col) {
      EXPECT_FALSE(form_->StringGrid1DrawCell(col, row).has_value()) << col << "," << row;
    }
  }
}

TEST_F(TableStatTest, CountTableColoursSwatchesAndTheSelectedRow) {
  ShowCounts({12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1});
  form_->StringGrid1.Row = 3;
  const struct {
    int col, row;
    std::optional<Rgb> colour;
  } cases[] = {
      {0, 0, std::nullopt},             {1, 0, std::nullopt},
      {0, 1, SliceColours[0]},          {0, 10, SliceColours[9]},
      {0, 11, kInfoBackground},         {1, 1, kInfoBackground},
      {0, 3, SliceColours[2]},          {1, 3, kSelectedRowColour},
      {3, 3, kSelectedRowColour},       {0, 13, kInfoBackground},
      {2, 13, kInfoBackground},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(form_->StringGrid1DrawCell(c.col, c.row), c.colour) << c.col << "," << c.row;
  }
  form_->StringGrid1.Row = 12;
  EXPECT_EQ(form_->StringGrid1DrawCell(0, 12), kSelectedRowColour) << "a row without a slice";
}

std::vector<TimeRow> TwoTimeRows() {
  return {{"01 x", 5, 4, 3, 2}, {"02 x", 10, 9, 8, 7}};
}

TEST_F(TableStatTest, TimeTableCellsTotalsAndSeries) {
  ShowTimes("\"\",Day,Hits,Good,Hosts,Visits", TwoTimeRows());
  const StatGrid& g = form_->StringGrid1;
  ASSERT_EQ(g.RowCount(), 4);
  EXPECT_EQ(form_->TableMode, 1);
  EXPECT_EQ(RowCells(0), (Cells{" ", "Day", "Hits", "Good", "Hosts", "Visits"}));
  EXPECT_EQ(RowCells(1), (Cells{"", "01 x", "5", "4", "3", "2"}));
  EXPECT_EQ(RowCells(2), (Cells{"", "02 x", "10", "9", "8", "7"}));
  EXPECT_EQ(RowCells(3), (Cells{" ", "2 rows", "15", "13", "11", "9"}));

  const ChartSeries& chart = form_->Chart1;
  EXPECT_FALSE(chart.HasPie);
  EXPECT_TRUE(chart.AxesVisible);
  ASSERT_EQ(chart.Lines.size(), 4u);
  const Rgb colours[] = {0x008000, 0xFFFF00, 0xFF0000, 0x0000FF};
  const double first[] = {5, 4, 3, 2};
  const double second[] = {10, 9, 8, 7};
  for (std::size_t s = 0; s < 4; ++s) {
    const LineSeries& line = chart.Lines[s];
    EXPECT_EQ(line.Colour, colours[s]) << "series " << s;
    ASSERT_EQ(line.Points.size(), 2u) << "series " << s;
    EXPECT_EQ(line.Points[0].X, 1) << "series " << s;
    EXPECT_EQ(line.Points[0].Y, first[s]) << "series " << s;
    EXPECT_EQ(line.Points[0].Label, "1") << "series " << s;
    EXPECT_EQ(line.Points[1].X, 2) << "series " << s;
    EXPECT_EQ(line.Points[1].Y, second[s]) << "series " << s;
    EXPECT_EQ(line.Points[1].Label, "2") << "series " << s;
  }
}

TEST_F(TableStatTest, TimeTableColoursColumnsAndTheSelectedRow) {
  ShowTimes("a,b,c,d,e,f", TwoTimeRows());
  form_->StringGrid1.Row = 2;
  const struct {
    int col, row;
    std::optional<Rgb> colour;
  } cases[] = {
      {2, 0, std::nullopt},        {0, 1, kInfoBackground},   {1, 1, kInfoBackground},
      {2, 1, 0x60F060},            {3, 1, 0xFFFF00},          {4, 1, 0xF05050},
      {5, 1, 0x8080F0},            {0, 2, kSelectedRowColour}, {4, 2, kSelectedRowColour},
      {2, 3, 0x60F060},            {1, 3, kInfoBackground},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(form_->StringGrid1DrawCell(c.col, c.row), c.colour) << c.col << "," << c.row;
  }
}

TEST_F(TableStatTest, ColumnWidthsFollowTheLayout) {
  form_->FormResize(600);
  ShowCounts({1});
  EXPECT_FALSE(form_->TableDockedLeft);
  EXPECT_EQ(form_->StringGrid1.ColWidths, (std::vector<int>{20, 430, 70, 70}));
  form_->FormResize(800);
  EXPECT_EQ(form_->StringGrid1.ColWidths[1], 630);
  form_->FormResize(200);
  EXPECT_EQ(form_->StringGrid1.ColWidths[1], 100) << "never below 100";

  ShowTimes("a", TwoTimeRows());
  EXPECT_TRUE(form_->TableDockedLeft);
  EXPECT_EQ(form_->StringGrid1.ColWidths, (std::vector<int>{0, 100, 50, 50, 50, 50}));
  form_->FormResize(900);
  EXPECT_EQ(form_->StringGrid1.ColWidths, (std::vector<int>{0, 100, 50, 50, 50, 50}))
      << "the time table keeps its width";
}

TEST_F(TableStatTest, TotalsTextIsCutAt1023Characters) {
  form_->Lang.LoadFromText("id1001=" + std::string(3000, 'x') + "\n");
  ShowCounts({1, 2});
  EXPECT_EQ(form_->StringGrid1.Cell(0, 3), std::string(1023, 'x'));
}

TEST_F(TableStatTest, ClearReportEmptiesBothTablesAndTheChart) {
  Load({{}});
  form_->ClearReport();
  ShowCounts({1, 2});
  form_->StringGrid2.AppendRawLogRow((*form_->Records())[0]);
  form_->StringGrid1.Row = 2;
  form_->ClearReport();
  EXPECT_EQ(form_->StringGrid1.RowCount(), 2);
  EXPECT_EQ(form_->StringGrid1.Row, 1);
  EXPECT_EQ(form_->StringGrid1.Cell(1, 1), "");
  EXPECT_EQ(form_->StringGrid1.Cell(1, 0), "Label") << "the titles stay";
  EXPECT_EQ(form_->StringGrid2.RowCount(), 2);
  EXPECT_TRUE(form_->Chart1.Empty());
}

}  // namespace
}  // namespace tw
