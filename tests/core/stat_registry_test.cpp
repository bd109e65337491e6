// The registry of report kinds drives the buttons, titles, command-line names
// and details of every kind.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/report_kinds.h"
#include "analysis/report_rows.h"
#include "report_fixture.h"

namespace tw {
namespace {

class RegistryTest : public testing::ReportFixture {
 protected:
  // Row 1 of every report holds records: 1 March 2008 (day 1, a Saturday),
  // hour 0, Sunday 2 March, referrers from a search engine.
  void LoadMixed() {
    Load({{.ip = "10.0.0.1", .time = "01/Mar/2008:00:05:00", .url = "/a.html",
           .referrer = "http://www.google.com/search?q=cats", .agent = "Mozilla/5.0 (MSIE 6.0)"},
          {.ip = "10.0.0.2", .time = "02/Mar/2008:00:10:00", .url = "/b/c.html", .status = "404",
           .referrer = "http://x.example/p/q.html"},
          {.ip = "10.0.0.1", .time = "02/Mar/2008:13:00:00", .url = "/a.html",
           .referrer = "http://www.google.com/search?q=dogs"},
          {.ip = "10.0.0.3", .time = "09/Mar/2008:00:20:00", .url = "/b/c.html", .status = "404"}});
  }

  // Presses only the kind's own button, as the window does, and runs.
  void Press(const ReportKindInfo& info) {
    form_->CheckReportButton(nullptr);
    form_->ReportButton(info).Checked = true;
    form_->CheckRequestButton(3);
    form_->RequestFilter = 3;
    form_->CheckBox1.Checked = false;
    form_->RunAnalysis();
  }

  std::size_t DetailsCount(int row) {
    form_->StringGrid1.Row = row;
    form_->ShowDetails();
    return static_cast<std::size_t>(form_->StringGrid2.RowCount() - 2);
  }

  // The count the report shows in row 1: the hits column of a time table,
  // else the count of the first row entry.
  int FirstRowCount() const {
    if (form_->Report().time_table) return std::stoi(form_->StringGrid1.Cell(2, 1));
    return form_->Report().rows.at(0).Count;
  }
};

TEST_F(RegistryTest, EveryKindIsDrivenByItsEntry) {
  LoadMixed();
  std::set<std::string> names, buttons, places;
  for (const ReportKindInfo& info : kReportKinds) {
    SCOPED_TRACE(info.CliName);
    EXPECT_TRUE(names.insert(info.CliName).second) << "one name per kind";
    EXPECT_TRUE(buttons.insert(info.ButtonName).second) << "one button per kind";
    EXPECT_TRUE(places.insert(std::to_string(static_cast<int>(info.Group)) + "/" +
                              std::to_string(info.Order)).second)
        << "one place per button";
    EXPECT_EQ(FindReportKindByName(info.CliName), &info);
    EXPECT_EQ(FindReportKindByButton(info.ButtonName), &info);
    EXPECT_FALSE(form_->Lang.Get(info.ButtonTextId).empty()) << "the button has a text";
    EXPECT_EQ(form_->ReportButton(info).Caption, form_->Lang.Get(info.ButtonTextId));
    EXPECT_NE(info.Report == nullptr, info.Rows == nullptr) << "exactly one way to count";
    EXPECT_NE(info.TimeRow == nullptr, info.Rows == nullptr) << "exactly one details rule";

    Press(info);
    EXPECT_EQ(form_->ReportKind(), &info);
    EXPECT_EQ(form_->GroupBox4.Caption, form_->Lang.Get(info.TitleId));
    EXPECT_FALSE(form_->GroupBox4.Caption.empty());
    EXPECT_FALSE(form_->StringGrid1.Cell(1, 0).empty()) << "the columns have titles";
    if (info.Places != GeoLevel::kNone && !GeoLevelAvailable(form_->GeoDatabase(), info.Places)) {
      continue;  // its rows come from a database this machine may not have
    }
    const int counted = FirstRowCount();
    EXPECT_GT(counted, 0);
    EXPECT_EQ(DetailsCount(1), static_cast<std::size_t>(counted));
  }
  // Every place in a group is taken, from the first on.
  for (int g = 0; g < kReportGroupCount; ++g) {
    int count = 0;
    for (const ReportKindInfo& info : kReportKinds) count += static_cast<int>(info.Group) == g;
    for (int order = 0; order < count; ++order) {
      EXPECT_EQ(places.count(std::to_string(g) + "/" + std::to_string(order)), 1u)
          << "group " << g << " order " << order;
    }
  }
  EXPECT_EQ(FindReportKindByName("nonsense"), nullptr);
  EXPECT_EQ(FindReportKindByButton("RadioButton14"), nullptr) << "a request button";
}

// A caller that analyses on its own choices skips the load's tree and by-day run.
TEST_F(RegistryTest, LoadSkipsTheClosingStepsWhenAsked) {
  form_->TreeAfterLoad = false;
  form_->AnalysisAfterLoad = false;
  LoadMixed();
  EXPECT_EQ(form_->TreeView1.Root, nullptr);
  EXPECT_EQ(form_->Report().kind, nullptr) << "no analysis ran after the load";
  EXPECT_EQ(form_->RecordCount(), 4);

  form_->TreeAfterLoad = true;
  form_->AnalysisAfterLoad = true;
  LoadMixed();
  EXPECT_NE(form_->TreeView1.Root, nullptr);
  EXPECT_EQ(form_->Report().kind, FindReportKindByName("day"));
  EXPECT_EQ(form_->ReportKind(), FindReportKindByName("day"));
}

TEST_F(RegistryTest, CsvPiecesStopAtTheFirstRefusal) {
  LoadMixed();
  Press(*FindReportKindByName("pages"));
  std::string whole;
  EXPECT_TRUE(form_->WriteCsvTo([&whole](std::string_view bytes) {
    whole += bytes;
    return true;
  }));
  EXPECT_EQ(whole.substr(whole.size() - 2), "\r\n");
  int calls = 0;
  EXPECT_FALSE(form_->WriteCsvTo([&calls](std::string_view) { return ++calls < 2; }));
  EXPECT_EQ(calls, 2);
}

}  // namespace
}  // namespace tw
