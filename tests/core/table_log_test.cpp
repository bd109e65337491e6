// The raw log table and the details command.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "form/log_grid.h"
#include "log/record.h"
#include "report_fixture.h"

namespace tw {
namespace {

using testing::LogLine;

TEST(RawLogGridTest, RowsAreMadeFromTheListedRecords) {
  StringPool texts;
  LogRecord r;
  r.ClientIp = 0xC0A80102;  // 192.168.1.2
  r.LogTime =
      PackLogTime({.Day = 5, .Month = 3, .Year = 2008, .Hour = 7, .Minute = 8, .Second = 9});
  r.SetUrl(texts.Intern("/a.html?x=1"));
  r.Status = -5;
  r.Bytes = 2326;
  r.SetReferrer(texts.Intern("-"));
  r.SetUserAgent(texts.Intern("Agent \"X\""));

  RawLogGrid grid;
  grid.Header = {"No", "Address", "Time", "Request", "Status", "Bytes", "Referrer", "Agent"};
  EXPECT_EQ(grid.RowCount(), 2);
  grid.AppendRawLogRow(&r);
  grid.AppendRawLogRow(&r);
  ASSERT_EQ(grid.RowCount(), 4);

  const std::vector<std::string> expected = {
      "2", "192.168.1.2", "05/03/2008:07:08:09", "/a.html?x=1", "-5", "2326", "-", "Agent \"X\""};
  for (int col = 0; col < grid.ColCount(); ++col) {
    EXPECT_EQ(grid.Cell(col, 2), expected[col]) << "column " << col;
    EXPECT_EQ(grid.Cell(col, 0), grid.Header[col]) << "title of column " << col;
    EXPECT_EQ(grid.Cell(col, 3), "") << "last row, column " << col;
  }
  EXPECT_EQ(grid.Cell(0, 1), "1");
  EXPECT_EQ(grid.RecordAt(0), nullptr);
  EXPECT_EQ(grid.RecordAt(1), &r);
  EXPECT_EQ(grid.RecordAt(3), nullptr);
  EXPECT_EQ(grid.Cell(8, 1), "");

  grid.Row = 2;
  grid.Clear();
  EXPECT_EQ(grid.RowCount(), 2);
  EXPECT_EQ(grid.Row, 1);
  EXPECT_EQ(grid.Cell(0, 1), "");
}

class DetailsTest : public testing::ReportFixture {
 protected:
  // 1 March 2008 was a Saturday.
  void LoadWeek() {
    Load({{.ip = "10.0.0.1",
           .time = "02/Mar/2008:00:10:00",
           .url = "/a.html",
           .status = "200",
           .referrer = "-",
           .agent = "A"},
          {.ip = "10.0.0.2",
           .time = "03/Mar/2008:23:59:59",
           .url = "/b.html",
           .status = "404",
           .referrer = "http://x.example/p",
           .agent = "B"},
          {.ip = "10.0.0.1",
           .time = "02/Mar/2008:23:00:00",
           .url = "/a.html",
           .status = "404",
           .referrer = "http://x.example/p",
           .agent = "B"},
          {.ip = "10.0.0.3",
           .time = "01/Mar/2008:00:00:00",
           .url = "/a.html",
           .status = "200",
           .referrer = "-",
           .agent = "a"}});
  }
};

TEST_F(DetailsTest, ListsTheRecordsOfTheRowOldestFirst) {
  LoadWeek();
  const struct {
    const char* kind;
    int row;  // table row, or 0: the row labelled `label`
    const char* label;
    std::vector<int> lines;
  } cases[] = {
      {"day", 1, "", {4}},      // day 1
      {"day", 2, "", {1, 3}},   // day 2
      {"hour", 1, "", {4, 1}},   // hour 0
      {"hour", 24, "", {3, 2}},  // hour 23
      {"weekday", 1, "", {1, 3}},   // Sunday
      {"weekday", 2, "", {2}},      // Monday
      {"weekday", 7, "", {4}},      // Saturday
      {"pages", 0, "/a.html", {4, 1, 3}},
      {"status", 0, "404", {3, 2}},
      {"addresses", 0, "10.0.0.1", {1, 3}},
      {"domains", 0, "-", {4, 1}},
      {"domains", 0, "x.example", {3, 2}},
      {"referrers", 0, "-", {4, 1}},
      {"catalogues", 0, "http://x.example/p", {3, 2}},
      {"browsers", 0, "A", {4, 1}},
  };
  for (const auto& c : cases) {
    Run(c.kind);
    const int row = c.row != 0 ? c.row : TableRowOf(c.label);
    EXPECT_EQ(Details(row), c.lines) << c.kind << " row " << row << " " << c.label;
  }
}

TEST_F(DetailsTest, OrderIsByYearThenTimeWithTiesInFileOrder) {
  Load({{.time = "10/Mar/2008:12:00:05", .status = "404"},
        {.time = "10/Mar/2008:08:00:00", .status = "200"},
        {.time = "10/Mar/2008:09:00:00", .status = "404"},
        {.time = "10/Mar/2008:12:00:05", .status = "404"},  // same second as line 1
        {.time = "15/Mar/2007:00:00:00", .status = "404"},  // other year, same month
        {.time = "09/Mar/2008:23:59:59", .status = "404"}});
  form_->SetAnalysedPeriod(Period{{2007, 3, 1}, {2008, 3, 31}});
  Run("status");
  ASSERT_EQ(TableRowOf("404"), 2);
  EXPECT_EQ(Details(2), (std::vector<int>{5, 6, 3, 1, 4}));

  const RawLogGrid& raw = form_->StringGrid2;
  ASSERT_EQ(raw.RowCount(), 7);
  for (int row = 1; row <= 5; ++row) EXPECT_EQ(raw.Cell(0, row), std::to_string(row));
  EXPECT_EQ(raw.Cell(2, 1), "15/03/2007:00:00:00");
  EXPECT_EQ(raw.Cell(4, 1), "404");
  EXPECT_EQ(raw.Cell(0, 6), "");
}

TEST_F(DetailsTest, ButtonIsDisabledOnTheLastRowAndAClickEmptiesTheList) {
  LoadWeek();
  Run("status");  // rows 200 and 404, then the totals row 3
  ASSERT_EQ(form_->StringGrid1.RowCount(), 4);

  EXPECT_EQ(Details(1).size(), 2u);
  EXPECT_TRUE(form_->Button2.Enabled);

  form_->StringGrid1.Row = 3;
  form_->onStringGrid1Click();
  EXPECT_FALSE(form_->Button2.Enabled);
  EXPECT_EQ(form_->StringGrid2.RowCount(), 2);

  // Should details be asked for the totals row all the same, nothing is listed.
  form_->ShowDetails();
  EXPECT_EQ(form_->StringGrid2.RowCount(), 2);

  // An empty report has only its last row.
  Load({});
  Run("pages");
  form_->StringGrid1.Row = 1;
  form_->onStringGrid1Click();
  EXPECT_FALSE(form_->Button2.Enabled);
}

}  // namespace
}  // namespace tw
