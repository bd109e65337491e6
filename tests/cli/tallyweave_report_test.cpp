// Runs the tallyweave-report binary the way a script would, and checks that it
// writes exactly what File > Save writes for the same choices.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "analysis/report_kinds.h"
#include "base/cp1251.h"
#include "base/text_format.h"
#include "csv_reader.h"
#include "fake_platform.h"
#include "form/form.h"
#include "geo/find.h"
#include "read_file.h"
#include "temp_folder.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

struct RunResult {
  int status = -1;
  std::string out;
};

std::string Quote(const std::string& arg) {
  std::string q = "'";
  for (char c : arg) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Runs the tool with `args` (already quoted), standard error discarded.
RunResult RunReport(const std::string& args) {
  const std::string command =
      Quote(testing::TestBinaryFolder() + "tallyweave-report") + " " + args + " 2>/dev/null";
  RunResult result;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[65536];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.out.append(buffer, n);
  const int raw = pclose(pipe);
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return result;
}

// Runs the tool with `args` and returns what it wrote to standard error.
std::string ReportErrors(const std::string& args) {
  const std::string command = Quote(testing::TestBinaryFolder() + "tallyweave-report") + " " +
                              args + " 2>&1 >/dev/null";
  std::string text;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return text;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
  pclose(pipe);
  return text;
}

// Runs the tool with `args`, its output discarded, and gives its peak resident
// memory in KiB; *status is its exit status. -1 when it could not be run.
long PeakKilobytes(const std::vector<std::string>& args, int* status) {
  const std::string tool = testing::TestBinaryFolder() + "tallyweave-report";
  std::vector<char*> argv{const_cast<char*>(tool.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execv(tool.c_str(), argv.data());
    _exit(127);
  }
  int raw = 0;
  rusage usage{};
  if (pid < 0 || wait4(pid, &raw, 0, &usage) != pid) return -1;
  *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return usage.ru_maxrss;
}

using testing::ReadFile;

class TallyweaveReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder_.path().empty());
    dir_ = folder_.path();
    log_ = (dir_ / "www.example-shop.ru-access_log").string();
    fs::copy_file(TALLYWEAVE_SAMPLE_LOG, log_);
  }

  // What the window's File > Save writes after the same choices.
  std::string WindowCsv(const char* kind, int filter, bool crawlers, const std::string& section) {
    testing::FakePlatform platform;
    TSDIAppForm form(platform);
    form.LoadLog(log_);
    form.CheckReportButton(FindReportKindByName(kind));
    form.CheckRequestButton(filter);
    form.RadioButton14Click();
    form.CheckBox1.Checked = !crawlers;
    if (!section.empty()) {
      EXPECT_TRUE(form.SelectSectionByPath(section)) << section;
    }
    form.RunAnalysis();
    const fs::path csv = dir_ / "window.csv";
    std::string error;
    EXPECT_TRUE(form.WriteCsv(csv.string(), error)) << error;
    return ReadFile(csv);
  }

  testing::TempFolder folder_;
  fs::path dir_;
  std::string log_;
};

TEST_F(TallyweaveReportTest, WritesWhatFileSaveWritesForTheSameChoices) {
  struct Case {
    const char* args;
    const char* kind;
    int filter;
    bool crawlers;
    const char* section;
  };
  const Case cases[] = {
      {"", "day", 1, false, ""},
      {"--report hour", "hour", 1, false, ""},
      {"--report weekday --requests all", "weekday", 3, false, ""},
      {"--report pages --requests no-graphics", "pages", 2, false, ""},
      {"--report status --requests all --crawlers", "status", 3, true, ""},
      {"--report addresses", "addresses", 1, false, ""},
      {"--report browsers --crawlers", "browsers", 1, true, ""},
      {"--report domains --requests all", "domains", 3, false, ""},
      {"--report referrers", "referrers", 1, false, ""},
      {"--report catalogues", "catalogues", 1, false, ""},
      {"--report engines", "engines", 1, false, ""},
      {"--report phrases --requests all", "phrases", 3, false, ""},
      {"--report pages --section /catalog", "pages", 1, false, "/catalog"},
      {"--report not-found --requests all", "not-found", 3, false, ""},
      {"--report vhosts --crawlers", "vhosts", 1, true, ""},
  };
  for (const Case& c : cases) {
    const RunResult run = RunReport(std::string(c.args) + " " + Quote(log_));
    EXPECT_EQ(run.status, 0) << c.args;
    EXPECT_EQ(run.out, WindowCsv(c.kind, c.filter, c.crawlers, c.section)) << c.args;
  }
}

