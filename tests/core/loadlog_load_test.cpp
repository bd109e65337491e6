#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <new>
#include <optional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "analysis/report_kinds.h"
#include "base/huge_block.h"
#include "fake_files.h"
#include "form/form.h"
#include "load/line_reader.h"
#include "load/sample.h"
#include "loadlog_fixture.h"
#include "log/record_array.h"
#include "log/string_pool.h"
#include "parse/crawlers.h"

namespace tw {
namespace {

using loadlog_testing::GoodLine;
using loadlog_testing::LoadLogTest;
using testing::ReadFile;
using testing::TempFolder;
using loadlog_testing::WriteFile;
namespace fs = std::filesystem;

TEST_F(LoadLogTest, AcceptsEveryGoodLine) {
  const std::string path = Log("Site.Example-access_log", GoodLine("01/Mar/2008", "/a.html") +
                                                              GoodLine("15/Mar/2008", "/b.html") +
                                                              GoodLine("31/Mar/2008", "/a.html"));
  form_->CheckReportButton(FindReportKindByName("pages"));
  form_->CheckRequestButton(3);
  form_->RequestFilter = 3;
  form_->LoadLog(path);

  ASSERT_NE(form_->Records(), nullptr);
  EXPECT_EQ(form_->RecordCount(), 3);
  EXPECT_EQ(form_->Records()->Count(), 3);
  EXPECT_EQ(form_->RejectedCount(), 0);
  EXPECT_EQ(static_cast<std::int32_t>(form_->Crawlers().size()), 2);
  EXPECT_EQ(form_->Memo3, (std::vector<std::string>{"  Log: Site.Example-access_log",
                                                   "  Records: 3", "  Rejected: 0",
                                                   "  Period: 01.03.2008 - 31.03.2008"}));
  EXPECT_EQ(form_->Caption, path + " - Quelmark Tallyweave");
  EXPECT_EQ(platform_.messages, std::vector<std::string>{"Done\nRejected: 0"});
  EXPECT_EQ(form_->SiteName(), "site.example");
  EXPECT_FALSE(fs::exists(path + ".err")) << "no rejected line, no reject file";
  EXPECT_EQ(form_->StatusText, "");
  EXPECT_EQ(form_->RequestFilter, 1);
  EXPECT_TRUE(form_->ReportButton(*FindReportKindByButton("RadioButton1")).Checked);
  EXPECT_FALSE(form_->ReportButton(*FindReportKindByButton("RadioButton4")).Checked);
  EXPECT_TRUE(form_->RadioButton14.Checked);
  EXPECT_FALSE(form_->RadioButton16.Checked);
  ASSERT_NE(form_->TreeView1.Root, nullptr) << "the tree is rebuilt";
  EXPECT_EQ(form_->TreeView1.Root->Children.size(), 2u);
}

TEST_F(LoadLogTest, RejectFileHoldsEveryRejectedPieceAsRead) {
  const std::string rejected = std::string("garbage line\r\n") + "\n" + "\r\n" +
                               std::string("\0starts with zero\n", 18) + "a b c\n" +
                               "tail without line end";
  const std::string path =
      Log("mixed.log", GoodLine("01/Mar/2008", "/a", "\r\n") + "garbage line\r\n" + "\n" +
                           "\r\n" + GoodLine("02/Mar/2008") + std::string("\0starts with zero\n", 18) +
                           "a b c\n" + "tail without line end");
  form_->LoadLog(path);

  EXPECT_EQ(form_->RecordCount(), 2);
  EXPECT_EQ(form_->RejectedCount(), 6);
  EXPECT_EQ(ReadFile(path + ".err"), rejected);
  EXPECT_EQ(form_->Memo3[2], "  Rejected: 6");
  EXPECT_EQ(platform_.messages, std::vector<std::string>{"Done\nRejected: 6\n  empty line: 3\n"
                                                         "  wrong number of fields: 3"});
  ASSERT_NE(form_->Records(), nullptr);
  EXPECT_STREQ((*form_->Records())[0]->Url(), "/a") << "a CR LF line is accepted";
}

TEST_F(LoadLogTest, ClosingMessageIsOneFormatOfBothTextsCutAt1023) {
  struct Case {
    std::string mes2, mes3, expected;
  };
  // The reasons follow the counts, each a text of its own.
  const std::string kReason = "\n  wrong number of fields: 1";
  const Case cases[] = {
      {"Done", "Rejected: %d", "Done\nRejected: 1" + kReason},
      // The one argument goes to the first conversion, wherever it stands.
      {"Loaded, %d rejected (100%%)", "See %d", "Loaded, 1 rejected (100%)\nSee %d" + kReason},
      {std::string(2000, 'x'), "%d", std::string(1023, 'x') + kReason},
  };
  for (const Case& c : cases) {
    WriteFile(dir_.path() / "Language" / "English.lng", "mes2=" + c.mes2 + "\nmes3=" + c.mes3 + "\n");
    form_ = std::make_unique<TSDIAppForm>(platform_);
    platform_.form = form_.get();
    platform_.messages.clear();
    form_->LoadLog(Log("message.log", GoodLine("01/Mar/2008") + "bad line\n"));
    ASSERT_EQ(platform_.messages.size(), 1u) << c.mes2;
    EXPECT_EQ(platform_.messages[0], c.expected) << c.mes2;
  }
}

TEST_F(LoadLogTest, LastLineWithoutLineEndIsParsed) {
  const std::string path = Log("x.log", GoodLine("01/Mar/2008") + GoodLine("02/Mar/2008", "/z", ""));
  form_->LoadLog(path);
  EXPECT_EQ(form_->RecordCount(), 2);
  EXPECT_EQ(form_->RejectedCount(), 0);
  EXPECT_STREQ((*form_->Records())[1]->Url(), "/z");
}

// Old Mac line ends: each line a record, none taken for extra fields.
TEST_F(LoadLogTest, BareCrLineEndsEndLines) {
  const std::string path = Log("mac.log", GoodLine("01/Mar/2008", "/a", "\r") +
                                              GoodLine("02/Mar/2008", "/b", "\r") + "bad line\r");
  form_->LoadLog(path);
  EXPECT_EQ(form_->RecordCount(), 2);
  EXPECT_EQ(form_->RejectedCount(), 1);
  EXPECT_EQ(form_->Log()->files.at(0).format.Label(), "combined");
  EXPECT_EQ(ReadFile(path + ".err"), "bad line\r");
}

TEST_F(LoadLogTest, LongLineCountsOncePerPieceAndIsWrittenWhole) {
  const std::string long_line = std::string(20000, 'x') + "\n";
  const std::string path = Log("long.log", GoodLine("01/Mar/2008") + long_line);
  form_->LoadLog(path);
  EXPECT_EQ(form_->RecordCount(), 1);
  EXPECT_EQ(form_->RejectedCount(), 3);
  EXPECT_EQ(ReadFile(path + ".err"), long_line);
}

TEST_F(LoadLogTest, FileThatCannotBeOpenedLoadsNothingSaysWhyAndKeepsRejectFile) {
  form_->LoadLog(Log("site.example-access_log", GoodLine("01/Mar/2008")));
  platform_.messages.clear();
  const std::string path = (dir_.path() / "missing.log").string();
  WriteFile(path + ".err", "old\n");

  form_->LoadLog(path);

  EXPECT_EQ(ReadFile(path + ".err"), "old\n");
  const std::string why = "Could not open " + path + ": No such file or directory";
  EXPECT_EQ(platform_.messages, std::vector<std::string>{why});
  EXPECT_EQ(form_->LoadError, why);
  EXPECT_EQ(form_->Memo3, (std::vector<std::string>{"  Log: missing.log", "  Records: 0",
                                                   "  Rejected: 0"}));
  EXPECT_EQ(form_->Caption, "Quelmark Tallyweave");
  EXPECT_EQ(form_->SiteName(), "");
  ASSERT_NE(form_->Records(), nullptr) << "an unreadable log loads like an empty one";
  EXPECT_EQ(form_->Records()->Count(), 0);
  EXPECT_EQ(form_->RecordCount(), 0);
  EXPECT_EQ(form_->SelectedCount(), 0);
}

TEST_F(LoadLogTest, EmptyFileGivesNoRecords) {
  const std::string path = Log("empty.log", "");
  form_->LoadLog(path);
  EXPECT_EQ(form_->RecordCount(), 0);
  ASSERT_NE(form_->Records(), nullptr);
  EXPECT_EQ(form_->Records()->Count(), 0);
  ASSERT_NE(form_->TreeView1.Root, nullptr) << "the tree shows its root alone";
  EXPECT_TRUE(form_->TreeView1.Root->Children.empty());
  EXPECT_EQ(platform_.messages, std::vector<std::string>{"No records"});
  EXPECT_FALSE(fs::exists(path + ".err"));
  EXPECT_EQ(form_->StatusText, "");
  for (const DatePicker* picker : {&form_->DateTimePicker1, &form_->DateTimePicker2}) {
    EXPECT_FALSE(picker->Enabled);
    EXPECT_FALSE(picker->HasMinDate);
    EXPECT_EQ(picker->Date, platform_.today);
    EXPECT_EQ(picker->MaxDate, (CalendarDate{2054, 4, 24})) << "today + 10000 days";
  }
}

TEST_F(LoadLogTest, MissingCrawlerListLoadsNothingAndDropsTheReport) {
  form_->LoadLog(Log("site.example-access_log", GoodLine("01/Mar/2008")));
  form_->CheckReportButton(FindReportKindByName("pages"));
  form_->RunAnalysis();
  ASSERT_EQ(form_->SelectedCount(), 1);
  platform_.messages.clear();
  fs::remove(dir_.path() / "crawlers.lst");

  const std::string path = Log("other.log", GoodLine("05/Mar/2008"));
  form_->LoadLog(path);

  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(platform_.messages[0], "Could not open " + (dir_.path() / "crawlers.lst").string() +
                                       ": No such file or directory");
  EXPECT_EQ(form_->Records(), nullptr);
  EXPECT_EQ(form_->RecordCount(), 0);
  EXPECT_EQ(form_->UrlPool(), nullptr);
  EXPECT_EQ(form_->UserAgentPool(), nullptr);
  EXPECT_TRUE(form_->Crawlers().empty());
  EXPECT_EQ(form_->SelectedCount(), 0);
  EXPECT_TRUE(form_->Report().selected.empty());
  EXPECT_EQ(form_->Memo3, idle_memo_);
  EXPECT_EQ(form_->Caption, "Quelmark Tallyweave");
  EXPECT_EQ(form_->TreeView1.Root, nullptr);
  EXPECT_EQ(form_->SiteName(), "");
  EXPECT_FALSE(fs::exists(path + ".err"));
  EXPECT_EQ(form_->LoadError, platform_.messages[0]);

  WriteFile(dir_.path() / "crawlers.lst", "Crawler/1.0\n");
  form_->LoadLog(path);
  EXPECT_EQ(form_->RecordCount(), 1) << "the next load works again";
  EXPECT_EQ(form_->LoadError, "");
}

TEST_F(LoadLogTest, LoadingTwiceGivesSameRecordsAndOnlyLastRejects) {
  const std::string content =
      GoodLine("01/Mar/2008", "/a") + "bad one\n" + GoodLine("02/Mar/2008", "/b") + "bad two\n";
  const std::string path = Log("twice.log", content);
  form_->LoadLog(path);
  std::vector<std::string> first;
  for (int i = 0; i < form_->RecordCount(); ++i) {
    first.push_back(std::string((*form_->Records())[i]->Url()) + " " +
                    FormatLogTime((*form_->Records())[i]->LogTime));
  }

  form_->LoadLog(path);
  std::vector<std::string> second;
  for (int i = 0; i < form_->RecordCount(); ++i) {
    second.push_back(std::string((*form_->Records())[i]->Url()) + " " +
                     FormatLogTime((*form_->Records())[i]->LogTime));
  }
  EXPECT_EQ(first, second);
  EXPECT_EQ(first.size(), 2u);
  EXPECT_EQ(form_->RejectedCount(), 2);
  EXPECT_EQ(ReadFile(path + ".err"), "bad one\nbad two\n");

  WriteFile(path, GoodLine("01/Mar/2008"));
  form_->LoadLog(path);
  EXPECT_FALSE(fs::exists(path + ".err")) << "a load without rejects leaves no old reject file";
}

TEST_F(LoadLogTest, StatusTextReaches100PercentThenClears) {
  const std::string path = Log("p.log", GoodLine("01/Mar/2008") + "bad\n" + GoodLine("02/Mar/2008"));
  form_->LoadLog(path);
  EXPECT_EQ(platform_.status_at_message, std::vector<std::string>{"Loading " + path + ": 100%"});
  EXPECT_EQ(form_->StatusText, "");
}

TEST_F(LoadLogTest, PickersSpanTheLogsCalendarDatesAndShowTheAnalysedMonth) {
  struct Case {
    const char* name;
    std::string first, last;
    const char* period;
    CalendarDate earliest, latest, from, to;
  } cases[] = {
      {"in order", "01/Mar/2008", "31/Mar/2008", "01.03.2008 - 31.03.2008", {2008, 3, 1},
       {2008, 3, 31}, {2008, 3, 1}, {2008, 3, 31}},
      {"reversed", "31/Mar/2008", "01/Mar/2008", "31.03.2008 - 01.03.2008", {2008, 3, 1},
       {2008, 3, 31}, {2008, 3, 1}, {2008, 3, 31}},
      {"first not a date", "31/Apr/2008", "05/May/2008", "31.04.2008 - 05.05.2008", {2008, 3, 10},
       {2008, 5, 5}, {2008, 3, 10}, {2008, 3, 31}},
      {"last not a date", "05/Feb/2008", "00/May/2008", "05.02.2008 - 00.05.2008", {2008, 2, 5},
       {2008, 3, 10}, {2008, 3, 1}, {2008, 3, 10}},
      {"only the middle a date", "30/Feb/2008", "00/Jan/2009", "30.02.2008 - 00.01.2009",
       {2008, 3, 10}, {2008, 3, 10}, {2008, 3, 10}, {2008, 3, 10}},
  };
  for (const Case& c : cases) {
    form_->LoadLog(Log("dates.log", GoodLine(c.first) + GoodLine("10/Mar/2008") + GoodLine(c.last)));
    ASSERT_EQ(form_->RecordCount(), 3) << c.name;
    EXPECT_EQ(form_->FirstTime(), (*form_->Records())[0]->LogTime) << c.name;
    EXPECT_EQ(form_->LastTime(), (*form_->Records())[2]->LogTime) << c.name;
    EXPECT_EQ(form_->Memo3.back(), std::string("  Period: ") + c.period) << c.name;
    for (const DatePicker* picker : {&form_->DateTimePicker1, &form_->DateTimePicker2}) {
      EXPECT_TRUE(picker->Enabled) << c.name;
      EXPECT_TRUE(picker->HasMinDate) << c.name;
      EXPECT_EQ(picker->MinDate, c.earliest) << c.name;
      EXPECT_EQ(picker->MaxDate, c.latest) << c.name;
    }
    EXPECT_EQ(form_->DateTimePicker1.Date, c.from) << c.name;
    EXPECT_EQ(form_->DateTimePicker2.Date, c.to) << c.name;
    EXPECT_EQ(form_->AnalysedPeriod, MonthPeriod(2008, 3)) << c.name;
  }
}

TEST(DeriveSiteName, CutsTheNameAfterTheLettersOfItsLastDot) {
  struct Case {
    const char* path;
    const char* site;
  } cases[] = {
      {"site.example-access_log", "site.example"},
      {"site.example_log", "site.example"},
      {"site.example2", "site.example2"},  // the last character is never tested
      {"access.log", "access.log"},
      {"site.example.log", "site.example.log"},
      {"site.example", "site.example"},
      {"access_log", "access"},
      {"Site.EXAMPLE-Access_Log", "site.example"},
      {"\xD1\xC0\xC9\xD2.com-log", "сайт.com"},  // САЙТ in Windows-1251, lower-cased
      {"САЙТ.com-log", "сайт.com"},              // ... and in UTF-8
      {"/var/log/www.site.example-access_log", "www.site.example"},
      {"/var/log.d/site", "site"},
      {"a", "a"},
      {"", ""},
      {"/var/log/", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TSDIAppForm::DeriveSiteName(c.path), c.site) << c.path;
  }
}

TEST(LogPieceReader, CutsPiecesAfterLineFeedOrAtTheLimit) {
  const std::string x8189(8189, 'x'), x8190(8190, 'x'), x20000(20000, 'x');
  struct Case {
    const char* name;
    std::string content;
    std::vector<std::string> pieces;
  } cases[] = {
      {"empty", "", {}},
      {"mixed ends", "ab\r\ncd\n\nef", {"ab\r\n", "cd\n", "\n", "ef"}},
      {"zero bytes stay", std::string("\0a\nb\0\n", 6), {std::string("\0a\n", 3), std::string("b\0\n", 3)}},
      {"8189 and line feed", x8189 + "\n", {x8189 + "\n"}},
      {"8190 and line feed", x8190 + "\n", {x8190, "\n"}},
      {"20000 and line feed", x20000 + "\n", {x8190, x8190, std::string(3620, 'x') + "\n"}},
      {"bare CR line ends", "ab\rcd\r\ref", {"ab\r", "cd\r", "\r", "ef"}},
      {"a CR beside a line feed is no line end", "a\rb\nc\r", {"a\rb\n", "c\r"}},
      {"CR ends keep the limit", x20000 + "\r", {x8190, x8190, std::string(3620, 'x') + "\r"}},
  };
  for (const Case& c : cases) {
    TempFolder dir;
    const fs::path path = dir.path() / "log";
    WriteFile(path, c.content);
    LogPieceReader reader;
    ASSERT_EQ(reader.Open(path.string()), LogPieceReader::OpenResult::kOpened) << c.name;
    EXPECT_EQ(reader.Size(), static_cast<std::int64_t>(c.content.size())) << c.name;
    std::vector<std::string> pieces;
    std::int64_t position = 0;
    std::string_view piece;
    while (reader.Next(piece)) {
      pieces.emplace_back(piece);
      position += static_cast<std::int64_t>(piece.size());
      EXPECT_EQ(reader.Position(), position) << c.name;
    }
    EXPECT_EQ(pieces, c.pieces) << c.name;
  }
}

std::string Repeated(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

// The sample holds a run of one empty piece once, with its count, and gives
// back the very text it read.
TEST(Sample, HoldsARunOfEmptyPiecesOnceAndReplaysTheText) {
  const std::string lines = GoodLine("01/Mar/2008") + GoodLine("02/Mar/2008");
  std::string cr_lines = lines;
  std::replace(cr_lines.begin(), cr_lines.end(), '\n', '\r');
  const struct Case {
    const char* name;
    std::string text;
    std::size_t entries;
  } cases[] = {
      {"zero bytes first", std::string(5'000'000, '\0') + "\n" + lines, 4},  // run, rest, 2 lines
      {"empty lines between", lines + std::string(1'000'000, '\n') + lines, 5},
      {"CRLF empty lines", Repeated("\r\n", 100'000) + lines, 3},
      {"bare CR empty lines", Repeated("\r", 100'000) + cr_lines, 3},
      {"no empty pieces", lines + lines, 4},
  };
  for (const Case& c : cases) {
    testing::FakeFiles files;
    files.files["log"].bytes = c.text;
    LogPieceReader reader;
    ASSERT_EQ(reader.Open(files, "log"), LogPieceReader::OpenResult::kOpened) << c.name;
    Sample sample;
    ReadSample(reader, sample);
    EXPECT_EQ(sample.pieces.size(), c.entries) << c.name;
    EXPECT_LT(sample.bytes, std::size_t{64} << 10) << c.name;
    std::string replayed;
    sample.Replay([&](std::string_view piece, bool) { return replayed.append(piece), true; },
                  [](std::int64_t) {});
    EXPECT_TRUE(replayed == c.text) << c.name;
  }
}

// At least `bytes` of lines of one letter each, mostly short; about one in
// `long_one_in` is longer than a piece, by up to `longest_extra` characters.
std::string MixedLines(unsigned seed, std::size_t bytes, unsigned long_one_in,
                       unsigned longest_extra, bool some_crlf) {
  std::string content;
  while (content.size() < bytes) {
    seed = seed * 1103515245u + 12345u;
    const std::size_t length = (seed >> 8) % long_one_in == 0 ? 9000 + (seed >> 4) % longest_extra
                                                                : (seed >> 8) % 400;
    content.append(length, static_cast<char>('a' + seed % 26));
    content += some_crlf && (seed & 1) ? "\r\n" : "\n";
  }
  return content;
}

TEST(LogPieceReader, ReadsAcrossBlocksWithoutLosingBytes) {
  const std::string content = MixedLines(7, 3'300'000, 600, 9000, true);
  TempFolder dir;
  const fs::path path = dir.path() / "big";
  WriteFile(path, content);
  LogPieceReader reader;
  ASSERT_EQ(reader.Open(path.string()), LogPieceReader::OpenResult::kOpened);
  std::string joined;
  std::string_view piece;
  while (reader.Next(piece)) {
    ASSERT_LE(piece.size(), LogPieceReader::kMaxPiece);
    ASSERT_TRUE(piece.back() == '\n' || piece.size() == LogPieceReader::kMaxPiece ||
                joined.size() + piece.size() == content.size())
        << "piece at " << joined.size();
    const std::size_t line_feed = piece.find('\n');
    ASSERT_TRUE(line_feed == std::string_view::npos || line_feed == piece.size() - 1)
        << "piece at " << joined.size();
    joined.append(piece);
  }
  EXPECT_EQ(joined, content);
  EXPECT_EQ(reader.Position(), static_cast<std::int64_t>(content.size()));
}

// Every piece the reader gives by Next, in order.
std::vector<std::string> PiecesByNext(LogPieceReader& reader) {
  std::vector<std::string> pieces;
  std::string_view piece;
  while (reader.Next(piece)) pieces.emplace_back(piece);
  return pieces;
}

TEST(LogPieceReader, NextPiecesGivesWholePiecesOfNextStraightFromTheFile) {
  // Short and long lines, a line far longer than a read, no line end at the end.
  std::string content = MixedLines(11, 2'500'000, 500, 30000, false);
  content += std::string(1'200'000, 'z') + "tail";
  TempFolder dir;
  const fs::path path = dir.path() / "log";
  WriteFile(path, content);
  testing::FakeFiles stream;  // cannot go back, so the signature bytes come from the buffer
  stream.files["log"].bytes = content;

  LogPieceReader by_next;
  ASSERT_EQ(by_next.Open(path.string()), LogPieceReader::OpenResult::kOpened);
  const std::vector<std::string> expected = PiecesByNext(by_next);

  for (FileAccess* files : {static_cast<FileAccess*>(&SystemFiles()), static_cast<FileAccess*>(&stream)}) {
    const std::string name = files == &stream ? "log" : path.string();
    for (const std::size_t want : {std::size_t{1}, std::size_t{100}, std::size_t{8190}, std::size_t{8191},
                                   std::size_t{1} << 20, std::size_t{3} << 20}) {
      LogPieceReader reader;
      ASSERT_EQ(reader.Open(*files, name), LogPieceReader::OpenResult::kOpened);
      std::vector<std::string> pieces;
      std::vector<char> out(want + LogPieceReader::kMaxPiece);
      while (const std::size_t got = reader.NextPieces(out.data(), want)) {
        ASSERT_LE(got, want + LogPieceReader::kMaxPiece) << want;
        CutPieces({out.data(), got}, reader.LineEnd(), [&, from = std::size_t{0}](std::size_t end, bool) mutable {
          pieces.emplace_back(out.data() + from, end - from);
          from = end;
        });
        EXPECT_FALSE(reader.LastPieceCut()) << want;
      }
      EXPECT_EQ(reader.Position(), static_cast<std::int64_t>(content.size())) << want;
      EXPECT_TRUE(pieces == expected) << name << ", want " << want << ": " << pieces.size()
                                      << " pieces against " << expected.size();
    }
  }
}

TEST(LogPieceReader, NextPiecesTellsWhereABrokenTextEnds) {
  const std::string content = "first line\nsecond line\nthird, broken off";
  for (const std::int64_t fail_at : {std::int64_t{11}, std::int64_t{30}}) {
    testing::FakeFiles files;
    files.files["log"] = {content, fail_at};
    LogPieceReader reader;
    ASSERT_EQ(reader.Open(files, "log"), LogPieceReader::OpenResult::kOpened);
    std::vector<char> out(1 + LogPieceReader::kMaxPiece);
    std::string joined;
    bool cut = false;
    while (const std::size_t got = reader.NextPieces(out.data(), 1)) {
      joined.append(out.data(), got);
      cut = reader.LastPieceCut();
    }
    EXPECT_EQ(joined, content.substr(0, static_cast<std::size_t>(fail_at))) << fail_at;
    // The text broke off after the last bytes given, whether or not a line ended there.
    EXPECT_TRUE(cut) << fail_at;
    EXPECT_EQ(reader.Error().kind, InputError::Kind::kRead) << fail_at;
  }
}

TEST(HugeBlock, IsAlignedZeroedAndRefusesWhatCannotBeMapped) {
  for (const std::size_t bytes : {std::size_t{4096}, HugeBlock::kBytes, 3 * HugeBlock::kBytes + 5}) {
    HugeBlock block(bytes);
    const auto* data = static_cast<const unsigned char*>(block.Data());
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(data) % HugeBlock::kBytes, 0u) << bytes;
    EXPECT_EQ(block.Bytes(), bytes);
    EXPECT_EQ(data[0] | data[bytes / 2] | data[bytes - 1], 0) << bytes;
    HugeBlock moved = std::move(block);
    EXPECT_EQ(moved.Data(), data);
    EXPECT_EQ(block.Data(), nullptr);
  }
  EXPECT_THROW(HugeBlock(std::size_t{1} << 62), std::bad_alloc);
}

TEST(HugeBlock, AdviceLeavesTheContentsAsTheyWere) {
  std::vector<std::uint64_t> keys(3 * HugeBlock::kBytes / sizeof(std::uint64_t) + 3);
  for (std::size_t i = 0; i < keys.size(); ++i) keys[i] = i * 2654435761u;
  AdviseHugePages(keys.data(), keys.size() * sizeof keys[0]);
  AdviseHugePages(keys.data() + 1, 16);  // no whole huge page inside: left alone
  AdviseHugePages(nullptr, 0);
  for (std::size_t i = 0; i < keys.size(); ++i) ASSERT_EQ(keys[i], i * 2654435761u) << i;
}

// Blocks backed ahead by another thread while records are appended hold every
// record as written; dropping the block ahead frees it and nothing else.
TEST(RecordArray, BlocksPreparedAheadByAnotherThreadKeepEveryRecord) {
  // Around the ends of huge pages (52428.8 records each) and of blocks.
  constexpr std::int32_t kPerPage = 52428;
  constexpr std::int32_t kPerBlock = 262144;
  for (const std::int32_t count : {0, 1, kPerPage, kPerPage + 1, 2 * kPerPage + 1, kPerBlock - 1,
                                   kPerBlock, kPerBlock + 1, 2 * kPerBlock + 7}) {
    RecordArray records;
    records.MapBlocksAhead();
    std::atomic<bool> done{false};
    std::thread helper([&] {
      while (!done.load()) records.PrepareBlockAhead();
    });
    for (std::int32_t i = 0; i < count; ++i) {
      LogRecord r{};
      r.Bytes = i;
      r.LogTime = PackLogTime({.Day = 1 + i % 28, .Month = 3, .Year = 2008});
      records.Append(r);
    }
    done = true;
    helper.join();
    const std::size_t before = records.MemoryUsage();
    records.DropBlockAhead();
    EXPECT_EQ(before - records.MemoryUsage(), std::size_t{2} << 20) << count;
    records.DropBlockAhead();  // twice is harmless
    ASSERT_EQ(records.Count(), count);
    for (std::int32_t i = 0; i < count; ++i) ASSERT_EQ(records[i]->Bytes, i) << count;
    EXPECT_EQ(records.HasDateCode(PackLogTime({.Day = 1, .Month = 3, .Year = 2008}) & 0x7FFF), count > 0);
  }
}

// Each huge page the records come to was offered ahead of them, whichever
// way the system lays out the blocks.
TEST(RecordArray, OffersEveryPageItWillFillAhead) {
  constexpr std::int32_t count = 2 * 262144 + 7;
  RecordArray records;
  records.MapBlocksAhead();
  int offered = records.PrepareBlockAhead() ? 1 : 0;
  for (std::int32_t i = 0; i < count; ++i) {
    records.Append(LogRecord{});
    offered += records.PrepareBlockAhead() ? 1 : 0;
  }
  records.DropBlockAhead();
  const int pages_filled = 5 + 5 + 1;  // 40-byte records, five 2 MiB pages a block
  EXPECT_GE(offered, pages_filled);
}

TEST(CrawlerList, KeepsEachDistinctLineOnce) {
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\n", {"a"}},
      {"a\r\nb\rc\n", {"a", "b", "c"}},
      {"a\r\r\nb", {"a", "", "b"}},
      {"a\n\nb\n", {"a", "", "b"}},
      {"\n", {""}},
      {"Bot/1.0\nBOT/1.0\n", {"Bot/1.0"}},
      {" a b \n", {" a b "}},
  };
  for (const Case& c : cases) {
    StringPool pool;
    std::vector<const char*> crawlers;
    ParseCrawlerList(c.text, pool, crawlers);
    std::vector<std::string> lines(crawlers.begin(), crawlers.end());
    EXPECT_EQ(lines, c.lines) << "[" << c.text << "]";
    EXPECT_EQ(pool.Count(), crawlers.size()) << "[" << c.text << "]";
  }
}

TEST(CrawlerList, LoadsThroughTheGivenFiles) {
  using File = testing::FakeFiles::File;
  const struct Case {
    const char* name;
    std::optional<File> file;
    std::vector<std::string> lines;  // when read
    int error;                       // its text is the reason
  } cases[] = {
      {"present", File{"Bot/1.0\nSpider\n"}, {"Bot/1.0", "Spider"}, 0},
      {"missing", std::nullopt, {}, ENOENT},
      {"a folder", File{"", -1, PathInfo::Type::kDirectory}, {}, EISDIR},
      {"a read error", File{"Bot/1.0\nSpider\n", 8}, {}, EIO},
  };
  for (const Case& c : cases) {
    testing::FakeFiles files;
    if (c.file) files.files["/prog/crawlers.lst"] = *c.file;
    StringPool pool;
    std::vector<const char*> crawlers;
    std::string reason;
    EXPECT_EQ(LoadCrawlerList(files, "/prog/crawlers.lst", pool, crawlers, reason), c.error == 0)
        << c.name;
    EXPECT_EQ(std::vector<std::string>(crawlers.begin(), crawlers.end()), c.lines) << c.name;
    EXPECT_EQ(reason, c.error == 0 ? "" : std::strerror(c.error)) << c.name;
  }
}

TEST(CrawlerList, MissingFileGivesTheReason) {
  TempFolder dir;
  StringPool pool;
  std::vector<const char*> crawlers;
  std::string reason;
  EXPECT_FALSE(LoadCrawlerList((dir.path() / "crawlers.lst").string(), pool, crawlers, reason));
  EXPECT_EQ(reason, "No such file or directory");
  EXPECT_EQ(pool.Count(), 0u);
  EXPECT_TRUE(crawlers.empty());
}

}  // namespace
}  // namespace tw
