// Compressed logs, several files as one log, the site name of rotated files,
// and a load that breaks off part way.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <numeric>

#include "analysis/report_kinds.h"
#include "fake_files.h"
#include "load/decompress.h"
#include "load/line_reader.h"
#include "load/loader.h"
#include "loadlog_fixture.h"
#include "parse/site_name.h"

namespace tw::loadlog_testing {
namespace {

using SourcesTest = LoadLogTest;

// A log of `lines` lines over March 2008, every seventh one rejected.
std::string SampleLog(int lines, int first_day = 1) {
  std::string log;
  for (int i = 0; i < lines; ++i) {
    const int day = first_day + i * 10 / std::max(lines, 1);
    std::string date = std::to_string(day);
    if (day < 10) date.insert(date.begin(), '0');
    date += "/Mar/2008";
    log += i % 7 == 3 ? "broken line " + std::to_string(i) + "\n"
                      : GoodLine(date, "/page" + std::to_string(i % 13) + ".html");
  }
  return log;
}

// The file packed by a command-line packer, beside it.
std::string Pack(const std::string& path, const std::string& tool, const std::string& suffix) {
  const std::string packed = path + suffix;
  const std::string command = tool + " -c '" + path + "' > '" + packed + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  return packed;
}

// The CSV of a few reports of the loaded log.
std::string Reports(TSDIAppForm& form, const fs::path& dir) {
  std::string all;
  for (const char* kind : {"day", "pages", "status", "addresses", "domains"}) {
    form.CheckReportButton(FindReportKindByName(kind));
    form.RunAnalysis();
    std::string error;
    const fs::path csv = dir / "report.csv";
    EXPECT_TRUE(form.WriteCsv(csv.string(), error)) << error;
    all += ReadFile(csv);
  }
  return all;
}

TEST(SiteNameOfLogPath, DropsCompressionThenOneRotationSuffix) {
  const struct {
    const char* path;
    const char* site;
  } cases[] = {
      {"site.example-access_log.2.gz", "site.example"},
      {"access.log.1", "access.log"},
      {"access.log.12.bz2", "access.log"},
      {"/var/log/Site.Example-Access_Log.XZ", "site.example"},
      {"site.example-access_log-20261201.zst", "site.example"},
      {"site.example-access_log.20261201", "site.example"},
      {"site.example-access_log-2026-12-01.gz", "site.example"},
      {"site.example-access_log.2026-12-01", "site.example"},
      {"site.example-access_log-12", "site.example"},       // "-" and digits is no rotation
      {"access.log.1.2", "access.log.1"},                   // one rotation suffix only
      {"access.log.gz.gz", "access.log.gz"},                // one compression suffix only
      {".gz", ".gz"},                                       // a suffix that is the whole name
      {"site.example2", "site.example2"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(SiteNameOfLogPath(c.path), c.site) << c.path;
}

TEST_F(SourcesTest, CompressedLogGivesTheReportsAndRejectsOfItsText) {
  const std::string text = SampleLog(3000);
  const std::string plain = Log("site.example-access_log", text);
  form_->LoadLog(plain);
  const std::string expected = Reports(*form_, dir_.path());
  const std::string expected_rejects = ReadFile(plain + ".err");
  const std::vector<std::string> expected_memo = form_->Memo3;
  ASSERT_GT(form_->RecordCount(), 2000);

  // Two gzip members one after the other read as one text.
  const std::string half_a = Log("half_a", text.substr(0, 40000));
  const std::string half_b = Log("half_b", text.substr(40000));
  const std::string members = (dir_.path() / "site.example-access_log.3.gz").string();
  ASSERT_EQ(std::system(("gzip -c '" + half_a + "' > '" + members + "' && gzip -c '" + half_b +
                         "' >> '" + members + "'").c_str()),
            0);
  // Two xz streams with stream padding between them, too.
  const std::string streams = (dir_.path() / "site.example-access_log.6.xz").string();
  ASSERT_EQ(std::system(("xz -c '" + half_a + "' > '" + streams + "' && head -c 8 /dev/zero >> '" +
                         streams + "' && xz -c --check=none '" + half_b + "' >> '" + streams + "'")
                            .c_str()),
            0);
  const struct {
    std::string path;
  } cases[] = {
      {Pack(plain, "gzip", ".1.gz")},
      {Pack(plain, "bzip2", ".2.bz2")},
      {Pack(plain, "xz", ".4.xz")},
      {Pack(plain, "xz --block-size=16384 --check=sha256", ".7.xz")},
      {Pack(plain, "zstd -q", ".5.zst")},
      {members},
      {streams},
  };
  for (const auto& c : cases) {
    platform_.messages.clear();
    form_->LoadLog(c.path);
    EXPECT_EQ(form_->SiteName(), "site.example") << c.path;
    EXPECT_EQ(Reports(*form_, dir_.path()), expected) << c.path;
    EXPECT_EQ(ReadFile(c.path + ".err"), expected_rejects) << c.path;
    EXPECT_EQ(form_->LoadWarning, "") << c.path;
    EXPECT_EQ(form_->LoadError, "") << c.path;
    ASSERT_EQ(form_->Memo3.size(), expected_memo.size()) << c.path;
    EXPECT_EQ(form_->Memo3[1], expected_memo[1]) << c.path;
    EXPECT_EQ(form_->Memo3[2], expected_memo[2]) << c.path;
  }
}

TEST_F(SourcesTest, BrokenCompressedLogKeepsWhatCameBeforeAndSaysWhere) {
  const std::string plain = Log("big.log", SampleLog(20000));
  const std::string packed = Pack(plain, "gzip", ".gz");
  const std::string bytes = ReadFile(packed);
  form_->LoadLog(plain);
  const std::int32_t all = form_->RecordCount();

  std::string damaged = bytes;
  for (std::size_t i = bytes.size() / 2; i < bytes.size() / 2 + 64; ++i) damaged[i] ^= 0x5A;
  const struct {
    const char* name;
    std::string bytes;
    const char* says;
  } cases[] = {
      {"truncated.gz", bytes.substr(0, bytes.size() / 2), "ends inside its compressed data at byte "},
      {"damaged.gz", damaged, "is damaged at byte "},
  };
  for (const auto& c : cases) {
    platform_.messages.clear();
    const std::string path = Log(c.name, c.bytes);
    form_->LoadLog(path);
    EXPECT_GT(form_->RecordCount(), all / 4) << c.name;
    EXPECT_LT(form_->RecordCount(), all) << c.name;
    EXPECT_EQ(form_->LoadError, "") << c.name;
    EXPECT_NE(form_->LoadWarning.find(path + " " + c.says), std::string::npos) << form_->LoadWarning;
    ASSERT_EQ(platform_.messages.size(), 1u) << c.name;
    EXPECT_NE(platform_.messages[0].find(form_->LoadWarning), std::string::npos) << c.name;
    ASSERT_EQ(form_->LoadedFiles().size(), 1u);
    EXPECT_EQ(form_->LoadedFiles()[0].outcome, LoadedFile::Outcome::kBroken) << c.name;
    EXPECT_GT(form_->LoadedFiles()[0].broken.offset, 0) << c.name;
    EXPECT_LE(form_->LoadedFiles()[0].broken.offset, static_cast<std::int64_t>(c.bytes.size()));
  }
}

// Damage in the second of two members, streams or frames: what the first gave
// passed its check; the second's text may be wrong from its start, and the
// message says so.
TEST_F(SourcesTest, DamageNamesWhereTheUncheckedTextBegins) {
  const std::string first = SampleLog(3000), second = SampleLog(3000, 11);
  const std::string a = Log("a.log", first), b = Log("b.log", second);
  const struct {
    const char* tool;
    const char* suffix;
    bool cut_short;  // instead of damaged
    std::int64_t unchecked_from;
  } cases[] = {
      {"gzip", ".gz", false, static_cast<std::int64_t>(first.size())},
      {"gzip", ".gz", true, static_cast<std::int64_t>(first.size())},
      {"bzip2", ".bz2", false, static_cast<std::int64_t>(first.size())},
      {"zstd -q", ".zst", false, static_cast<std::int64_t>(first.size())},
      {"xz", ".xz", false, static_cast<std::int64_t>(first.size())},
      {"xz", ".xz", true, static_cast<std::int64_t>(first.size())},
  };
  for (const auto& c : cases) {
    const std::string head = ReadFile(Pack(a, c.tool, c.suffix));
    std::string tail = ReadFile(Pack(b, c.tool, c.suffix));
    if (c.cut_short) tail.resize(tail.size() / 2);
    for (std::size_t i = tail.size() / 2; i < tail.size() / 2 + 16 && !c.cut_short; ++i) {
      tail[i] ^= 0x5A;
    }
    const std::string path = Log(std::string("damaged") + c.suffix, head + tail);
    form_->LoadLog(path);
    ASSERT_EQ(form_->LoadedFiles().size(), 1u) << c.tool;
    const InputError& broken = form_->LoadedFiles()[0].broken;
    EXPECT_EQ(broken.kind, c.cut_short ? InputError::Kind::kTruncated : InputError::Kind::kDamaged)
        << c.tool;
    EXPECT_EQ(broken.unchecked_from, c.unchecked_from) << c.tool;
    EXPECT_NE(form_->LoadWarning.find("The records read from byte " +
                                      std::to_string(c.unchecked_from) + " of the unpacked text of " +
                                      path + " on may be wrong"),
              std::string::npos)
        << form_->LoadWarning;
  }
}

TEST_F(SourcesTest, SeveralFilesInEveryOrderGiveTheSameLog) {
  const std::vector<std::string> paths = {
      Log("site.example-access_log", SampleLog(50, 21)),
      Log("site.example-access_log.2", SampleLog(70, 1)),
      Log("junk", "no record here\n"),
      Log("site.example-access_log.1", SampleLog(60, 11)),
  };
  std::vector<std::size_t> order(paths.size());
  std::iota(order.begin(), order.end(), 0);
  std::vector<std::string> expected_urls;
  do {
    std::vector<std::string> given;
    for (std::size_t i : order) given.push_back(paths[i]);
    platform_.messages.clear();
    form_->LoadLogs(given);
    std::vector<std::string> urls;
    for (std::int32_t i = 0; i < form_->RecordCount(); ++i) {
      urls.push_back(std::to_string(LogDay((*form_->Records())[i]->LogTime)) + (*form_->Records())[i]->Url());
    }
    if (expected_urls.empty()) expected_urls = urls;
    EXPECT_EQ(urls, expected_urls);
    EXPECT_EQ(form_->SiteName(), "site.example");
    EXPECT_EQ(form_->Memo3[0], "  Log: site.example-access_log.2 and 3 more files");
    EXPECT_EQ(form_->Caption, paths[1] + " and 3 more files - Quelmark Tallyweave");
    EXPECT_EQ(LogDay(form_->FirstTime()), 1);
    EXPECT_EQ(LogDay(form_->LastTime()), 30);
    ASSERT_EQ(form_->LoadedFiles().size(), 4u);
    EXPECT_EQ(form_->LoadedFiles().back().path, paths[2]);
    EXPECT_EQ(ReadFile(paths[2] + ".err"), "no record here\n");
  } while (std::next_permutation(order.begin(), order.end()));
  EXPECT_EQ(expected_urls.size(), 50u + 70u + 60u - (7 + 10 + 9));
}

TEST(LoadLogSources, ReadErrorHalfWayKeepsWhatWasReadAndCountsReasons) {
  TempFolder dir;
  testing::FakeFiles files;
  files.files["/prog/crawlers.lst"] = {"Bot/1.0\n", -1};
  const std::string text = GoodLine("01/Mar/2008") + "\n" + "one two\n" + GoodLine("02/Mar/2008") +
                           GoodLine("03/Mar/2008");
  const std::string path = (dir.path() / "broken.log").string();
  // The read fails in the middle of the last line.
  const std::int64_t fail_at = static_cast<std::int64_t>(text.size()) - 20;
  files.files[path] = {text, fail_at};
  LoadRequest request;
  request.sources = {LogSource{path, std::nullopt}};
  request.crawler_path = "/prog/crawlers.lst";
  request.files = &files;
  LoadedLog log;
  ASSERT_EQ(LoadLogSources(request, log).kind, LoadRefusal::Kind::kNone);

  EXPECT_EQ(log.records->Count(), 2);
  ASSERT_EQ(log.files.size(), 1u);
  EXPECT_EQ(log.files[0].outcome, LoadedFile::Outcome::kBroken);
  EXPECT_EQ(log.files[0].broken.kind, InputError::Kind::kRead);
  EXPECT_EQ(log.files[0].broken.number, EIO);
  EXPECT_EQ(log.files[0].broken.offset, fail_at);
  RejectCounts expected{};
  expected[static_cast<std::size_t>(RejectReason::kEmptyLine)] = 1;
  expected[static_cast<std::size_t>(RejectReason::kFieldCount)] = 1;
  expected[static_cast<std::size_t>(RejectReason::kDamagedData)] = 1;
  EXPECT_EQ(log.reasons, expected);
  EXPECT_EQ(log.rejected, 3);
  // The cut line is kept in the reject file as read.
  EXPECT_EQ(files.files[path + ".err"].bytes,
            "\none two\n" + text.substr(text.size() - GoodLine("03/Mar/2008").size(),
                                        GoodLine("03/Mar/2008").size() - 20));
}

TEST(LoadLogSources, RefusesWithoutTheCrawlerListAndNamesMissingFiles) {
  testing::FakeFiles files;
  LoadRequest request;
  request.sources = {LogSource{"/none.log", std::nullopt}};
  request.crawler_path = "/prog/crawlers.lst";
  request.files = &files;
  LoadedLog log;
  const LoadRefusal refused = LoadLogSources(request, log);
  EXPECT_EQ(refused.kind, LoadRefusal::Kind::kNoCrawlerList);
  EXPECT_EQ(refused.path, "/prog/crawlers.lst");

  files.files["/prog/crawlers.lst"] = {"", -1};
  ASSERT_EQ(LoadLogSources(request, log).kind, LoadRefusal::Kind::kNone);
  ASSERT_EQ(log.files.size(), 1u);
  EXPECT_EQ(log.files[0].outcome, LoadedFile::Outcome::kCannotOpen);
  EXPECT_EQ(log.files[0].open_error, ENOENT);
  EXPECT_EQ(log.site_name, "");
}

// The text of a packed file and where the text of the two-block bzip2 file
// below breaks: one piece at a time, in windows of several sizes, and straight
// from the decoder in reads of several sizes.
struct PackedText {
  std::string text;
  InputError error;
};

PackedText ReadPacked(FileAccess& files, const std::string& path, std::size_t window) {
  LogPieceReader reader;
  EXPECT_EQ(reader.Open(files, path), LogPieceReader::OpenResult::kOpened);
  PackedText read;
  if (window == 0) {
    std::string_view piece;
    while (reader.Next(piece)) read.text += piece;
  } else {
    std::vector<char> out(window + LogPieceReader::kMaxPiece);
    while (const std::size_t got = reader.NextPieces(out.data(), window)) read.text.append(out.data(), got);
  }
  read.error = reader.Error();
  return read;
}

PackedText ReadDecoded(FileAccess& files, const std::string& path, std::size_t read_size) {
  OpenedFile file = files.Open(path);
  std::string head(kSignatureBytes, '\0');
  head.resize(file.input->Read(head.data(), head.size()));
  const std::unique_ptr<ByteInput> input =
      MakeDecompressor(CompressionOf(head), std::move(file.input), head);
  PackedText read;
  std::vector<char> out(read_size);
  while (const std::size_t got = input->Read(out.data(), out.size())) read.text.append(out.data(), got);
  read.error = input->error();
  return read;
}

// Damage in the middle of a file of many blocks: the blocks before it passed
// their checks, so what may be wrong begins where the damaged block does.
TEST_F(SourcesTest, DamageIsPlacedInTheBlockItIsIn) {
  const std::string text = SampleLog(20000);
  const std::string plain = Log("blocks.log", text);
  const struct {
    const char* tool;
    std::int64_t block_text;  // at most, of one block
    bool exact;               // blocks hold exactly block_text bytes
  } cases[] = {
      {"bzip2 -1", 100000, false},
      {"xz --block-size=65536", 65536, true},
  };
  for (const auto& c : cases) {
    std::string bytes = ReadFile(Pack(plain, c.tool, ".packed"));
    for (std::size_t i = bytes.size() / 2; i < bytes.size() / 2 + 16; ++i) bytes[i] ^= 0x5A;
    testing::FakeFiles files;
    files.files["/p/log"] = {bytes, -1};
    const PackedText read = ReadPacked(files, "/p/log", 0);
    const std::int64_t from = read.error.unchecked_from;
    ASSERT_EQ(read.error.kind, InputError::Kind::kDamaged) << c.tool;
    EXPECT_GT(from, static_cast<std::int64_t>(text.size() / 4)) << c.tool;
    EXPECT_LE(from, static_cast<std::int64_t>(read.text.size())) << c.tool;
    EXPECT_LT(static_cast<std::int64_t>(read.text.size()) - from, c.block_text) << c.tool;
    EXPECT_TRUE(read.text.compare(0, static_cast<std::size_t>(from), text, 0, static_cast<std::size_t>(from)) == 0)
        << c.tool;
    if (c.exact) {
      EXPECT_EQ(from % c.block_text, 0) << c.tool;
    }
  }
}

// A bzip2 file whose second block is damaged.
std::string DamagedBzip2() {
  const char* hex =
      "425a6839314159265359972c34370000365f8000025003ffd002c2c40abbe6dc"
      "d03000d8063468d00c990d188d340d3031a3468064c868c469a069805554f4d3"
      "5313d4d23d234f213649a1b53d1286082d58d6a17a96c6292e765299aac6fb57"
      "20c9a3268bdd143aaa4dfabd15ed5b98117a37a4890141592653595babde0e00"
      "004edf8000105003ffd002c2c40abbe6ded03000d8061a190d32680621a69a34"
      "34618686434c9a018869a68d0d1824913234a7e8a7a691b24f53649a1b06b7e4"
      "1657d4a0e49a692849439a94906c33414a962e4d882c736283249638b9b6bc2c"
      "36363636363636363636536a7a393f14e5613ad413d6360a36";
  std::string bytes;
  for (const char* p = hex; p[0] != '\0'; p += 2) {
    bytes += static_cast<char>(std::stoi(std::string(p, 2), nullptr, 16));
  }
  return bytes;
}

// A decoder that finds damage may drop text it had decoded, by an amount that
// depends on the room it was given (zstd does, and bzip2 on a damaged block),
// so one thread and several would read different logs.
TEST_F(SourcesTest, DamagedPackedTextDoesNotDependOnHowItIsRead) {
  const std::string plain = Log("plain.log", SampleLog(20000));
  std::vector<std::pair<std::string, std::string>> cases = {{"bzip2 block", DamagedBzip2()}};
  for (const auto& [tool, suffix] : {std::pair{"gzip", ".gz"}, {"bzip2", ".bz2"}, {"xz", ".xz"},
                                     {"zstd -q", ".zst"}}) {
    std::string bytes = ReadFile(Pack(plain, tool, suffix));
    for (std::size_t i = bytes.size() / 2; i < bytes.size() / 2 + 16; ++i) bytes[i] ^= 0x5A;
    cases.emplace_back(tool, bytes);
  }
  for (const auto& [name, bytes] : cases) {
    testing::FakeFiles files;
    files.files["/p/log"] = {bytes, -1};
    const PackedText by_pieces = ReadPacked(files, "/p/log", 0);
    ASSERT_EQ(by_pieces.error.kind, InputError::Kind::kDamaged) << name;
    ASSERT_GT(by_pieces.text.size(), 0u) << name;
    std::vector<PackedText> others;
    for (const std::size_t window : {61, 4096, 70000, 1 << 20}) others.push_back(ReadPacked(files, "/p/log", window));
    for (const std::size_t size : {1, 4096, 262144}) others.push_back(ReadDecoded(files, "/p/log", size));
    for (std::size_t i = 0; i < others.size(); ++i) {
      EXPECT_EQ(others[i].text.size(), by_pieces.text.size()) << name << ", way " << i;
      EXPECT_TRUE(others[i].text == by_pieces.text) << name << ", way " << i;
      EXPECT_EQ(others[i].error.kind, by_pieces.error.kind) << name << ", way " << i;
      EXPECT_EQ(others[i].error.offset, by_pieces.error.offset) << name << ", way " << i;
      EXPECT_EQ(others[i].error.unchecked_from, by_pieces.error.unchecked_from) << name << ", way " << i;
    }
  }
}

}  // namespace
}  // namespace tw::loadlog_testing
