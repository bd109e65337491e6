// The analysis driver: report choice, title and target line, the record
// selection and its filters, and the dropping of a report.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "analysis/report_kinds.h"
#include "analysis/report_rows.h"
#include "form/form.h"
#include "report_fixture.h"

namespace tw {
namespace {

using testing::LogLine;

class StatTest : public testing::ReportFixture {
 protected:
  // The size field of each selected record: its 1-based line number.
  std::vector<int> SelectedLines() const {
    std::vector<int> lines;
    for (const LogRecord* r : form_->Report().selected) lines.push_back(r->Bytes);
    return lines;
  }

  // A run with the given request filter. Kind 7 has no report, so nothing
  // reorders the selection afterwards: it stays in file order.
  void Select(int filter, bool ignore_crawlers = false) {
    form_->CheckReportButton(FindReportKindByName("cities"));
    form_->RequestFilter = filter;
    form_->CheckBox1.Checked = ignore_crawlers;
    form_->RunAnalysis();
  }
};

TEST_F(StatTest, RequestFilterFollowsTheShortExtension) {
  const struct {
    int filter;
    const char* url;
    bool passes;
  } cases[] = {
      // HTML requests: no extension, "htm" or "php" in the first three characters.
      {1, "/a/b.htm", true},
      {1, "/a/b.html", true},
      {1, "/a/b.php?x=1", true},
      {1, "/a/b.php3", true},
      {1, "/a/", true},
      {1, "/", true},
      {1, "/a.", true},
      {1, "/a/b.css", false},
      {1, "/a/b.jpg", false},
      {1, "/x.y/z", false},        // a '/' after the '.' keeps the extension "y/z"
      {1, "/go?u=a.b:c", true},    // a ':' after the last '.' removes the extension
      {1, "/go?u=a:b.c", false},   // the extension is "c"
      {1, "/dir.v2\\a", true},     // so does a '\'
      {1, "/a.phtml", false},
      // Any other value acts as 1.
      {0, "/a.html", true},
      {0, "/a.css", false},
      {7, "/a.css", false},
      // Everything but graphics.
      {2, "/a/b.css", true},
      {2, "/a/b.html", true},
      {2, "/a/b.gif", false},
      {2, "/a/b.jpg", false},
      {2, "/a/b.png", false},
      {2, "/a/b.bmp", false},
      {2, "/favicon.ico", false},
      {2, "/a/b.jpgx", false},
      {2, "/a/b.jpeg", false},
      {2, "/a/b.jpeg?w=10", false},
      {2, "/a/b.jpe", true},
      {2, "/a/b.jp", true},
      {2, "/img.gif/list", false},  // the extension "gif/list" runs past the '/'
      // All requests.
      {3, "/a/b.gif", true},
      {3, "/a/b.css", true},
  };
  for (const auto& c : cases) {
    form_->RequestFilter = c.filter;
    EXPECT_EQ(form_->RequestPassesFilter(c.url), c.passes)
        << "filter " << c.filter << ", url " << c.url;
  }
}

TEST_F(StatTest, SelectsTheMonthAndYearOfTheMiddleRecord) {
  Load({{.time = "28/Feb/2008:10:00:00"},
        {.time = "01/Mar/2008:10:00:00"},
        {.time = "03/Mar/2007:10:00:00"},  // another year
        {.time = "02/Mar/2008:10:00:00"},  // index 7 / 2: the middle record
        {.time = "00/Mar/2008:10:00:00"},  // no calendar date
        {.time = "31/Mar/2008:23:59:59"},
        {.time = "01/Apr/2008:10:00:00"}});
  Select(3);
  EXPECT_EQ(SelectedLines(), (std::vector<int>{2, 4, 6}));
  EXPECT_EQ(form_->SelectedCount(), 3);
}

TEST_F(StatTest, CrawlerCheckBoxDropsOnlyCrawlerRecords) {
  Load({{.agent = "Crawler/1.0"}, {.agent = "Mozilla/5.0"}, {.agent = "crawler/1.0"}});
  Select(3, /*ignore_crawlers=*/true);
  EXPECT_EQ(SelectedLines(), std::vector<int>{2});
  Select(3, /*ignore_crawlers=*/false);
  EXPECT_EQ(SelectedLines(), (std::vector<int>{1, 2, 3}));
}

TEST_F(StatTest, RequestFilterAppliesToTheSelection) {
  Load({{.url = "/a.html"}, {.url = "/b.css"}, {.url = "/c.gif"}, {.url = "/d.jpeg"}, {.url = "/"}});
  Select(1);
  EXPECT_EQ(SelectedLines(), (std::vector<int>{1, 5})) << "HTML requests";
  Select(2);
  EXPECT_EQ(SelectedLines(), (std::vector<int>{1, 2, 5})) << "all but graphics";
  Select(3);
  EXPECT_EQ(SelectedLines(), (std::vector<int>{1, 2, 3, 4, 5})) << "all requests";
}

TEST_F(StatTest, SectionPathIsAByteWisePrefixOfTheRequest) {
  Load({{.url = "/news/a.html"},
        {.url = "/newsletter.html"},
        {.url = "/about.html"},
        {.url = "/news/2008/b.html"}});
  form_->RequestFilter = 1;
  form_->BuildSiteTree();
  EXPECT_EQ(form_->SelectedSectionPath(), "/");

  ASSERT_TRUE(form_->SelectSectionByPath("/news"));
  EXPECT_EQ(form_->SelectedSectionPath(), "/news");
  Select(1);
  EXPECT_EQ(SelectedLines(), (std::vector<int>{1, 2, 4}));
  EXPECT_EQ(form_->Label8.Caption, "http://site.example/news  01.03.2008 - 31.03.2008");

  ASSERT_TRUE(form_->SelectSectionByPath("/news/2008"));
  EXPECT_EQ(form_->SelectedSectionPath(), "/news/2008");
  Select(1);
  EXPECT_EQ(SelectedLines(), std::vector<int>{4});
}

TEST_F(StatTest, NoSelectionMeansTheWholeSite) {
  Load({{.url = "/a.html"}, {.url = "*"}});
  form_->TreeView1.Selected = nullptr;
  EXPECT_EQ(form_->SelectedSectionPath(), "/");
  Select(3);
  // The root stands for every request of the site, also one not starting with '/'.
  EXPECT_EQ(SelectedLines(), (std::vector<int>{1, 2}));
  EXPECT_EQ(form_->Label8.Caption, "http://site.example/  01.03.2008 - 31.03.2008");
}

TEST_F(StatTest, RunTakesTheFirstCheckedReportButton) {
  Load({{}});
  for (const ReportKindInfo& info : kReportKinds) {
    form_->CheckReportButton(&info);
    form_->RunAnalysis();
    EXPECT_EQ(form_->ReportKind(), &info) << info.CliName;
    EXPECT_EQ(form_->GroupBox4.Caption, form_->Lang.Get(info.TitleId)) << info.CliName;
    EXPECT_FALSE(form_->Button2.Enabled) << info.CliName;
  }
  form_->ReportButton(*FindReportKindByButton("RadioButton3")).Checked = true;
  form_->ReportButton(*FindReportKindByButton("RadioButton17")).Checked = true;
  form_->RunAnalysis();
  EXPECT_EQ(form_->ReportKind(), FindReportKindByName("weekday")) << "two buttons checked";

  form_->CheckReportButton(nullptr);
  form_->RunAnalysis();
  EXPECT_EQ(form_->ReportKind(), nullptr) << "no button checked";
  EXPECT_EQ(form_->GroupBox4.Caption, form_->Lang.Get("stat0"));
}

// The location kinds are count reports too: a private address, in no
// database, puts both records in the one unknown row, whatever is installed.
TEST_F(StatTest, LocationKindsCountUnknownClientsInOneRow) {
  Load({{}, {}});
  for (const char* name : {"cities", "countries"}) {
    const ReportKindInfo* kind = FindReportKindByName(name);
    form_->CheckReportButton(kind);
    form_->RunAnalysis();
    EXPECT_EQ(form_->ReportKind(), kind);
    EXPECT_FALSE(form_->GroupBox4.Caption.empty()) << name;
    ASSERT_EQ(form_->Report().rows.size(), 1u) << name;
    const ReportRow& row = form_->Report().rows[0];
    EXPECT_EQ(row.Label, "(unknown)") << name;
    EXPECT_EQ(row.Count, 2) << name;
    EXPECT_FALSE(form_->Chart1.Empty()) << name;
    EXPECT_EQ(form_->SelectedCount(), 2) << name;
  }
}

TEST_F(StatTest, RunWithoutRecordsShowsTheEmptyFormOfTheReport) {
  // The constructor ran one analysis over no records.
  EXPECT_EQ(form_->ReportKind(), FindReportKindByName("day"));
  EXPECT_EQ(form_->Label8.Caption, form_->Lang.Get("mes1"));
  EXPECT_EQ(form_->GroupBox4.Caption, form_->Lang.Get("stat1"));
  EXPECT_EQ(form_->SelectedCount(), 0);
  EXPECT_EQ(form_->StringGrid1.RowCount(), 33);
}

TEST_F(StatTest, ClearReportDropsSelectionRowsAndTitle) {
  Load({{}, {}});
  Select(3);
  form_->Button2.Enabled = true;
  form_->ClearReport();
  EXPECT_EQ(form_->GroupBox4.Caption, form_->Lang.Get("stat0"));
  EXPECT_TRUE(form_->Report().selected.empty());
  EXPECT_EQ(form_->SelectedCount(), 0);
  EXPECT_EQ(form_->Report().kind, nullptr);
  EXPECT_TRUE(form_->Report().rows.empty());
  EXPECT_FALSE(form_->Button2.Enabled);
  EXPECT_EQ(form_->StringGrid1.RowCount(), 2);
  EXPECT_TRUE(form_->Chart1.Empty());
}

}  // namespace
}  // namespace tw
