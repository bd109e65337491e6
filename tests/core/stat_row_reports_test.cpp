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
  Run(4);
  EXPECT_EQ(Rows(), (std::vector<Row>{{"/b.html", 3}, {"/a.html", 2}, {"/a.html?x=1", 1}}));
  EXPECT_EQ(form_->ReportKind, 4);
}

// Rows of equal count stay in the report's own order (byte order of the
// texts), whatever the order of the lines, so a table is reproducible.
TEST_F(RowReportsTest, RowsOfEqualCountKeepByteOrder) {
  struct Case {
    int kind;
    std::vector<LogLine> lines;
    std::vector<Row> rows;
  };
  const Case cases[] = {
      {4, {{.url = "/c"}, {.url = "/B"}, {.url = "/a"}}, {{"/a", 1}, {"/b", 1}, {"/c", 1}}},
      {14,
       {{.agent = "b"}, {.agent = "B2"}, {.agent = "A"}, {.agent = "a1"}},
       {{"A", 1}, {"B2", 1}, {"a1", 1}, {"b", 1}}},
      {10,
       {{.referrer = "http://z.example/"},
        {.referrer = "http://a.example/x"},
        {.referrer = "http://a.example/"}},
       {{"http://a.example/", 1}, {"http://a.example/x", 1}, {"http://z.example/", 1}}},
  };
  for (const Case& c : cases) {
    Load(c.lines);
    Run(c.kind);
    EXPECT_EQ(Rows(), c.rows) << "kind " << c.kind;
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
  Run(5);
  EXPECT_EQ(Rows(), (std::vector<Row>{{"-5", 1}, {"200", 1}, {"304", 2}, {"404", 3}}));
  // A second run frees the first run's labels and makes new ones.
  Run(5);
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
  Run(6);
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
  Run(14);
  EXPECT_EQ(Rows(), (std::vector<Row>{{"Agent/1 (X)", 3}, {"Agent/1 (Y)", 1}}));
}

TEST_F(RowReportsTest, SingleRecordGivesOneRowOfOne) {
  Load({{.ip = "1.2.3.4",
         .url = "/p.html",
         .status = "301",
         .referrer = "http://x.example/l",
         .agent = "UA"}});
  const struct {
    int kind;
    Row row;
  } cases[] = {
      {4, {"/p.html", 1}},
      {5, {"301", 1}},
      {6, {"1.2.3.4", 1}},
      {9, {"x.example", 1}},
      {10, {"http://x.example/l", 1}},
      {11, {"http://x.example/l", 1}},
      {14, {"UA", 1}},
  };
  for (const auto& c : cases) {
    Run(c.kind);
    EXPECT_EQ(Rows(), std::vector<Row>{c.row}) << "kind " << c.kind;
  }
}

TEST_F(RowReportsTest, NoSelectedRecordsGiveNoRowsInEveryKind) {
  Load({});
  for (int kind : {4, 5, 6, 9, 10, 11, 12, 13, 14}) {
    Run(kind);
    EXPECT_TRUE(Rows().empty()) << "kind " << kind;
    EXPECT_EQ(form_->StringGrid1.RowCount(), 2) << "kind " << kind;
  }
}

}  // namespace
}  // namespace tw