// With its database the location report is the window's; without it the tool
// says what to install and exits with 2, whatever this machine has.
TEST_F(TallyweaveReportTest, LocationReportsNeedTheirDatabase) {
  const std::unique_ptr<GeoSource> source =
      FindGeoSource(DefaultGeoSearch(testing::TestBinaryFolder()));
  struct Case {
    const char* name;
    const char* kind;
    const char* advice;
  };
  const Case cases[] = {{"countries", "countries", "geoip-database"}, {"cities", "cities", "GeoLite2-City.mmdb"}};
  for (const Case& c : cases) {
    const std::string args = std::string("--report ") + c.name + " " + Quote(log_);
    const RunResult run = RunReport(args);
    if (GeoLevelAvailable(source.get(), FindReportKindByName(c.name)->Places)) {
      EXPECT_EQ(run.status, 0) << c.name;
      EXPECT_EQ(run.out, WindowCsv(c.kind, 1, false, "")) << c.name;
    } else {
      EXPECT_EQ(run.status, 2) << c.name;
      EXPECT_EQ(run.out, "") << c.name;
      EXPECT_NE(ReportErrors(args).find(c.advice), std::string::npos) << c.name;
    }
  }
}

TEST_F(TallyweaveReportTest, WritesToTheOutputFileWhenAsked) {
  const fs::path out = dir_ / "out.csv";
  const RunResult run = RunReport("--report hour --output " + Quote(out.string()) + " " + Quote(log_));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(ReadFile(out), WindowCsv("hour", 1, false, ""));
}

// UTF-8 is the same table with every text as written: a file begins with the
// byte-order mark that spreadsheets look for, standard output has none.
TEST_F(TallyweaveReportTest, WritesTheTableInUtf8WhenAsked) {
  const std::string legacy = WindowCsv("pages", 1, false, "");
  const std::string utf8 = Cp1251ToUtf8(legacy);
  ASSERT_NE(utf8, legacy) << "the title has Cyrillic to convert";
  const fs::path out = dir_ / "utf8.csv";
  const RunResult to_stdout = RunReport("--report pages --encoding utf-8 " + Quote(log_));
  const RunResult to_file =
      RunReport("--report pages --encoding utf-8 --output " + Quote(out.string()) + " " + Quote(log_));
  const RunResult named_default = RunReport("--report pages --encoding windows-1251 " + Quote(log_));
  EXPECT_EQ(to_stdout.status, 0);
  EXPECT_EQ(to_stdout.out, utf8);
  EXPECT_EQ(to_file.status, 0);
  EXPECT_EQ(ReadFile(out), "\xEF\xBB\xBF" + utf8);
  EXPECT_EQ(named_default.out, legacy);
}

// The rows of a legacy table: below its two title lines and column titles,
// above its totals, each cell read back and made UTF-8.
std::vector<std::vector<std::string>> LegacyRows(const std::string& csv) {
  bool ok = false;
  std::vector<std::vector<std::string>> rows = testing::ReadCsv(csv, ';', ok);
  EXPECT_TRUE(ok);
  if (rows.size() < 4) return {};
  rows.erase(rows.begin(), rows.begin() + 3);
  rows.pop_back();
  for (auto& row : rows) {
    for (std::string& cell : row) cell = Cp1251ToUtf8(cell);
  }
  return rows;
}

// JSON's text as the tables write it: a formula-looking one after an apostrophe.
std::string AsCell(const std::string& label) {
  const char first = label.empty() ? ' ' : label[0];
  const bool risky = std::string("=+-@\t\r").find(first) != std::string::npos && label != "-";
  return risky && label.find_first_not_of("+-0123456789.%") != std::string::npos ? "'" + label : label;
}

