#include "Loggen.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "Loggen_agents.h"
#include "Loggen_calendar.h"
#include "base/delimited.h"

namespace tw::loggen {
namespace {

std::vector<std::string> Generate(const LoggenOptions& options, LoggenStats* stats = nullptr) {
  LogGenerator generator(options);
  std::vector<std::string> lines;
  std::string line;
  while (generator.Next(line)) lines.push_back(line);
  if (stats != nullptr) *stats = generator.Stats();
  return lines;
}

// The line's fields the way the log parser cuts them: an escaped quote first
// becomes an apostrophe, then the line splits at blanks outside quotes.
std::vector<std::string> Tokens(const std::string& line) {
  std::string unescaped;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const bool escaped_quote = line[i] == '\\' && i + 1 < line.size() && line[i + 1] == '"';
    unescaped.push_back(escaped_quote ? '\'' : line[i]);
    i += escaped_quote;
  }
  return SplitDelimited(unescaped, ' ');
}

// Seconds since 1970 of a "[05/Mar/2025:07:04:09" token, or -1.
std::int64_t Seconds(const std::string& token) {
  static constexpr const char* kMonths = "JanFebMarAprMayJunJulAugSepOctNovDec";
  int day, year, hour, minute, second;
  char month[4] = {};
  if (std::sscanf(token.c_str(), "[%2d/%3c/%4d:%2d:%2d:%2d", &day, month, &year, &hour, &minute, &second) != 6) {
    return -1;
  }
  const char* m = std::strstr(kMonths, month);
  if (m == nullptr) return -1;
  const int month_number = static_cast<int>(m - kMonths) / 3 + 1;
  return DaysFromCivil({year, month_number, day}) * 86400 + hour * 3600 + minute * 60 + second;
}

TEST(Loggen, SameOptionsGiveTheSameLogAndAnotherSeedAnother) {
  LoggenOptions options;
  options.lines = 3000;
  const auto a = Generate(options);
  const auto b = Generate(options);
  EXPECT_EQ(a, b);
  options.seed = 2;
  EXPECT_NE(Generate(options), a);
}

TEST(Loggen, WritesExactlyTheRequestedNumberOfLines) {
  for (const std::uint64_t n : {1ull, 2ull, 7ull, 1000ull, 4321ull}) {
    LoggenOptions options;
    options.lines = n;
    LoggenStats stats;
    EXPECT_EQ(Generate(options, &stats).size(), n) << n;
    EXPECT_EQ(stats.lines, n) << n;
  }
}

TEST(Loggen, UndamagedLinesHaveTheTenFieldsOfTheCombinedFormat) {
  LoggenOptions options;
  options.lines = 20000;
  options.malformed_per_100000 = 0;
  int wrong = 0;
  for (const std::string& line : Generate(options)) {
    const auto t = Tokens(line);
    const bool ok = t.size() == 10 && Seconds(t[3]) > 0 && t[4] == "+0300]" && SplitDelimited(t[5], ' ').size() == 3 &&
                    t[6].size() == 3 && (t[7] == "-" || t[7].find_first_not_of("0123456789") == std::string::npos);
    if (!ok && ++wrong <= 5) ADD_FAILURE() << line;
  }
  EXPECT_EQ(wrong, 0);
}

TEST(Loggen, TimesRiseThroughTheChosenMonths) {
  struct Case {
    int year, month, span;
  } cases[] = {{2025, 3, 1}, {2024, 12, 2}, {2024, 2, 1}};
  for (const auto& c : cases) {
    LoggenOptions options;
    options.lines = 30000;
    options.start_year = c.year;
    options.start_month = c.month;
    options.month_span = c.span;
    options.malformed_per_100000 = 0;
    const std::int64_t first = DaysFromCivil({c.year, c.month, 1}) * 86400;
    const int end_month = c.month - 1 + c.span;
    const std::int64_t end = DaysFromCivil({c.year + end_month / 12, end_month % 12 + 1, 1}) * 86400;
    std::int64_t previous = 0, inside = 0, lines = 0;
    std::set<std::int64_t> days;
    for (const std::string& line : Generate(options)) {
      const std::int64_t t = Seconds(Tokens(line)[3]);
      ASSERT_GE(t, previous) << line;
      ASSERT_GE(t, first - options.lead_in_hours * 3600) << line;
      ASSERT_LT(t, end + 3 * 3600) << line;  // the last visits may run a little past midnight
      previous = t;
      inside += t >= first && t < end;
      days.insert(t / 86400);
      ++lines;
    }
    EXPECT_GT(inside, lines * 99 / 100) << c.year << "-" << c.month;
    EXPECT_GE(static_cast<std::int64_t>(days.size()), (end - first) / 86400) << c.year << "-" << c.month;
  }
}

TEST(Loggen, DamagesAboutOneLineInAThousand) {
  LoggenOptions options;
  options.lines = 200000;
  LoggenStats stats;
  const auto lines = Generate(options, &stats);
  EXPECT_GT(stats.malformed_lines, 140u);
  EXPECT_LT(stats.malformed_lines, 260u);
  std::uint64_t bytes = 0;
  for (const auto& line : lines) bytes += line.size() + 1;
  EXPECT_EQ(stats.bytes, bytes);
}

TEST(Loggen, EveryCrawlerIsALineOfTheCrawlerList) {
  std::ifstream in(TALLYWEAVE_RESOURCE_DIR "/crawlers.lst", std::ios::binary);
  ASSERT_TRUE(in) << "crawlers.lst";
  std::set<std::string> listed;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    listed.insert(line);
  }
  for (const Crawler& c : AgentPool::Crawlers()) EXPECT_EQ(listed.count(c.user_agent), 1u) << c.user_agent;
}

TEST(Loggen, RejectsUnusableOptions) {
  struct Case {
    const char* name;
    void (*change)(LoggenOptions&);
  } cases[] = {
      {"no lines", [](LoggenOptions& o) { o.lines = 0; }},
      {"month 13", [](LoggenOptions& o) { o.start_month = 13; }},
      {"year 2033", [](LoggenOptions& o) { o.start_year = 2033; }},
      {"no months", [](LoggenOptions& o) { o.month_span = 0; }},
      {"site with a blank", [](LoggenOptions& o) { o.site_name = "www.example shop.ru"; }},
      {"zone", [](LoggenOptions& o) { o.zone = "MSK"; }},
  };
  EXPECT_EQ(CheckOptions(LoggenOptions{}), "");
  for (const auto& c : cases) {
    LoggenOptions options;
    c.change(options);
    EXPECT_NE(CheckOptions(options), "") << c.name;
  }
}

}  // namespace
}  // namespace tw::loggen
