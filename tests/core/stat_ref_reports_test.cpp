// The referrer reports: what each counts, what it skips and how it groups.
// The engine list is images.google (0), google (1), yandex (2); the site is
// site.example.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report_fixture.h"

namespace tw {
namespace {

using testing::LogLine;
using testing::Row;

class RefReportsTest : public testing::ReportFixture {
 protected:
  // One line of each sort of referrer.
  void LoadMixedReferrers() {
    Load({{.referrer = "-"},                                                     // 1 none
          {.referrer = "http://www.other.example/links.html"},                   // 2 external
          {.referrer = "http://Other.Example/links.html"},                       // 3 external
          {.referrer = "http://site.example/index.html"},                        // 4 own site
          {.referrer = "http://www.google.com/search?q=Cheap+Flights"},          // 5 google
          {.referrer = "http://www.google.com/search?hl=en&q=cheap%20flights"},  // 6 google
          {.referrer = "http://images.google.com/images?q=cat"},                 // 7 images.google
          {.referrer = "http://yandex.ru/yandsearch?text="},  // 8 yandex, no phrase
          {.referrer = ""}});                                 // 9 empty: external
  }
};

TEST_F(RefReportsTest, EachReferrerReportCountsItsOwnRecords) {
  LoadMixedReferrers();
  const struct {
    const char* kind;
    std::vector<Row> rows;
  } cases[] = {
      // Domains: every record; "www." dropped; case variants pooled under the first spelling.
      {"domains",
       {{"google.com", 2},
        {"other.example", 2},
        {"", 1},
        {"-", 1},
        {"images.google.com", 1},
        {"site.example", 1},
        {"yandex.ru", 1}}},
      // Catalogues: external pages only, one row per whole address.
      {"catalogues",
       {{"", 1},
        {"http://Other.Example/links.html", 1},
        {"http://www.other.example/links.html", 1}}},
      // Engines: every engine visit, with or without a phrase; the first matching name wins.
      {"engines", {{"google", 2}, {"images.google", 1}, {"yandex", 1}}},
      // Phrases: lower-cased and decoded; the yandex visit has none and is not counted.
      {"phrases", {{"cheap flights", 2}, {"cat", 1}}},
  };
  for (const auto& c : cases) {
    Run(c.kind);
    EXPECT_EQ(Rows(), c.rows) << c.kind;
  }
}

TEST_F(RefReportsTest, ReferringPagesCountEveryRecordNoReferrerUnderDash) {
  LoadMixedReferrers();
  Run("referrers");
  const std::vector<Row> rows = Rows();
  EXPECT_EQ(rows.size(), 9u);
  ASSERT_GE(TableRowOf("-"), 1);
  EXPECT_EQ(rows[TableRowOf("-") - 1].second, 1);
  EXPECT_EQ(Details(TableRowOf("-")), std::vector<int>{1});
  ASSERT_GE(TableRowOf("http://site.example/index.html"), 1);
}

// The last external referrer of the sorted records shares its pooled text
// with a record of another kind that follows it (the site's or an engine's
// name is found case-sensitively, the pool ignores case). Its group must still
// become a row.
TEST_F(RefReportsTest, LastExternalGroupIsCountedWhenNextRecordSharesItsText) {
  const struct {
    const char* name;
    std::vector<LogLine> lines;
    int second_kind;  // of line 2, which shares line 1's pooled referrer
    std::vector<Row> rows;
  } cases[] = {
      {"own site follows",
       {{.referrer = "http://Site.Example/x.html"},  // external: "site.example" not found
        {.referrer = "http://site.example/x.html"},  // own site, same pooled text
        {.referrer = "http://Aaa.example/"}},
       RefOwnSite,
       {{"http://Aaa.example/", 1}, {"http://Site.Example/x.html", 1}}},
      {"engine follows",
       {{.referrer = "http://www.Google.com/?q=a"},  // external: "google" not found
        {.referrer = "http://www.google.com/?q=a"},  // google, same pooled text
        {.referrer = "http://www.Google.com/?q=a"},
        {.referrer = "http://Aaa.example/"}},
       RefSearchEngine,
       {{"http://www.Google.com/?q=a", 2}, {"http://Aaa.example/", 1}}},
  };
  for (const auto& c : cases) {
    Load(c.lines);
    const LogRecord& first = *(*form_->Records())[0];
    const LogRecord& second = *(*form_->Records())[1];
    ASSERT_EQ(first.ReferrerKind, RefExternal) << c.name;
    ASSERT_EQ(second.ReferrerKind, c.second_kind) << c.name;
    ASSERT_EQ(second.Referrer(), first.Referrer()) << c.name;
    Run("catalogues");
    EXPECT_EQ(Rows(), c.rows) << c.name;
    const int row = TableRowOf(c.rows[0].first);
    EXPECT_EQ(static_cast<int>(Details(row).size()), c.rows[0].second) << c.name;
  }
}

// An engine row lists exactly the records it counted, also those whose engine
// name stands far into the referrer, and none of another engine whose name
// contains this one's.
TEST_F(RefReportsTest, EngineRowDetailsListExactlyTheRecordsCounted) {
  Load({{.referrer = "http://images.google.com/images?q=cat"},            // 1 images.google
        {.referrer = "http://www.google.com/search?q=a"},                 // 2 google
        {.referrer = "http://www.a-rather-long-mirror.google.com/?q=b"},  // 3 google
        {.referrer = "http://yandex.ru/?text=google"},                    // 4 yandex
        {.referrer = "http://www.google.com/search?q=c"}});               // 5 google
  Run("engines");
  ASSERT_EQ(Rows(), (std::vector<Row>{{"google", 3}, {"images.google", 1}, {"yandex", 1}}));
  EXPECT_EQ(Details(TableRowOf("google")), (std::vector<int>{2, 3, 5}));
  EXPECT_EQ(Details(TableRowOf("images.google")), std::vector<int>{1});
  EXPECT_EQ(Details(TableRowOf("yandex")), std::vector<int>{4});
}

TEST_F(RefReportsTest, PhrasesDifferingInCaseOrEndBlanksShareARow) {
  Load({{.referrer = "http://www.google.com/?q=Red+Shoes"},
        {.referrer = "http://www.google.com/?q=red%20shoes%20"},
        {.referrer = "http://yandex.ru/?text=RED+SHOES&p=2"},
        {.referrer = "http://www.google.com/?hl=en"}});  // no phrase
  Run("phrases");
  EXPECT_EQ(Rows(), std::vector<Row>{(Row{"red shoes", 3})});
  EXPECT_EQ(Details(1), (std::vector<int>{1, 2, 3}));
  Run("engines");
  EXPECT_EQ(Rows(), (std::vector<Row>{{"google", 3}, {"yandex", 1}}));
}

}  // namespace
}  // namespace tw