// Every kind's JSON rows are its legacy table's rows, and its CSV and TSV the
// same rows again, read back by a reader of their own.
TEST_F(TallyweaveReportTest, JsonCsvAndTsvGiveTheLegacyTablesRowsForEveryKind) {
  const RunResult all = RunReport("--report all --as json " + Quote(log_));
  ASSERT_EQ(all.status, 0);
  const nlohmann::json doc = nlohmann::json::parse(all.out);
  EXPECT_EQ(doc["program"], "Quelmark Tallyweave");
  EXPECT_EQ(doc["records"].get<std::int64_t>(), doc["logs"][0]["records"].get<std::int64_t>());
  ASSERT_GE(doc["reports"].size(), 14u) << "every kind but those needing a location database";
  for (const nlohmann::json& report : doc["reports"]) {
    const std::string kind = report["report"];
    const auto legacy = LegacyRows(RunReport("--report " + kind + " " + Quote(log_)).out);
    bool ok = false;
    const auto csv = testing::ReadCsv(RunReport("--report " + kind + " --as csv " + Quote(log_)).out, ',', ok);
    EXPECT_TRUE(ok) << kind;
    const auto tsv = testing::ReadCsv(RunReport("--report " + kind + " --as tsv " + Quote(log_)).out, '\t', ok);
    const nlohmann::json& rows = report["rows"];
    ASSERT_EQ(legacy.size(), rows.size()) << kind;
    ASSERT_EQ(csv.size(), rows.size() + 1) << kind;
    ASSERT_EQ(tsv.size(), rows.size() + 1) << kind;
    EXPECT_EQ(csv[0].size(), report["columns"].size()) << kind;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const nlohmann::json& row = rows[i];
      const std::string label = AsCell(row["label"].get<std::string>());
      const bool time = row.contains("visits");
      EXPECT_EQ(legacy[i][0], label) << kind << " row " << i;
      EXPECT_EQ(csv[i + 1][0], label) << kind << " row " << i;
      EXPECT_EQ(legacy[i][1], std::to_string(row["hits"].get<long long>())) << kind << " row " << i;
      EXPECT_EQ(csv[i + 1][1], legacy[i][1]) << kind << " row " << i;
      EXPECT_EQ(tsv[i + 1][1], legacy[i][1]) << kind << " row " << i;
      if (time) {
        EXPECT_EQ(legacy[i][4], std::to_string(row["visits"].get<long long>())) << kind;
        EXPECT_EQ(csv[i + 1][4], legacy[i][4]) << kind;
      } else {
        const double share = row["share"].get<double>();
        EXPECT_EQ(legacy[i][2], FormatText("%.2f%", {share * 100.0})) << kind << " row " << i;
        EXPECT_EQ(csv[i + 1][2], FormatText("%.4f", {share})) << kind << " row " << i;
      }
    }
  }
}

// Runs `command`; its standard output, or nullopt when it could not run or failed.
std::optional<std::string> Output(const std::string& command) {
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return std::nullopt;
  std::string out;
  char buffer[65536];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  if (pclose(pipe) != 0) return std::nullopt;
  return out;
}

