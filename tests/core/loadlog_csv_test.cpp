// Saving the statistics table as semicolon-separated text.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "report_fixture.h"

namespace tw {
namespace {

using testing::LogLine;
using testing::ReadBytes;
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
    return ReadBytes(path);
  }
};

TEST_F(CsvTest, EmptyTableGivesTitlesHeaderAndOneEmptyLine) {
  Load({});
  Run(4);
  const std::string text = Save();
  EXPECT_EQ(text, form_->GroupBox4.Caption + "\r\n" + kFor + form_->Label8.Caption + "\r\n" +
                      "\"Requested page\";\"Hits\";\"Share\";\r\n" + "\"\";\"\";\"\";\r\n");
  EXPECT_EQ(form_->GroupBox4.Caption, " Statistics / Page popularity / requested pages ");
}

TEST_F(CsvTest, TableOfNRowsGivesNPlusFourLines) {
  Load({{.url = "/a.html"}, {.url = "/b.html"}, {.url = "/a.html"}});
  Run(4);
  const std::vector<std::string> lines = SplitCrLf(Save());
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], " Statistics / Page popularity / requested pages ");
  EXPECT_EQ(lines[1], kFor + "http://site.example/");
  EXPECT_EQ(lines[2], "\"Requested page\";\"Hits\";\"Share\";");
  EXPECT_EQ(lines[3], "\"/a.html\";\"2\";\"66.67%\";");
  EXPECT_EQ(lines[4], "\"/b.html\";\"1\";\"33.33%\";");
  EXPECT_EQ(lines[5], "\"Total: 2 rows\";\"3\";\"100.00%\";");
}

TEST_F(CsvTest, QuoteInsideACellIsDoubled) {
  Load({{.agent = "Agent \"\"X\"\" 1.0"}});  // the log doubles the quote inside the field
  Run(14);
  const std::vector<std::string> lines = SplitCrLf(Save());
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[3], "\"Agent \"\"X\"\" 1.0\";\"1\";\"100.00%\";");
}

TEST_F(CsvTest, SavingOverAnExistingFileReplacesIt) {
  Load({{.url = "/a.html"}});
  Run(4);
  const std::string path = (dir_ / "table.csv").string();
  WriteBytes(path, std::string(10000, '#'));
  platform_.save_answers.push_back(path);
  form_->FileSave1Execute();
  EXPECT_TRUE(platform_.messages.empty());
  const std::string text = ReadBytes(path);
  EXPECT_EQ(SplitCrLf(text).size(), 5u);
  EXPECT_EQ(text.find('#'), std::string::npos);
}

TEST_F(CsvTest, CancelledSaveDialogWritesNothing) {
  Load({{.url = "/a.html"}});
  Run(4);
  form_->FileSave1Execute();
  EXPECT_TRUE(platform_.messages.empty());
  EXPECT_FALSE(testing::report_fs::exists(dir_ / "table.csv"));
}

// A file that cannot be created, and one whose bytes cannot be written (the
// failure shows only when the buffered bytes are flushed at the close).
TEST_F(CsvTest, UnwritableFileIsReportedWithItsNameAndReason) {
  Load({{.url = "/a.html"}});
  Run(4);
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

}  // namespace
}  // namespace tw
