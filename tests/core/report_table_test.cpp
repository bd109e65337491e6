#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis/report_result.h"
#include "csv_reader.h"
#include "base/language.h"
#include "present/report_html.h"
#include "present/report_table.h"

namespace tw {
namespace {

// A count table of `labels` (UTF-8), the first counted 3 times, the others once.
ReportResult CountTable(const std::vector<std::string>& labels) {
  ReportResult r;
  r.columns = {"", "Requested page", "Hits", "Share"};
  for (std::size_t i = 0; i < labels.size(); ++i) {
    const std::int32_t count = i == 0 ? 3 : 1;
    r.rows.push_back({r.labels.Add(labels[i]), count, 0});
    r.total += count;
  }
  return r;
}

std::string Written(const ReportResult& r, TableDialect dialect) {
  std::string out;
  EXPECT_TRUE(WriteReportTable(r, dialect, [&](std::string_view s) { return out.append(s), true; }));
  return out;
}

// Texts that break naive writers come back as they were, a formula-looking
// one after an apostrophe, from a reader that knows nothing of the writer.
TEST(ReportTable, HostileLabelsComeBackFromAnIndependentReader) {
  const struct {
    std::string label;
    std::string read_back;
  } cases[] = {
      {"/plain", "/plain"},
      {"/a,b", "/a,b"},
      {"/say \"hi\"", "/say \"hi\""},
      {"/two\r\nlines", "/two\r\nlines"},
      {"/tab\there", "/tab\there"},
      {"=HYPERLINK(\"x\")", "'=HYPERLINK(\"x\")"},
      {"+1,5", "'+1,5"},
      {"-5", "-5"},
      {"-", "-"},
      {"/back\\slash", "/back\\slash"},
      {"/страница,1", "/страница,1"},
      {"/café \"münchen\"", "/café \"münchen\""},
      {"/中文,页面", "/中文,页面"},
      {"/عربي\n", "/عربي\n"},
      {"/😀,x", "/😀,x"},
  };
  std::vector<std::string> labels;
  for (const auto& c : cases) labels.push_back(c.label);
  const ReportResult table = CountTable(labels);
  bool ok = false;
  const auto csv = testing::ReadCsv(Written(table, TableDialect::kCsv), ',', ok);
  ASSERT_TRUE(ok);
  ASSERT_EQ(csv.size(), std::size(cases) + 1);
  EXPECT_EQ(csv[0], (std::vector<std::string>{"Requested page", "Hits", "Share"}));
  EXPECT_EQ(csv[1][1], "3");
  const long fraction = std::lround(3 * 10000.0 / (3 + static_cast<double>(std::size(cases)) - 1));
  const std::string share = "0." + std::to_string(fraction);
  EXPECT_EQ(csv[1][2], share) << "a decimal fraction of four places";
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    ASSERT_EQ(csv[i + 1].size(), 3u) << cases[i].label;
    EXPECT_EQ(csv[i + 1][0], cases[i].read_back) << cases[i].label;
  }
  // TSV: one line a row, the line ends and tabs of texts escaped.
  const std::string tsv = Written(table, TableDialect::kTsv);
  const auto lines = testing::ReadCsv(tsv, '\t', ok);
  ASSERT_EQ(lines.size(), std::size(cases) + 1) << tsv;
  EXPECT_EQ(lines[4][0], "/two\\r\\nlines");
  EXPECT_EQ(lines[5][0], "/tab\\there");
  EXPECT_EQ(lines[10][0], "/back\\\\slash");
  EXPECT_EQ(lines[14][0], "/عربي\\n");
}

std::size_t Occurrences(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// Every row reaches the page, those past the first thousand folded; every
// text is escaped, so a hostile label stays text.
TEST(ReportHtml, FoldsRowsPastTheFirstThousandAndEscapesEveryText) {
  std::vector<std::string> labels;
  for (int i = 0; i < kHtmlFoldAfter + 234; ++i) labels.push_back("/p" + std::to_string(i));
  labels[7] = "<script>alert('x')</script>&";
  labels[8] = "مرحبا بالعالم";
  const ReportResult table = CountTable(labels);
  LanguagePack lang;
  const std::string page = ReportsHtml({}, {&table}, lang);
  EXPECT_EQ(Occurrences(page, "<tr>") + Occurrences(page, "<tr class=\"more\">"),
            labels.size() + 2) << "the titles, every row, the totals";
  EXPECT_EQ(Occurrences(page, "<tr class=\"more\">"), 234u);
  EXPECT_NE(page.find("<td>&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;&amp;<td>"), std::string::npos);
  EXPECT_EQ(Occurrences(page, "<script>"), 1u) << "only the page's own";
  EXPECT_NE(page.find("<td dir=\"rtl\">مرحبا بالعالم<td>"), std::string::npos) << "laid out from the right";
  EXPECT_EQ(Occurrences(page, "dir=\"rtl\""), 1u);
  EXPECT_NE(page.find("Show all " + std::to_string(labels.size()) + " rows"), std::string::npos);
}

}  // namespace
}  // namespace tw
