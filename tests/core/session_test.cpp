// The session without a window: a log in memory loaded through its files,
// reports run from choices, a row's records listed and the table written.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/report_kinds.h"
#include "fake_files.h"
#include "fake_platform.h"
#include "read_file.h"
#include "session/session.h"

namespace tw {
namespace {

constexpr const char* kFolder = "/program/";
constexpr const char* kLog = "/logs/site.example-access_log";

std::string Line(const char* ip, const char* day, const char* url, int status,
                 const char* referrer) {
  return std::string(ip) + " - - [" + day + "/Mar/2008:10:00:00 +0100] \"GET " + url +
         " HTTP/1.1\" " + std::to_string(status) + " 10 \"" + referrer + "\" \"Mozilla/5.0\"\n";
}

// The program's folder and one log, in memory.
testing::FakeFiles ProgramAndLog() {
  testing::FakeFiles files;
  files.files[std::string(kFolder) + "Language/English.lng"] = {
      testing::ReadFile(testing::TestBinaryFolder() + "Language/English.lng")};
  files.files[std::string(kFolder) + "crawlers.lst"] = {"Crawler/1.0\n"};
  files.files[std::string(kFolder) + "engines.lst"] = {"google;q=\n"};
  files.files[kLog] = {Line("10.0.0.1", "01", "/a.html", 200, "-") +
                        Line("10.0.0.2", "01", "/gone.html", 404, "http://x.example/links") +
                        Line("10.0.0.3", "02", "/gone.html", 404, "http://y.example/") +
                        Line("10.0.0.1", "02", "/a.html", 200, "http://www.google.com/search?q=cats") +
                        "not a log line\n"};
  return files;
}

class SessionTest : public ::testing::Test {
 protected:
  AnalysisChoice Choice(const char* kind) const {
    AnalysisChoice choice{FindReportKindByName(kind), {}};
    choice.selection.period = session_.PeriodAfterLoad();
    return choice;
  }

  testing::FakeFiles files_ = ProgramAndLog();
  Session session_{kFolder, files_};  // reads its lists from files_ as it is made
};

TEST_F(SessionTest, LoadsThroughItsFilesAndSaysWhatItRead) {
  const LoadOutcome loaded = session_.Load({kLog});
  ASSERT_EQ(loaded.kind, LoadOutcome::Kind::kLoaded) << loaded.message;
  EXPECT_EQ(loaded.error, "");
  EXPECT_EQ(session_.RecordCount(), 4);
  EXPECT_EQ(session_.Log()->rejected, 1);
  EXPECT_EQ(session_.Log()->site_name, "site.example");
  EXPECT_NE(files_.files.find(std::string(kLog) + ".err"), files_.files.end())
      << "the rejected line goes to the reject file in the same files";
  const std::vector<std::string> info = session_.InformationLines();
  ASSERT_GE(info.size(), 4u);
  EXPECT_EQ(info[0], "  Log: site.example-access_log");
  EXPECT_NE(info[3].find("01.03.2008 - 02.03.2008"), std::string::npos) << info[3];
}

TEST_F(SessionTest, EveryOutcomeOfALoad) {
  struct Case {
    const char* name;
    std::vector<std::string> paths;
    bool crawler_list;
    LoadOutcome::Kind kind;
    int records_after;
  };
  const Case cases[] = {
      {"a log", {kLog}, true, LoadOutcome::Kind::kLoaded, 4},
      {"a missing file", {"/logs/none"}, true, LoadOutcome::Kind::kLoaded, 0},
      {"no crawler list", {kLog}, false, LoadOutcome::Kind::kRefused, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!c.crawler_list) files_.files.erase(std::string(kFolder) + "crawlers.lst");
    const LoadOutcome outcome = session_.Load(c.paths);
    EXPECT_EQ(outcome.kind, c.kind);
    EXPECT_EQ(session_.RecordCount(), c.records_after);
    EXPECT_EQ(outcome.error.empty(), c.kind == LoadOutcome::Kind::kLoaded && c.records_after > 0);
    EXPECT_FALSE(outcome.message.empty());
  }
}

TEST_F(SessionTest, ReportsAreRunFromChoicesAlone) {
  ASSERT_EQ(session_.Load({kLog}).kind, LoadOutcome::Kind::kLoaded);
  struct Case {
    const char* kind;
    int request_filter;
    std::vector<std::string> labels;  // column 1 of the data rows
  };
  const Case cases[] = {
      {"pages", 3, {"/a.html", "/gone.html"}},
      {"not-found", 3, {"/gone.html"}},
      {"status", 3, {"200", "404"}},
      {"engines", 3, {"google"}},
      {"hour", 3, std::vector<std::string>(24)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    AnalysisChoice choice = Choice(c.kind);
    choice.selection.request_filter = c.request_filter;
    const ReportResult& result = session_.Analyse(choice);
    EXPECT_EQ(result.kind, choice.kind);
    EXPECT_EQ(result.subject, "http://site.example/  01.03.2008 - 31.03.2008");
    ASSERT_EQ(result.DataRows(), static_cast<int>(c.labels.size()));
    if (result.time_table) continue;
    for (int row = 1; row <= result.DataRows(); ++row) {
      EXPECT_EQ(result.Cell(1, row), c.labels[static_cast<std::size_t>(row - 1)]) << "row " << row;
    }
  }
}

// The details of a broken link list its requests, each with the page it came from.
TEST_F(SessionTest, DetailsOfAPageNotFoundListItsReferrers) {
  ASSERT_EQ(session_.Load({kLog}).kind, LoadOutcome::Kind::kLoaded);
  session_.Analyse(Choice("not-found"));
  const std::vector<const LogRecord*> listed = session_.Details(1);
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_STREQ(listed[0]->Referrer(), "http://x.example/links");
  EXPECT_STREQ(listed[1]->Referrer(), "http://y.example/");
  EXPECT_TRUE(session_.Details(2).empty()) << "the totals row lists nothing";
}

TEST_F(SessionTest, ClosingTheLogDropsTheReportWithIt) {
  ASSERT_EQ(session_.Load({kLog}).kind, LoadOutcome::Kind::kLoaded);
  session_.Analyse(Choice("pages"));
  ASSERT_FALSE(session_.Report().selected.empty());
  session_.CloseLog();
  EXPECT_EQ(session_.Log(), nullptr);
  EXPECT_TRUE(session_.Report().selected.empty());
  EXPECT_TRUE(session_.Report().rows.empty());
  EXPECT_EQ(session_.InformationLines()[0], "  Log: ");
  // With no log every report is the empty one of January 2008.
  const ReportResult& empty = session_.Analyse(Choice("day"));
  EXPECT_EQ(empty.DataRows(), 31);
}

}  // namespace
}  // namespace tw
