// Requested pages, status codes, addresses and browsers, through a real load
// and analysis run.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report_fixture.h"

namespace tw {
namespace {

using testing::LogLine;
using testing::Row;

class RowReportsTest : public testing::ReportFixture {};

TEST_F(RowReportsTest, RequestsAreCountedPerPathMostRequestedFirst) {
  Load({{.url = "/b.html"},
        {.url = "/a.html"},
        {.url = "/A.HTML"},  // lower-cased by the parser: the row of /a.html
        {.url = "/a.html?x=1"},
        {.url = "/b.html"},
        {.url = "/b.html"}});
  Run("pages");
  EXPECT_EQ(Rows(), (std::vector<Row>{{"/b.html", 3}, {"/a.html", 2}, {"/a.html?x=1", 1}}));
  EXPECT_EQ(form_->ReportKind(), FindReportKindByName("pages"));
}

// Rows of equal count stay in the report's own order (byte order of the
// texts), whatever the order of the lines, so a table is reproducible.
TEST_F(RowReportsTest, RowsOfEqualCountKeepByteOrder) {
  struct Case {
    const char* kind;
    std::vector<LogLine> lines;
    std::vector<Row> rows;
  };
  const Case cases[] = {
      {"pages", {{.url = "/c"}, {.url = "/B"}, {.url = "/a"}}, {{"/a", 1}, {"/b", 1}, {"/c", 1}}},
      {"browsers",
       {{.agent = "b"}, {.agent = "B2"}, {.agent = "A"}, {.agent = "a1"}},
       {{"A", 1}, {"B2", 1}, {"a1", 1}, {"b", 1}}},
      {"referrers",
       {{.referrer = "http://z.example/"},
        {.referrer = "http://a.example/x"},
        {.referrer = "http://a.example/"}},
       {{"http://a.example/", 1}, {"http://a.example/x", 1}, {"http://z.example/", 1}}},
  };
  for (const Case& c : cases) {
    Load(c.lines);
    Run(c.kind);
    EXPECT_EQ(Rows(), c.rows) << c.kind;
  }
}

TEST_F(RowReportsTest, StatusCodesAreShownInAscendingOrderWhateverTheirCounts) {
  Load({{.status = "404"},
        {.status = "404"},
        {.status = "200"},
        {.status = "304"},
        {.status = "-5"},
        {.status = "404"},
        {.status = "304"}});
  Run("status");
  EXPECT_EQ(Rows(), (std::vector<Row>{{"-5", 1}, {"200", 1}, {"304", 2}, {"404", 3}}));
  // A second run frees the first run's labels and makes new ones.
  Run("status");
  EXPECT_EQ(Rows().size(), 4u);
}

TEST_F(RowReportsTest, AddressesMostActiveFirstTiesInUnsignedOrder) {
  std::vector<LogLine> lines;
  for (int i = 0; i < 3; ++i) lines.push_back({.ip = "10.0.0.2"});
  for (int i = 0; i < 5; ++i) lines.push_back({.ip = "9.1.1.1"});
  lines.push_back({.ip = "200.1.1.1"});
  lines.push_back({.ip = "crawl.example.com"});  // not a dotted quad: address 0
  lines.push_back({.ip = "10.1.1.1"});
  Load(lines);
  Run("addresses");
  EXPECT_EQ(
      Rows(),
      (std::vector<Row>{
          {"9.1.1.1", 5}, {"10.0.0.2", 3}, {"0.0.0.0", 1}, {"10.1.1.1", 1}, {"200.1.1.1", 1}}));
}

TEST_F(RowReportsTest, BrowsersDifferingOnlyInCaseShareARowUnderTheFirstSpelling) {
  Load({{.agent = "Agent/1 (X)"},
        {.agent = "agent/1 (x)"},
        {.agent = "Agent/1 (Y)"},
        {.agent = "AGENT/1 (X)"}});
  Run("browsers");
  EXPECT_EQ(Rows(), (std::vector<Row>{{"Agent/1 (X)", 3}, {"Agent/1 (Y)", 1}}));
}

TEST_F(RowReportsTest, SingleRecordGivesOneRowOfOne) {
  Load({{.ip = "1.2.3.4",
         .url = "/p.html",
         .status = "301",
         .referrer = "http://x.example/l",
         .agent = "UA"}});
  const struct {
    const char* kind;
    Row row;
  } cases[] = {
      {"pages", {"/p.html", 1}},
      {"status", {"301", 1}},
      {"addresses", {"1.2.3.4", 1}},
      {"domains", {"x.example", 1}},
      {"referrers", {"http://x.example/l", 1}},
      {"catalogues", {"http://x.example/l", 1}},
      {"browsers", {"UA", 1}},
  };
  for (const auto& c : cases) {
    Run(c.kind);
    EXPECT_EQ(Rows(), std::vector<Row>{c.row}) << c.kind;
  }
}

TEST_F(RowReportsTest, NoSelectedRecordsGiveNoRowsInEveryKind) {
  Load({});
  for (const char* kind : {"pages", "status", "addresses", "domains", "referrers", "catalogues", "engines", "phrases", "browsers"}) {
    Run(kind);
    EXPECT_TRUE(Rows().empty()) << kind;
    EXPECT_EQ(form_->StringGrid1.RowCount(), 2) << kind;
  }
}

}  // namespace
}  // namespace tw
