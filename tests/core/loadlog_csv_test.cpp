// Saving the statistics table as semicolon-separated text.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "base/csv_field.h"
#include "file_size_limit.h"
#include "report_fixture.h"

namespace tw {
namespace {

using testing::LogLine;
using testing::ReadFile;
using testing::WriteBytes;

// "для " in Windows-1251.
const std::string kFor = "\xE4\xEB\xFF ";

std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << "text after the last line end";
  return lines;
}

class CsvTest : public testing::ReportFixture {
 protected:
  std::string Save() {
    const std::string path = (dir_ / "table.csv").string();
    std::string error;
    EXPECT_TRUE(form_->WriteCsv(path, error)) << error;
    return ReadFile(path);
  }
};

TEST_F(CsvTest, EmptyTableGivesTitlesHeaderAndOneEmptyLine) {
  Load({});
  Run("pages");
  const std::string text = Save();
  EXPECT_EQ(text, form_->GroupBox4.Caption + "\r\n" + kFor + form_->Label8.Caption + "\r\n" +
                      "\"Requested page\";\"Hits\";\"Share\";\r\n" + "\"\";\"\";\"\";\r\n");
  EXPECT_EQ(form_->GroupBox4.Caption, " Statistics / Page popularity / requested pages ");
}

TEST_F(CsvTest, TableOfNRowsGivesNPlusFourLines) {
  Load({{.url = "/a.html"}, {.url = "/b.html"}, {.url = "/a.html"}});
  Run("pages");
  const std::vector<std::string> lines = SplitCrLf(Save());
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], " Statistics / Page popularity / requested pages ");
  EXPECT_EQ(lines[1], kFor + "http://site.example/  01.03.2008 - 31.03.2008");
  EXPECT_EQ(lines[2], "\"Requested page\";\"Hits\";\"Share\";");
  EXPECT_EQ(lines[3], "\"/a.html\";\"2\";\"66.67%\";");
  EXPECT_EQ(lines[4], "\"/b.html\";\"1\";\"33.33%\";");
  EXPECT_EQ(lines[5], "\"Total: 2 rows\";\"3\";\"100.00%\";");
}

TEST_F(CsvTest, QuoteInsideACellIsDoubled) {
  Load({{.agent = "Agent \"\"X\"\" 1.0"}});  // the log doubles the quote inside the field
  Run("browsers");
  const std::vector<std::string> lines = SplitCrLf(Save());
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[3], "\"Agent \"\"X\"\" 1.0\";\"1\";\"100.00%\";");
}

TEST_F(CsvTest, SavingOverAnExistingFileReplacesIt) {
  Load({{.url = "/a.html"}});
  Run("pages");
  const std::string path = (dir_ / "table.csv").string();
  WriteBytes(path, std::string(10000, '#'));
  platform_.save_answers.push_back(path);
  form_->FileSave1Execute();
  EXPECT_TRUE(platform_.messages.empty());
  const std::string text = ReadFile(path);
  EXPECT_EQ(SplitCrLf(text).size(), 5u);
  EXPECT_EQ(text.find('#'), std::string::npos);
}

TEST_F(CsvTest, CancelledSaveDialogWritesNothing) {
  Load({{.url = "/a.html"}});
  Run("pages");
  form_->FileSave1Execute();
  EXPECT_TRUE(platform_.messages.empty());
  EXPECT_FALSE(testing::report_fs::exists(dir_ / "table.csv"));
}

// A file that cannot be created, and one whose bytes cannot be written (the
// failure shows only when the buffered bytes are flushed at the close).
TEST_F(CsvTest, UnwritableFileIsReportedWithItsNameAndReason) {
  Load({{.url = "/a.html"}});
  Run("pages");
  const struct {
    std::string path;
    int reason;
  } cases[] = {
      {(dir_ / "no such folder" / "table.csv").string(), ENOENT},
      {"/dev/full", ENOSPC},
  };
  for (const auto& c : cases) {
    if (c.path == "/dev/full" && !testing::report_fs::exists(c.path)) continue;
    const std::string expected =
        "Could not save the table to " + c.path + ": " + std::strerror(c.reason);
    std::string error;
    EXPECT_FALSE(form_->WriteCsv(c.path, error)) << c.path;
    EXPECT_EQ(error, expected) << c.path;

    platform_.messages.clear();
    form_->ExportCsv(c.path);
    EXPECT_EQ(platform_.messages, std::vector<std::string>{expected}) << c.path;
  }
}

TEST(LooksLikeFormula, GuardsFormulaStartsButNotNumbersOrTheLoneDash) {
  const struct {
    std::string cell;
    bool guarded;
  } cases[] = {
      {"=1+2", true},
      {"=HYPERLINK(\"http://x\")", true},
      {"+cmd|' /C calc'!A0", true},
      {"-2+3", true},
      {"@SUM(A1:A2)", true},
      {"\tx", true},
      {"\r=1", true},
      {"-", false},
      {"--", true},
      {"-5", false},
      {"+5", false},
      {"12.50%", false},
      {"-12.50%", false},
      {"-0.5", false},
      {"-5.", true},     // a dot needs digits after it
      {"-.5", true},     // and before it
      {"-5%%", true},
      {"-5e3", true},
      {"- 5", true},
      {"+", true},
      {"@", true},
      {"=", true},
      {"", false},
      {"a=1", false},
      {" =1", false},
      {"/index.html", false},
      {"'=1", false},
      {"100.00%", false},
  };
  for (const auto& c : cases) EXPECT_EQ(LooksLikeFormula(c.cell), c.guarded) << "[" << c.cell << "]";
}

