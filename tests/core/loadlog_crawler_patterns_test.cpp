// Crawlers recognised by a piece of their user agent: the pattern file, the
// per-agent verdict kept in the user-agent pool, and what a load and the
// reports make of it.

#include "parse/crawler_patterns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/file_access.h"
#include "log/string_pool.h"
#include "parse/crawlers.h"
#include "parse/parser.h"
#include "report_fixture.h"
#include "temp_folder.h"

namespace tw {
namespace {

TEST(CrawlerPatterns, MatchesPiecesOfTheAgentIgnoringCase) {
  const struct Case {
    const char* list;
    const char* agent;
    bool crawler;
  } cases[] = {
      {"Googlebot\n", "Mozilla/5.0 (compatible; Googlebot/2.1)", true},
      {"Googlebot\n", "MOZILLA/5.0 (COMPATIBLE; GOOGLEBOT/2.1)", true},
      {"Googlebot\n", "Google bot", false},
      {"curl/\n", "curl/8.5.0", true},
      {"bingbot\r\nYandexBot\r\n", "YandexBot/3.0", true},  // CR LF
      {"bingbot\rYandexBot", "yandexbot", true},            // CR, no final break
      {" bot\n", "Better Uptime Bot", true},                // blanks belong to the pattern
      {" bot\n", "Android 9; Cubot X20", false},
      {"bot/\n", "MJ12bot/", true},              // at the very end
      {"bot/\n", "bot", false},                  // longer than the agent
      {"bot/x\nbots\nbot/\n", "a bot/1", true},  // several under one pair
      {"@\n", "crawler@example.com", true},      // a single byte
      {"@\n", "Mozilla", false},
      {"#bot\n", "#bot", false},  // a comment, not a pattern
      {"# spider\nspider\n", "Baiduspider", true},
      {"\n\n   \n\t\n", "   ", false},  // blank lines say nothing
      {"", "anything", false},
      // A list in Windows-1251: "ПАУК" finds "паук", "Ёж" finds "ёж".
      {"\xCF\xC0\xD3\xCA\n", "мой паук/1.0", true},
      {"\xA8\xE6\n", "ёж-bot", true},
      {"\xA8\xE6\n", "Еж", false},  // Е is not Ё
      // A list in UTF-8, folded by Unicode.
      {"ПАУК\n", "мой паук/1.0", true},
      {"ΑΡΆΧΝΗ\n", "αράχνη-bot", true},
      {"sigmaς\n", "SIGMAΣ", true},
      {"straße\n", "STRASSE", false},  // simple folding only
      {"蜘蛛\n", "百度蜘蛛/2.0", true},
      {"\xE2\x84\xAA\n", "kbot", true},  // the Kelvin sign folds to k
  };
  for (const Case& c : cases) {
    CrawlerPatterns patterns;
    patterns.Parse(c.list);
    EXPECT_EQ(patterns.Matches(c.agent), c.crawler) << "[" << c.list << "] on [" << c.agent << "]";
  }
}

TEST(CrawlerPatterns, KeepsEachPatternOnceAcrossTexts) {
  CrawlerPatterns patterns;
  patterns.Parse("# only a comment\n\nBot/\nbot/\n");
  patterns.Parse("two\nBOT/\n");
  EXPECT_EQ(patterns.Count(), 2u);
  EXPECT_TRUE(patterns.Matches("x-bot/"));
  EXPECT_TRUE(patterns.Matches("x-two")) << "indexed again after the second text";
}

TEST(CrawlerPatterns, MissingFileMeansNoPatterns) {
  const testing::TempFolder dir;
  CrawlerPatterns patterns;
  const std::string path = (dir.path() / "no-such-folder" / kCrawlerPatternFileName).string();
  LoadCrawlerPatterns(SystemFiles(), path, patterns);
  EXPECT_EQ(patterns.Count(), 0u);
  EXPECT_FALSE(patterns.Matches("Googlebot"));
  EXPECT_EQ(CrawlerPatternPathBeside("/opt/tw/crawlers.lst"), "/opt/tw/crawler-patterns.lst");
  EXPECT_EQ(CrawlerPatternPathBeside("crawlers.lst"), "crawler-patterns.lst");
}

// Parses lines that differ only in the user agent, as the loader does.
class CrawlerVerdictTest : public ::testing::Test {
 protected:
  CrawlerVerdictTest() {
    ctx_.UrlPool = &urls_;
    ctx_.ReferrerPool = &referrers_;
    ctx_.UserAgentPool = &agents_;
    ctx_.SearchPhrasePool = &phrases_;
    ctx_.ReferrerDomainPool = &domains_;
    ParseCrawlerList("Crawler/1.0\nExact Agent\n", agents_, crawlers_);
    patterns_.Parse("Crawler/1.0\nbot/\n");
    ctx_.Crawlers = &crawlers_;
    ctx_.Patterns = &patterns_;
  }

