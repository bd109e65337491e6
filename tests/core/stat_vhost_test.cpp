// The virtual hosts report through a session, each log loaded on one thread
// and in chunks on two: its rows, and each row's details.

#include <gtest/gtest.h>

#include <string>
#include <utility>
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

// A vhost_combined line, or a combined one when `host` is empty.
std::string Line(const std::string& host, const char* url = "/i.html",
                 const char* agent = "Mozilla/5.0", const char* date = "10/Mar/2008") {
  return (host.empty() ? host : host + " ") + "10.0.0.1 - - [" + date +
         ":12:00:00 +0100] \"GET " + url + " HTTP/1.1\" 200 10 \"-\" \"" + agent + "\"\n";
}

struct Case {
  const char* name;
  std::string log;
  const char* format = nullptr;  // an Apache format string; null: recognised
  int request_filter = 3;
  bool skip_crawlers = false;
  const char* section = "/";
  std::vector<std::pair<std::string, int>> rows;
};

testing::FakeFiles ProgramFiles() {
  testing::FakeFiles files;
  files.files[std::string(kFolder) + "Language/English.lng"] = {
      testing::ReadFile(testing::TestBinaryFolder() + "Language/English.lng")};
  files.files[std::string(kFolder) + "crawlers.lst"] = {"Crawler/1.0\n"};
  files.files[std::string(kFolder) + "engines.lst"] = {"google;q=\n"};
  return files;
}

TEST(VirtualHostsReportTest, RowsPerHostAndTheDetailsOfEachRow) {
  const Case cases[] = {
      {.name = "ports dropped",
       .log = Line("a.example:80") + Line("a.example:443") + Line("b.example:8080"),
       .rows = {{"a.example", 2}, {"b.example", 1}}},
      {.name = "letter case ignored, the first spelling kept",
       .log = Line("b.example:80") + Line("Shop.Example:80") + Line("shop.EXAMPLE:443") +
              Line("SHOP.example:80"),
       .rows = {{"Shop.Example", 3}, {"b.example", 1}}},
      {.name = "no virtual host: the site",
       .log = Line("") + Line("", "/b.html"),
       .rows = {{"site.example", 2}}},
      {.name = "period, pages only, no crawlers, one section",
       .log = Line("a.example:80", "/s/x.html") + Line("a.example:80", "/s/i.gif") +
              Line("b.example:80", "/s/y.html", "Crawler/1.0") + Line("c.example:80", "/t.html") +
              Line("d.example:80", "/s/w.html", "Mozilla/5.0", "10/Apr/2008") +
              Line("b.example:80", "/s/z.html"),
       .request_filter = 1,
       .skip_crawlers = true,
       .section = "/s",
       .rows = {{"a.example", 1}, {"b.example", 1}}},
      {.name = "custom format",
       .log = "10.0.0.1 [10/Mar/2008:12:00:00 +0100] \"GET / HTTP/1.1\" Shop.example\n"
              "10.0.0.1 [10/Mar/2008:12:00:00 +0100] \"GET / HTTP/1.1\" shop.EXAMPLE:8443\n",
       .format = R"(%h %t "%r" %v)",
       .rows = {{"Shop.example", 2}}},
  };
  testing::FakeFiles files = ProgramFiles();
  Session session(kFolder, files);
  for (const Case& c : cases) {
    for (const bool chunked : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (chunked ? ", in chunks" : ""));
      files.files[kLog] = {c.log};
      session.format.reset();
      LogFormat format;
      std::string error;
      if (c.format != nullptr && LogFormat::FromApacheString(c.format, format, error)) {
        session.format = format;
      }
      session.Load({kLog}, [chunked](LoadRequest& request) {
        request.threads = chunked ? 2 : 1;
        request.chunk_bytes = chunked ? 150 : 0;
      });
      ASSERT_EQ(session.Log()->rejected, 0);
      // The period after the load: March, the month of the middle record.
      const SelectionChoice selection{session.PeriodAfterLoad(), c.request_filter,
                                      c.skip_crawlers, c.section};
      const ReportResult& result = session.Analyse({FindReportKindByName("vhosts"), selection});
      std::vector<std::pair<std::string, int>> rows;
      for (const ReportRow& row : result.rows) rows.emplace_back(row.Label, row.Count);
      EXPECT_EQ(rows, c.rows);
      for (int row = 1; row <= result.DataRows(); ++row) {
        EXPECT_EQ(static_cast<int>(session.Details(row).size()), rows[row - 1].second) << row;
      }
    }
  }
}

}  // namespace
}  // namespace tw