bool HaveCommand(const char* name) {
  return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

// The page of every report is valid HTML5 that asks for nothing outside it,
// and a real browser shows every report's section and every row of its table.
TEST_F(TallyweaveReportTest, HtmlReportIsValidSelfContainedAndShowsEveryRowInABrowser) {
  const fs::path page = dir_ / "report.html";
  ASSERT_EQ(RunReport("--report all --as html --output " + Quote(page.string()) + " " + Quote(log_)).status, 0);
  const std::string html = ReadFile(page);
  for (const char* outside : {" src=", "<link", "href=\"http", "url(", "@import"}) {
    EXPECT_EQ(html.find(outside), std::string::npos) << outside;
  }
  if (HaveCommand("tidy")) {
    const auto errors = Output("tidy -errors -q " + Quote(page.string()) + " 2>&1");
    EXPECT_TRUE(errors.has_value() && errors->empty()) << errors.value_or("tidy failed");
  } else {
    std::cerr << "tidy is not installed: the page's validity is not checked\n";
  }
  const char* browser = HaveCommand("chromium") ? "chromium" : nullptr;
  if (browser == nullptr) GTEST_SKIP() << "chromium is not installed (scripts/setup.sh installs it)";
  const auto dom = Output(std::string(browser) + " --headless --no-sandbox --disable-gpu --user-data-dir=" +
                          Quote((dir_ / "profile").string()) + " --dump-dom " +
                          Quote("file://" + page.string()) + " 2>/dev/null");
  ASSERT_TRUE(dom.has_value());
  for (const ReportKindInfo& kind : kReportKinds) {
    if (kind.Places != GeoLevel::kNone) continue;  // without a location database they are left out
    EXPECT_NE(dom->find("id=\"r-" + std::string(kind.CliName) + "\""), std::string::npos) << kind.CliName;
    for (const auto& row : LegacyRows(RunReport(std::string("--report ") + kind.CliName + " " + Quote(log_)).out)) {
      std::string cells;
      for (std::size_t c = 0; c + 1 < row.size(); ++c) {
        std::string cell;
        for (const char ch : row[c]) cell += ch == '&' ? "&amp;" : ch == '<' ? "&lt;" : ch == '>' ? "&gt;" : std::string(1, ch);
        cells += "<td>" + cell + "</td>";
      }
      EXPECT_NE(dom->find(cells), std::string::npos) << kind.CliName << ": " << cells;
    }
  }
}

TEST_F(TallyweaveReportTest, BadUsageExitsWithStatusTwo) {
  const std::string log = Quote(log_);
  const char* bad[] = {
      "",                                    // no log
      "--report cities LOG",                 // a report that does not exist
      "--requests images LOG",               // a request kind that does not exist
      "--report",                            // an option without its value
      "--frobnicate LOG",                    // an unknown option
      "--format apache LOG",                 // a format name that does not exist
      "--format '%h %Z' LOG",                // a LogFormat the tool cannot read
      "--section /no/such/section LOG",      // a section the tree does not have
      "--encoding latin-1 LOG",              // an encoding the tool does not write
      "--as xml LOG",                        // an output format the tool does not write
      "--report all LOG",                    // every report, but not in one document
      "--report all --as csv LOG",
      "--report all --as tsv LOG",
      "--as json --encoding utf-8 LOG",      // an encoding for the legacy table only
  };
  for (std::string args : bad) {
    for (std::size_t at; (at = args.find("LOG")) != std::string::npos;) args.replace(at, 3, log);
    EXPECT_EQ(RunReport(args).status, 2) << args;
  }
}

// A small log from 30 December 2012 to 2 March 2013; its middle record is of February 2013.
std::string PeriodLog() {
  std::string log;
  for (const char* day : {"30/Dec/2012", "31/Dec/2012", "01/Jan/2013", "27/Feb/2013",
                          "28/Feb/2013", "01/Mar/2013", "02/Mar/2013"}) {
    log += std::string("192.0.2.1 - - [") + day +
           ":10:00:00 +0000] \"GET /a.html HTTP/1.0\" 200 10 \"-\" \"Mozilla/5.0\"\n";
  }
  return log;
}

std::vector<std::string> CsvLines(const std::string& csv) {
  std::vector<std::string> lines;
  for (std::size_t at = 0, end; (end = csv.find("\r\n", at)) != std::string::npos; at = end + 2) {
    lines.push_back(csv.substr(at, end - at));
  }
  return lines;
}

TEST_F(TallyweaveReportTest, PeriodOptionsChooseTheDaysOfTheByDayReport) {
  const fs::path log = dir_ / "period.log";
  std::ofstream(log, std::ios::binary) << PeriodLog();
  struct Case {
    const char* args;
    const char* period;  // as the title line shows it
    int rows;
    int hits;
  };
  const Case cases[] = {
      {"", "01.02.2013 - 28.02.2013", 28, 2},
      {"--month 2013-02", "01.02.2013 - 28.02.2013", 28, 2},
      {"--month 2012-12", "01.12.2012 - 31.12.2012", 31, 2},
      {"--from 2013-02-28", "28.02.2013 - 02.03.2013", 3, 3},  // to the latest day
      {"--to 2012-12-31", "30.12.2012 - 31.12.2012", 2, 2},    // from the earliest day
      {"--from 2012-12-31 --to 2013-01-01", "31.12.2012 - 01.01.2013", 2, 2},
      {"--from 2013-03-01 --to 2013-03-01", "01.03.2013 - 01.03.2013", 1, 1},
      {"--month 2020-05", "01.05.2020 - 31.05.2020", 31, 0},  // outside the log: nothing
      {"--from 2020-01-01", "01.01.2020 - 02.03.2013", 0, 0},
  };
  for (const Case& c : cases) {
    const RunResult run = RunReport(std::string(c.args) + " " + Quote(log.string()));
    ASSERT_EQ(run.status, 0) << c.args;
    const std::vector<std::string> lines = CsvLines(run.out);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(c.rows) + 4) << c.args;
    const std::string period = c.period;
    EXPECT_EQ(lines[1].substr(lines[1].size() - period.size()), period) << c.args;
    if (c.rows == 0) continue;  // the empty table: one empty row, no totals
    EXPECT_NE(lines.back().find(";\"" + std::to_string(c.hits) + "\";"), std::string::npos)
        << c.args << ": " << lines.back();
  }
}

TEST_F(TallyweaveReportTest, BadPeriodOptionsExitWithStatusTwo) {
  const std::string log = Quote(log_);
  const char* bad[] = {
      "--month 2013-02 --from 2013-02-01", "--month 2013-02 --to 2013-02-01",
      "--from 2013-03-05 --to 2013-03-01", "--month 2013-2", "--month 2013-13",
      "--from 2013-02-30", "--from 05.03.2013", "--to 2013-03-5x", "--from",
  };
  for (const char* args : bad) {
    EXPECT_EQ(RunReport(std::string(args) + " " + log).status, 2) << args;
  }
}