TEST(AppendCsvField, QuotesDoublesAndGuards) {
  const struct {
    std::string cell;
    std::string field;
  } cases[] = {
      {"", "\"\";"},
      {"/a;b\"c", "\"/a;b\"\"c\";"},
      {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\";"},
      {"-5", "\"-5\";"},
      {"-", "\"-\";"},
      {"line\r\nfeed", "\"line\r\nfeed\";"},
  };
  for (const auto& c : cases) {
    std::string line = "x";
    AppendCsvField(line, c.cell);
    EXPECT_EQ(line, "x" + c.field) << "[" << c.cell << "]";
  }
}

TEST(CsvTitleLine, StaysAsItIsUnlessItWouldBreakTheFile) {
  const struct {
    std::string text;
    std::string line;
  } cases[] = {
      {" Statistics / Page popularity ", " Statistics / Page popularity "},
      {kFor + "http://site.example/news", kFor + "http://site.example/news"},
      {kFor + "http://site.example/a;b", "\"" + kFor + "http://site.example/a;b\""},
      {kFor + "http://site.example/\n=1+2", "\"" + kFor + "http://site.example/\n=1+2\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"=1+2", "\"'=1+2\""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(CsvTitleLine(c.text), c.line) << "[" << c.text << "]";
}

TEST_F(CsvTest, FormulaLikeLabelsAreSavedAsText) {
  Load({{.agent = "=HYPERLINK(x)"}, {.agent = "@SUM(1)"}, {.agent = "-5"}, {.agent = "-"}});
  Run("browsers");
  const std::vector<std::string> lines = SplitCrLf(Save());
  ASSERT_EQ(lines.size(), 8u);
  const std::vector<std::string> labels(lines.begin() + 3, lines.end() - 1);
  for (const char* expected : {"\"'=HYPERLINK(x)\";", "\"'@SUM(1)\";", "\"-5\";", "\"-\";"}) {
    bool found = false;
    for (const std::string& l : labels) found = found || l.rfind(expected, 0) == 0;
    EXPECT_TRUE(found) << expected;
  }
}

// Names in the folder of `path` that are not `keep`, to catch a left temporary file.
std::vector<std::string> OtherFilesBeside(const testing::report_fs::path& path,
                                          const std::vector<std::string>& keep) {
  std::vector<std::string> others;
  for (const auto& entry : testing::report_fs::directory_iterator(path.parent_path())) {
    const std::string name = entry.path().filename().string();
    bool kept = false;
    for (const std::string& k : keep) kept = kept || name == k;
    if (!kept) others.push_back(name);
  }
  return others;
}

TEST_F(CsvTest, FailedSaveLeavesTheOldFileAndNoTemporaryFile) {
  std::vector<LogLine> lines;
  for (int i = 0; i < 300; ++i) lines.push_back({.url = "/page" + std::to_string(i) + ".html"});
  Load(lines);
  Run("pages");
  const auto target = dir_ / "saved" / "table.csv";
  testing::report_fs::create_directories(target.parent_path());
  const std::string old_bytes = "old;\"table\"\r\n" + std::string(20000, '#');
  WriteBytes(target, old_bytes);

  std::string error;
  {
    testing::FileSizeLimit limit(4096);  // the new table is larger
    ASSERT_TRUE(limit.ok());
    EXPECT_FALSE(form_->WriteCsv(target.string(), error));
  }
  EXPECT_EQ(error, "Could not save the table to " + target.string() + ": " + std::strerror(EFBIG));
  EXPECT_EQ(ReadFile(target), old_bytes);
  EXPECT_EQ(OtherFilesBeside(target, {"table.csv"}), std::vector<std::string>{});

  // The same save with room to write replaces the file and leaves nothing else.
  ASSERT_TRUE(form_->WriteCsv(target.string(), error)) << error;
  EXPECT_EQ(SplitCrLf(ReadFile(target)).size(), 304u);
  EXPECT_EQ(OtherFilesBeside(target, {"table.csv"}), std::vector<std::string>{});
}

TEST_F(CsvTest, FolderInThePlaceOfTheFileIsLeftAlone) {
  Load({{.url = "/a.html"}});
  Run("pages");
  const auto target = dir_ / "saved" / "table.csv";
  testing::report_fs::create_directories(target / "inside");
  std::string error;
  EXPECT_FALSE(form_->WriteCsv(target.string(), error));
  EXPECT_EQ(error, "Could not save the table to " + target.string() + ": " + std::strerror(EISDIR));
  EXPECT_TRUE(testing::report_fs::is_directory(target / "inside"));
  EXPECT_EQ(OtherFilesBeside(target, {"table.csv"}), std::vector<std::string>{});
}

TEST_F(CsvTest, ReplacedFileKeepsItsModeAndALinkStaysALink) {
  Load({{.url = "/a.html"}});
  Run("pages");
  namespace fs = testing::report_fs;
  const auto real = dir_ / "real.csv";
  const auto link = dir_ / "link.csv";
  WriteBytes(real, "old");
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink(real, link);

  std::string error;
  ASSERT_TRUE(form_->WriteCsv(link.string(), error)) << error;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(SplitCrLf(ReadFile(real)).size(), 5u);
  EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  // A new file gets what the umask allows, as any new file would.
  const mode_t old_mask = ::umask(027);
  const bool saved = form_->WriteCsv((dir_ / "new.csv").string(), error);
  ::umask(old_mask);
  ASSERT_TRUE(saved) << error;
  EXPECT_EQ(fs::status(dir_ / "new.csv").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

}  // namespace
}  // namespace tw
