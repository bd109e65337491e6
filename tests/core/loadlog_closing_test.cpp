// A load's closing steps prepared on the load's thread (the site tree, the
// log's dates and the first analysis) leave the window exactly as the
// window's own closing steps do, also when a choice changed meanwhile.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Loggen.h"
#include "loadlog_fixture.h"
#include "log/record_array.h"
#include "session/background_load.h"
#include "session/closing.h"

namespace tw::loadlog_testing {
namespace {

std::string TwoMonthsOfLines() {
  loggen::LoggenOptions options;
  options.lines = 20000;
  options.month_span = 2;
  options.malformed_per_100000 = 2000;
  loggen::LogGenerator generator(options);
  std::string text, line;
  while (generator.Next(line)) text += line + "\n";
  return text;
}

void TreePaths(const TreeNode& node, std::string path, std::vector<std::string>& out) {
  path += '/';
  path += node.Text;
  out.push_back(path);
  for (const auto& child : node.Children) TreePaths(*child, path, out);
}

// What the closing steps set, as texts and file positions.
std::vector<std::string> WindowState(const TSDIAppForm& f) {
  std::vector<std::string> state{f.GroupBox4.Caption, f.Label8.Caption,
                                 std::to_string(f.SelectedCount()), std::to_string(f.HasLogDates),
                                 std::to_string(f.ComboBox1.ItemIndex),
                                 std::to_string(f.ComboBox1.Enabled)};
  for (const LogRecord* r : f.Report().selected) state.push_back(std::to_string(f.Records()->IndexOf(r)));
  for (int row = 0; row < f.StringGrid1.RowCount(); ++row) {
    for (int col = 0; col < f.StringGrid1.ColCount(); ++col) state.push_back(f.StringGrid1.Cell(col, row));
  }
  for (const std::string& item : f.ComboBox1.Items) state.push_back(item);
  for (const DatePicker* p : {&f.DateTimePicker1, &f.DateTimePicker2}) {
    for (const CalendarDate& d : {p->Date, p->MinDate, p->MaxDate}) {
      state.push_back(std::to_string((d.Year * 100 + d.Month) * 100 + d.Day));
    }
  }
  if (f.TreeView1.Root) TreePaths(*f.TreeView1.Root, "", state);
  state.push_back(f.TreeView1.Selected == f.TreeView1.Root.get() ? "root selected" : "other");
  return state;
}

TEST_F(LoadLogTest, ClosingPreparedOnTheLoadsThreadLeavesTheWindowAsItsOwnClosing) {
  const std::string path = Log("shop.example-access_log", TwoMonthsOfLines());
  const struct {
    const char* name;
    bool skip_at_start;
    bool skip_at_end;  // the crawler box when the load is taken over
  } cases[] = {
      {"crawlers left out", true, true},
      {"crawlers counted", false, false},
      {"the crawler box changed during the load", true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    StatusPlatform reference_platform;
    reference_platform.folder = platform_.folder;
    TSDIAppForm reference(reference_platform);
    reference.CheckBox1.Checked = c.skip_at_end;
    reference.LoadLog(path);

    form_->CheckBox1.Checked = c.skip_at_start;
    std::optional<LoadRequest> request = form_->PrepareLoad({path});
    ASSERT_TRUE(request.has_value());
    BackgroundLoad job(std::move(*request), form_->ClosingChoiceForLoad());
    LoadedLog log;
    std::unique_ptr<PreparedClosing> closing;
    const LoadRefusal result = job.TakeResult(log, &closing);
    ASSERT_NE(closing, nullptr);
    EXPECT_TRUE(closing->analysed);
    EXPECT_NE(closing->tree, nullptr);
    form_->CheckBox1.Checked = c.skip_at_end;
    form_->FinishLoad(result, std::move(log), std::move(closing));

    ASSERT_GT(form_->RecordCount(), 19000);
    EXPECT_EQ(WindowState(*form_), WindowState(reference));
    EXPECT_EQ(form_->Memo3, reference.Memo3);
  }
}

}  // namespace
}  // namespace tw::loadlog_testing

namespace tw {
namespace {

LogTime DateTime(int year, int month, int day, int hour = 12) {
  return PackLogTime({day, month, year, hour, 30, 0});
}

TEST(LogDatesOf, TakesEveryCalendarDateAndLeavesTheOthers) {
  struct Case {
    const char* name;
    std::vector<LogTime> times;  // in file order
    bool any;
    CalendarDate earliest, latest;
    std::vector<CalendarDate> months;
  } cases[] = {
      {"no records", {}, false, {}, {}, {}},
      {"no calendar date", {DateTime(2024, 4, 31), DateTime(2024, 2, 0), DateTime(2023, 13, 5)},
       false, {}, {}, {}},
      {"out of order, across a year",
       {DateTime(2025, 1, 3), DateTime(2024, 12, 30, 23), DateTime(2025, 1, 3, 1), DateTime(2024, 11, 2)},
       true, {2024, 11, 2}, {2025, 1, 3}, {{2024, 11, 1}, {2024, 12, 1}, {2025, 1, 1}}},
      {"leap day counts, 31 April does not",
       {DateTime(2024, 4, 31), DateTime(2024, 2, 29), DateTime(2023, 2, 29), DateTime(2033, 12, 31)},
       true, {2024, 2, 29}, {2033, 12, 31}, {{2024, 2, 1}, {2033, 12, 1}}},
      {"the first and last years a record holds",
       {DateTime(2033, 12, 31), DateTime(1970, 1, 1)}, true, {1970, 1, 1}, {2033, 12, 31},
       {{1970, 1, 1}, {2033, 12, 1}}},
  };
  for (const Case& c : cases) {
    RecordArray records;
    for (const LogTime t : c.times) {
      LogRecord record;
      record.LogTime = t;
      records.Append(record);
    }
    const LogDates dates = LogDatesOf(records);
    EXPECT_EQ(dates.any, c.any) << c.name;
    if (!c.any) continue;
    EXPECT_EQ(dates.earliest, c.earliest) << c.name;
    EXPECT_EQ(dates.latest, c.latest) << c.name;
    EXPECT_EQ(dates.months, c.months) << c.name;
  }
}

}  // namespace
}  // namespace tw