TEST_F(TallyweaveReportTest, PackedOrCutLogsGiveTheCsvOfTheWholeLog) {
  const std::string whole = ReadFile(log_);
  const std::size_t middle = whole.find('\n', whole.size() / 2) + 1;
  const std::string first = (dir_ / "www.example-shop.ru-access_log.2").string();
  const std::string second = (dir_ / "www.example-shop.ru-access_log.1").string();
  std::ofstream(first, std::ios::binary) << whole.substr(0, middle);
  std::ofstream(second, std::ios::binary) << whole.substr(middle);
  ASSERT_EQ(std::system(("gzip -k " + Quote(log_)).c_str()), 0);
  const std::string expected = WindowCsv("pages", 3, false, "");
  const std::string cases[] = {
      Quote(log_ + ".gz"),
      Quote(second) + " " + Quote(first),  // newest first: read oldest first all the same
      "--format combined " + Quote(log_),
  };
  for (const std::string& logs : cases) {
    const RunResult run = RunReport("--report pages --requests all " + logs);
    EXPECT_EQ(run.status, 0) << logs;
    EXPECT_EQ(run.out, expected) << logs;
  }
}

TEST_F(TallyweaveReportTest, BrokenLogStillWritesItsCsvAndExitsWithOne) {
  ASSERT_EQ(std::system(("gzip -k " + Quote(log_)).c_str()), 0);
  const std::string packed = ReadFile(log_ + ".gz");
  const std::string cut = (dir_ / "cut.gz").string();
  std::ofstream(cut, std::ios::binary) << packed.substr(0, packed.size() / 2);
  const RunResult run = RunReport(Quote(cut));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out, "");
  const std::string errors = ReportErrors(Quote(cut));
  EXPECT_NE(errors.find(cut + " ends inside its compressed data at byte "), std::string::npos)
      << errors;
}

TEST_F(TallyweaveReportTest, ALogOrOutputThatCannotBeUsedExitsWithStatusOne) {
  EXPECT_EQ(RunReport(Quote((dir_ / "missing.log").string())).status, 1);
  EXPECT_EQ(RunReport(Quote(dir_.string())).status, 1) << "a folder";
  const fs::path fifo = dir_ / "fifo.log";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(RunReport(Quote(fifo.string())).status, 1) << "a FIFO is refused, never waited on";
  const fs::path unwritable = dir_ / "no-such-folder" / "out.csv";
  EXPECT_EQ(RunReport("--output " + Quote(unwritable.string()) + " " + Quote(log_)).status, 1);
}

// What a crash leaves in a log, a run of zero bytes where blocks were reserved
// and never written, costs no memory by its length, here before the lines that
// tell the format: the report is the one of the lines alone.
TEST_F(TallyweaveReportTest, ARunOfZeroBytesLoadsInMemoryIndependentOfItsLength) {
  constexpr std::uintmax_t kZeros = std::uintmax_t{96} << 20;
  fs::create_directory(dir_ / "crashed");
  const fs::path crashed = dir_ / "crashed" / "www.example-shop.ru-access_log";
  {
    std::ofstream(crashed, std::ios::binary).flush();
    fs::resize_file(crashed, kZeros);  // sparse: no disk for the zeros
    std::ofstream(crashed, std::ios::binary | std::ios::app) << "\n" + ReadFile(log_);
  }
  int status = -1;
  const long plain = PeakKilobytes({"--report", "status", log_}, &status);
  ASSERT_EQ(status, 0);
  const long zeros = PeakKilobytes({"--report", "status", crashed.string()}, &status);
  ASSERT_EQ(status, 0);
  EXPECT_LT(zeros, plain + 16 * 1024) << "peak KiB: " << plain << " for the lines alone";
  EXPECT_EQ(RunReport("--report status " + Quote(crashed.string())).out,
            RunReport("--report status " + Quote(log_)).out);
  EXPECT_EQ(fs::file_size(crashed.string() + ".err"), kZeros + 1 + fs::file_size(log_ + ".err"))
      << "every zero in the reject file";
}

// The CSV goes straight to standard output; a write it refuses is a failure.
TEST_F(TallyweaveReportTest, StandardOutputThatRefusesTheCsvExitsWithStatusOne) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  const std::string command = Quote(testing::TestBinaryFolder() + "tallyweave-report") +
                              " --report pages " + Quote(log_) + " >/dev/full 2>/dev/null";
  const int raw = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(raw));
  EXPECT_EQ(WEXITSTATUS(raw), 1);
}

}  // namespace
}  // namespace tw
