// Texts of every script through the whole job: the log's bytes, the pooled
// UTF-8 texts of the report, and the saved table in each encoding.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "present/report_csv.h"
#include "report_fixture.h"
#include "show_bytes.h"

namespace tw {
namespace {

using testing::LogLine;
using testing::ReadFile;
using testing::Row;
using testing::Show;

class TextEncodingTest : public testing::ReportFixture {
 protected:
  // The table's bytes in `encoding`, as standard output gets them.
  std::string Table(TableEncoding encoding, ByteOrderMark mark = ByteOrderMark::kOmit) {
    std::string bytes;
    WriteReportCsv(form_->Report(), [&bytes](std::string_view piece) {
      bytes += piece;
      return true;
    }, encoding, mark);
    return bytes;
  }
};

TEST_F(TextEncodingTest, PagesOfEveryScriptArePooledAsUtf8) {
  const struct {
    const char* request;
    const char* page;
  } cases[] = {
      {"/caf%C3%A9.html", "/café.html"},
      {"/%CE%95%CE%BB%CE%BB%CE%AC%CE%B4%CE%B1", "/Ελλάδα"},
      {"/%D0%9C%D0%BE%D1%81%D0%BA%D0%B2%D0%B0", "/Москва"},       // UTF-8 escapes
      {"/%CA%E8%E5%E2", "/Киев"},                                 // Windows-1251 escapes
      {"/\xCC\xE8\xED\xF1\xEA", "/минск"},                        // raw Windows-1251, lowered
      {"/%E4%B8%AD%E6%96%87.html", "/中文.html"},
      {"/%E6%96%87%E4%B8%AD.html", "/文中.html"},                 // as long, not the same page
      {"/%D8%B9%D8%B1%D8%A8%D9%8A", "/عربي"},
      {"/%F0%9F%98%80", "/😀"},
      {"/%C0%AF", "/АЇ"},                                         // overlong: the code page
      {"/%ED%A0%80x", "/н\xC2\xA0Ђx"},                            // a surrogate: the code page
      {"/a%00b", "/a"},                                           // a page ends at a zero byte
  };
  std::vector<LogLine> lines;
  for (const auto& c : cases) lines.push_back({.url = c.request});
  Load(lines);
  Run("pages");
  const std::vector<Row> rows = Rows();
  ASSERT_EQ(rows.size(), std::size(cases));
  for (const auto& c : cases) {
    EXPECT_NE(TableRowOf(c.page), -1) << Show(c.page) << " from " << c.request;
  }
}

TEST_F(TextEncodingTest, TextsEqualButForCaseArePooledInEveryScript) {
  const struct {
    const char* first;
    const char* later;
    const char* row;  // the one row when both are pooled together, else null
  } cases[] = {
      {"Mozilla/5.0", "MOZILLA/5.0", "Mozilla/5.0"},
      {"Агент ЁЖ", "агент ёж", "Агент ЁЖ"},
      {"Agent ΣΑΣ", "agent σας", "Agent ΣΑΣ"},
      {"Agent Café", "AGENT CAFÉ", "Agent Café"},
      {"Agent STRASSE", "agent straße", nullptr},
      {"Agent 中文", "Agent 文中", nullptr},
      {"Agent \xC0\xE3\xE5\xED\xF2", "AGENT АГЕНТ", "Agent Агент"},  // Windows-1251 meets UTF-8
  };
  for (const auto& c : cases) {
    Load({{.agent = c.first}, {.agent = c.later}, {.agent = c.first}});
    Run("browsers");
    const std::vector<Row> expected = c.row != nullptr
                                          ? std::vector<Row>{{c.row, 3}}
                                          : std::vector<Row>{{c.first, 2}, {c.later, 1}};
    EXPECT_EQ(Rows(), expected) << Show(c.first) << " | " << Show(c.later);
  }
}

TEST_F(TextEncodingTest, EqualCountsOrderByCodePoints) {
  // In Windows-1251 ё stood before а and є before я; by code points both come after.
  Load({{.url = "/є"}, {.url = "/я"}, {.url = "/ё"}, {.url = "/а"}, {.url = "/z"}, {.url = "/中"}});
  Run("pages");
  const std::vector<Row> expected = {{"/z", 1}, {"/а", 1}, {"/я", 1},
                                     {"/ё", 1}, {"/є", 1}, {"/中", 1}};
  EXPECT_EQ(Rows(), expected);
}

TEST_F(TextEncodingTest, ThreeLinesGiveUtf8ReportsAndTheCodePageTable) {
  Load({{.url = "/caf%C3%A9.html",
         .referrer = "http://www.google.com/search?q=m%C3%BCnchen+stra%C3%9Fe"},
        {.url = "/%E4%B8%AD%E6%96%87.html",
         .referrer = "http://yandex.ru/yandsearch?text=%D0%BC%D0%BE%D1%81%D0%BA%D0%B2%D0%B0"},
        {.url = "/caf%C3%A9.html"}});
  Run("pages");
  EXPECT_EQ(Rows(), (std::vector<Row>{{"/café.html", 2}, {"/中文.html", 1}}));
  const std::string cp1251 = Table(TableEncoding::kWindows1251);
  EXPECT_NE(cp1251.find("\r\n\"/caf?.html\";\"2\";"), std::string::npos) << Show(cp1251);
  EXPECT_NE(cp1251.find("\r\n\"/??.html\";\"1\";"), std::string::npos) << Show(cp1251);
  const std::string utf8 = Table(TableEncoding::kUtf8);
  EXPECT_NE(utf8.find("\r\n\"/café.html\";\"2\";"), std::string::npos) << Show(utf8);
  EXPECT_NE(utf8.find("\r\n\"/中文.html\";\"1\";"), std::string::npos) << Show(utf8);

  Run("phrases");
  EXPECT_EQ(Rows(), (std::vector<Row>{{"münchen straße", 1}, {"москва", 1}}));
  const std::string phrases = Table(TableEncoding::kWindows1251);
  EXPECT_NE(phrases.find("\"m?nchen stra?e\";\"1\";"), std::string::npos) << Show(phrases);
  EXPECT_NE(phrases.find("\"\xEC\xEE\xF1\xEA\xE2\xE0\";\"1\";"), std::string::npos) << Show(phrases);
}

TEST_F(TextEncodingTest, OnlyASavedUtf8TableBeginsWithTheByteOrderMark) {
  Load({{.url = "/%D0%9F"}});
  Run("pages");
  const std::string kMark = "\xEF\xBB\xBF";
  const struct {
    TableEncoding encoding;
    ByteOrderMark mark;
    const char* start;  // of the second line, after the line end
  } cases[] = {
      {TableEncoding::kWindows1251, ByteOrderMark::kOmit, "\xE4\xEB\xFF http://"},
      {TableEncoding::kWindows1251, ByteOrderMark::kWrite, "\xE4\xEB\xFF http://"},
      {TableEncoding::kUtf8, ByteOrderMark::kOmit, "для http://"},
      {TableEncoding::kUtf8, ByteOrderMark::kWrite, "для http://"},
  };
  for (const auto& c : cases) {
    const std::string bytes = Table(c.encoding, c.mark);
    const bool marked = c.encoding == TableEncoding::kUtf8 && c.mark == ByteOrderMark::kWrite;
    EXPECT_EQ(bytes.starts_with(kMark), marked) << Show(bytes.substr(0, 8));
    EXPECT_NE(bytes.find(std::string("\r\n") + c.start), std::string::npos) << Show(bytes);
  }
  const std::string path = (dir_ / "saved.csv").string();
  ASSERT_EQ(SaveReportCsv(form_->Report(), path, TableEncoding::kUtf8), 0);
  EXPECT_EQ(ReadFile(path), kMark + Table(TableEncoding::kUtf8));
  ASSERT_EQ(SaveReportCsv(form_->Report(), path), 0);
  EXPECT_EQ(ReadFile(path), Table(TableEncoding::kWindows1251));
}

}  // namespace
}  // namespace tw