  unsigned CrawlerBitOf(const std::string& agent) {
    LogRecord record{};
    const std::string line =
        "10.0.0.1 - - [10/Oct/2000:13:55:36 -0700] \"GET / HTTP/1.0\" 200 1 "
        "\"-\" \"" +
        agent + "\"";
    EXPECT_TRUE(ParseLogLine(ctx_, line, &record)) << agent;
    return record.IsCrawler;
  }

  StringPool urls_, referrers_, agents_, phrases_, domains_;
  std::vector<const char*> crawlers_;
  CrawlerPatterns patterns_;
  ParseContext ctx_;
};

TEST_F(CrawlerVerdictTest, WholeLinesAndPatternsBothMark) {
  const struct Case {
    const char* agent;
    unsigned crawler;
  } cases[] = {
      {"Crawler/1.0", 1},          // a whole line that is also a pattern
      {"crawler/1.0 (extra)", 1},  // the pattern alone
      {"Exact Agent", 1},          // the whole line alone
      {"EXACT AGENT", 1},
      {"Exact Agent 2", 0},
      {"Mozilla/5.0 (compatible; ExampleBot/1.0)", 1},
      {"Mozilla/5.0", 0},
      {"", 0},
  };
  for (int round = 0; round < 2; ++round) {  // the second round reads the kept verdicts
    for (const Case& c : cases) {
      EXPECT_EQ(CrawlerBitOf(c.agent), c.crawler)
          << "round " << round << ", agent [" << c.agent << "]";
    }
  }
}

TEST_F(CrawlerVerdictTest, JudgesEachDistinctAgentOnce) {
  const std::vector<std::string> agents = {"Mozilla/5.0", "MOZILLA/5.0", "ExampleBot/1.0",
                                           "Crawler/1.0", "mozilla/5.0", "Opera/9.80"};
  for (int i = 0; i < 50; ++i) {
    for (const std::string& agent : agents) CrawlerBitOf(agent);
  }
  // Mozilla/5.0 in three spellings, ExampleBot/1.0, Crawler/1.0, Opera/9.80.
  EXPECT_EQ(patterns_.Tests(), 3u) << "Crawler/1.0 is judged by the whole-line list first";
  EXPECT_EQ(agents_.Count(), 5u);
}

// A loaded log with crawlers by pattern, and the reports with "Ignore crawlers" on and off.
class CrawlerPatternLoadTest : public testing::ReportFixture {
 protected:
  void LoadMixedLog() {
    Load({{.url = "/people", .agent = "Mozilla/5.0 (X11; Linux x86_64)"},
          {.url = "/list", .agent = "Crawler/1.0"},
          {.url = "/pattern", .agent = "Mozilla/5.0 (compatible; Googlebot/2.1)"},
          {.url = "/pattern", .agent = "curl/8.5.0"},
          {.url = "/people", .agent = "Mozilla/5.0 (Linux; Android 9; Cubot X20)"},
          {.url = "/pattern", .agent = "GOOGLEBOT/2.1"}});
  }

  std::vector<unsigned> CrawlerBits() const {
    std::vector<unsigned> bits;
    for (std::int32_t i = 0; i < form_->RecordCount(); ++i)
      bits.push_back((*form_->Records())[i]->IsCrawler);
    return bits;
  }

  std::vector<testing::Row> RequestRows(bool ignore_crawlers) {
    Run("pages");
    form_->CheckBox1.Checked = ignore_crawlers;
    form_->RunAnalysis();
    return Rows();
  }
};

TEST_F(CrawlerPatternLoadTest, PatternsMarkRecordsAndReportsLeaveThemOut) {
  testing::WriteBytes(dir_ / kCrawlerPatternFileName, "# test list\ngooglebot\ncurl/\n");
  LoadMixedLog();
  ASSERT_EQ(form_->RecordCount(), 6);
  EXPECT_EQ(CrawlerBits(), (std::vector<unsigned>{0, 1, 1, 1, 0, 1}));

  EXPECT_EQ(RequestRows(/*ignore_crawlers=*/true), (std::vector<testing::Row>{{"/people", 2}}));
  EXPECT_EQ(form_->SelectedCount(), 2);
  EXPECT_EQ(RequestRows(/*ignore_crawlers=*/false),
            (std::vector<testing::Row>{{"/pattern", 3}, {"/people", 2}, {"/list", 1}}));
  EXPECT_EQ(form_->SelectedCount(), 6);
}

TEST_F(CrawlerPatternLoadTest, WithoutThePatternFileOnlyWholeLinesCount) {
  LoadMixedLog();
  EXPECT_TRUE(platform_.messages.empty());
  ASSERT_EQ(form_->RecordCount(), 6);
  EXPECT_EQ(CrawlerBits(), (std::vector<unsigned>{0, 1, 0, 0, 0, 0}));
  EXPECT_EQ(RequestRows(/*ignore_crawlers=*/true),
            (std::vector<testing::Row>{{"/pattern", 3}, {"/people", 2}}));
}

}  // namespace
}  // namespace tw
