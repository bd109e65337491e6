// The window's view built from a session: a log loaded through files in
// memory, a report run, and what the screen would show of both.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/report_kinds.h"
#include "fake_files.h"
#include "fake_platform.h"
#include "form/view.h"
#include "read_file.h"
#include "session/session.h"

namespace tw {
namespace {

constexpr const char* kFolder = "/program/";
constexpr const char* kLog = "/logs/site.example-access_log";
constexpr const char* kEmptyLog = "/logs/empty-access_log";
const CalendarDate kToday{2026, 12, 7};

std::string Line(const char* ip, const char* day, const char* url, int status) {
  std::string line = ip;
  line += " - - [";
  line += day;
  line += "/Mar/2008:10:00:00 +0100] \"GET ";
  line += url;
  line += " HTTP/1.1\" ";
  line += std::to_string(status);
  line += " 10 \"-\" \"Mozilla/5.0\"\n";
  return line;
}

// The program's folder, a log of 1 and 2 March 2008, and a log of no records.
testing::FakeFiles ProgramAndLogs() {
  testing::FakeFiles files;
  files.files[std::string(kFolder) + "Language/English.lng"] = {
      testing::ReadFile(testing::TestBinaryFolder() + "Language/English.lng")};
  files.files[std::string(kFolder) + "crawlers.lst"] = {"Crawler/1.0\n"};
  files.files[std::string(kFolder) + "engines.lst"] = {"google;q=\n"};
  files.files[kLog] = {Line("10.0.0.1", "01", "/a.html", 200) +
                        Line("10.0.0.2", "01", "/gone.html", 404) +
                        Line("10.0.0.3", "02", "/gone.html", 404) +
                        Line("10.0.0.1", "02", "/a.html", 200) +
                        Line("10.0.0.4", "02", "/b.html", 200)};
  files.files[kEmptyLog] = {"not a log line\n"};
  return files;
}

class MainViewTest : public ::testing::Test {
 protected:
  void Load(const char* path) {
    ASSERT_EQ(session_.Load({path}).kind, LoadOutcome::Kind::kLoaded);
  }
  const ReportResult& Analyse(const char* kind, const Period& period) {
    AnalysisChoice choice{FindReportKindByName(kind), {}};
    choice.selection.period = period;
    return session_.Analyse(choice);
  }
  // The whole view as the window builds it after a load and an analysis.
  void RefreshView() {
    ShowLanguageInView(session_.Lang(), view_);
    ShowLogInView(session_, view_);
    ShowLogDatesInView(session_.Dates(), session_.Lang(), kToday, view_);
    ShowPeriodInView(session_.Dates(), session_.Report().choice.selection.period, view_);
    ShowReportInView(session_.Report(), view_);
  }

  testing::FakeFiles files_ = ProgramAndLogs();
  Session session_{kFolder, files_};
  FormView view_;
};

TEST_F(MainViewTest, TableShowsTheReportsTitlesCellsAndLayout) {
  Load(kLog);
  struct Case {
    const char* kind;
    bool time_table;
    int label_column_width;
  };
  const Case cases[] = {
      {"pages", false, 330 - 170},
      {"status", false, 330 - 170},
      {"day", true, 330 - 230},
      {"hour", true, 330 - 230},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    const ReportResult& report = Analyse(c.kind, session_.PeriodAfterLoad());
    view_.StringGrid1.Row = 3;
    view_.StringGrid2.List({(*session_.Log()->records)[0]});
    RefreshView();

    EXPECT_EQ(view_.GroupBox4.Caption, report.title);
    EXPECT_EQ(view_.Label8.Caption, report.subject);
    const StatGrid& grid = view_.StringGrid1;
    ASSERT_EQ(grid.ColCount(), report.ColCount());
    ASSERT_EQ(grid.RowCount(), report.RowCount());
    ASSERT_GT(report.DataRows(), 0);
    for (int col = 0; col < grid.ColCount(); ++col) {
      EXPECT_EQ(grid.Cell(col, 0), report.columns[static_cast<std::size_t>(col)]);
      for (int row = 1; row < grid.RowCount(); ++row) {
        EXPECT_EQ(grid.Cell(col, row), report.Cell(col, row)) << col << "," << row;
      }
    }
    EXPECT_EQ(grid.Row, 1) << "a new report shows from its first row";
    EXPECT_EQ(view_.StringGrid2.RowCount(), 2) << "the raw log table lists nothing";
    EXPECT_EQ(view_.TableDockedLeft, c.time_table);
    EXPECT_EQ(view_.TableMode, c.time_table ? 1 : 0);
    ASSERT_EQ(grid.ColWidths.size(), static_cast<std::size_t>(grid.ColCount()))
        << "every column has a width, or the table hides columns it has";
    EXPECT_EQ(grid.ColWidths[1], c.label_column_width);
    EXPECT_EQ(view_.SliceCount, report.slice_count);
  }
}

TEST_F(MainViewTest, CountTableListsTheLogsRequestsMostFirst) {
  Load(kLog);
  Analyse("pages", session_.PeriodAfterLoad());
  RefreshView();
  const StatGrid& grid = view_.StringGrid1;
  ASSERT_EQ(grid.RowCount(), 3 + 2);
  EXPECT_EQ(grid.Cell(2, 1), "2");
  EXPECT_EQ(grid.Cell(2, 2), "2");
  EXPECT_NE(grid.Cell(1, 1), grid.Cell(1, 2));
  EXPECT_EQ(grid.Cell(1, 3), "/b.html");
  EXPECT_EQ(grid.Cell(2, 3), "1");
}

TEST_F(MainViewTest, InformationBoxAndCaptionFollowTheSessionsLog) {
  struct Case {
    const char* name;
    const char* path;  // null: nothing loaded
    bool log_in_caption;
  };
  const Case cases[] = {
      {"no log", nullptr, false},
      {"a log without records", kEmptyLog, false},
      {"a log", kLog, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.path != nullptr) Load(c.path);
    ShowLogInView(session_, view_);
    EXPECT_EQ(view_.Memo3, session_.InformationLines());
    ASSERT_FALSE(view_.Memo3.empty());
    if (c.log_in_caption) {
      EXPECT_EQ(view_.Caption, std::string(kLog) + " - " + kProgramTitle);
    } else {
      EXPECT_EQ(view_.Caption, kProgramTitle);
    }
  }
}

TEST_F(MainViewTest, PickersShowTheReportsPeriodWithinTheLogsDates) {
  Load(kLog);
  const CalendarDate first{2008, 3, 1}, last{2008, 3, 2};
  struct Case {
    const char* name;
    Period period;
    Period shown;
    int month_index;  // -1: no month chosen
  };
  const Case cases[] = {
      {"the log's month", MonthPeriod(2008, 3), {first, last}, 0},
      {"one day of it", {last, last}, {last, last}, -1},
      {"months around it", {{2008, 2, 1}, {2008, 4, 30}}, {first, last}, -1},
      {"a month after the log", MonthPeriod(2008, 4), {last, last}, -1},
      {"a month before the log", MonthPeriod(2008, 1), {first, first}, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ReportResult& report = Analyse("day", c.period);
    ASSERT_EQ(report.choice.selection.period, c.period);
    RefreshView();
    for (const DatePicker* picker : {&view_.DateTimePicker1, &view_.DateTimePicker2}) {
      EXPECT_TRUE(picker->Enabled);
      EXPECT_TRUE(picker->HasMinDate);
      EXPECT_EQ(picker->MinDate, session_.Dates().earliest);
      EXPECT_EQ(picker->MaxDate, session_.Dates().latest);
    }
    EXPECT_EQ(view_.DateTimePicker1.Date, c.shown.First);
    EXPECT_EQ(view_.DateTimePicker2.Date, c.shown.Last);
    EXPECT_EQ(view_.ComboBox1.Items.size(), session_.Dates().months.size());
    EXPECT_EQ(view_.ComboBox1.ItemIndex, c.month_index);
    EXPECT_TRUE(view_.ComboBox1.Enabled);
  }
  EXPECT_NE(view_.ComboBox1.Items[0].find("2008"), std::string::npos) << view_.ComboBox1.Items[0];
}

TEST_F(MainViewTest, WithoutDatesThePickersAllowTodayAlone) {
  view_.ComboBox1.Items = {"stale"};
  view_.ComboBox1.ItemIndex = 0;
  ShowLogDatesInView(session_.Dates(), session_.Lang(), kToday, view_);
  ShowPeriodInView(session_.Dates(), MonthPeriod(2008, 3), view_);
  for (const DatePicker* picker : {&view_.DateTimePicker1, &view_.DateTimePicker2}) {
    EXPECT_EQ(picker->MinDate, kToday);
    EXPECT_EQ(picker->MaxDate, kToday);
    EXPECT_EQ(picker->Date, kToday);
  }
  EXPECT_TRUE(view_.ComboBox1.Items.empty());
  EXPECT_EQ(view_.ComboBox1.ItemIndex, -1);
  EXPECT_FALSE(view_.ComboBox1.Enabled);
}

}  // namespace
}  // namespace tw
