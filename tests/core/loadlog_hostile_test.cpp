// Loading files that are no well-behaved log: endless lines, zero bytes,
// binary and compressed files, files that change while they are read, things
// that are no regular file, logs that cannot be opened and reject files that
// cannot be written.

#include <gtest/gtest.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "file_size_limit.h"
#include "form/form.h"
#include "load/chunk_workers.h"
#include "load/line_reader.h"
#include "loadlog_fixture.h"

#if defined(__SANITIZE_ADDRESS__)
#define TW_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TW_TEST_ASAN 1
#endif
#endif
#if defined(TW_TEST_ASAN)
// The sanitizer runtime's count of bytes in use (its header is not always installed).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace tw {
namespace {

using loadlog_testing::GoodLine;
using loadlog_testing::LoadFixture;
using testing::ReadFile;
using loadlog_testing::StatusPlatform;
using testing::TempFolder;
using loadlog_testing::WriteFile;
namespace fs = std::filesystem;

// A platform that lets a test act while the log is being read.
class HookPlatform : public StatusPlatform {
 public:
  std::function<void()> on_paint;
  std::function<void()> on_message;
  std::vector<std::string> status_at_paint;
  void ProcessPaint() override {
    FakePlatform::ProcessPaint();
    status_at_paint.push_back(form != nullptr ? form->StatusText : "");
    if (on_paint) on_paint();
  }
  void ShowMessage(const std::string& text) override {
    if (on_message) on_message();
    StatusPlatform::ShowMessage(text);
  }
};

class LoadLogHostileTest : public LoadFixture<HookPlatform> {
 protected:
  // A log of `lines` good lines of equal length.
  static std::string GoodLines(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) text += GoodLine("01/Mar/2008", "/p" + std::to_string(1000 + i));
    return text;
  }

  // What the window shows of a loaded log, to check a refused load left it alone.
  struct Shown {
    const RecordArray* records;
    std::int32_t record_count;
    const StringPool* url_pool;
    std::vector<std::string> memo;
    std::string caption;
    const TreeNode* tree_root;
    std::int32_t selected_count;
    const ReportKindInfo* kind;
    std::size_t rows;
    std::string site_name;
    std::int64_t rejected;
  };
  Shown Snapshot() const {
    return {form_->Records(), form_->RecordCount(), form_->UrlPool(), form_->Memo3,
            form_->Caption,       form_->TreeView1.Root.get(), form_->SelectedCount(),
            form_->Report().kind,   form_->Report().rows.size(), form_->SiteName(),
            form_->RejectedCount()};
  }
  void ExpectUnchanged(const Shown& before, const std::string& name) const {
    const Shown now = Snapshot();
    EXPECT_EQ(now.records, before.records) << name;
    EXPECT_EQ(now.record_count, before.record_count) << name;
    EXPECT_EQ(now.url_pool, before.url_pool) << name;
    EXPECT_EQ(now.memo, before.memo) << name;
    EXPECT_EQ(now.caption, before.caption) << name;
    EXPECT_EQ(now.tree_root, before.tree_root) << name;
    EXPECT_EQ(now.selected_count, before.selected_count) << name;
    EXPECT_EQ(now.kind, before.kind) << name;
    EXPECT_EQ(now.rows, before.rows) << name;
    EXPECT_EQ(now.site_name, before.site_name) << name;
    EXPECT_EQ(now.rejected, before.rejected) << name;
  }

  // Loads a small good log; returns its path.
  std::string LoadGoodLog() {
    const std::string path =
        Log("site.example-access_log", GoodLine("01/Mar/2008", "/a") + "junk\n" +
                                           GoodLine("02/Mar/2008", "/b"));
    form_->LoadLog(path);
    EXPECT_EQ(form_->RecordCount(), 2);
    platform_.messages.clear();
    return path;
  }
};

// ---- A line that never ends ----

// Bytes in use on the heap: glibc's count, or the sanitizer allocator's.
std::size_t HeapInUse() {
#if defined(TW_TEST_ASAN)
  return __sanitizer_get_current_allocated_bytes();
#else
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;  // small chunks and mapped blocks
#endif
}

// The byte at file offset i of the endless line: printable characters with
// quotes, brackets, blanks and percent signs, never a line feed or a zero.
char EndlessByte(std::uint64_t i) { return static_cast<char>(' ' + (i * 7 + i / 8190) % 95); }

// A gigabyte in one line reaches the parser in 8190-character pieces, each
// rejected and written to the reject file, while the heap stays at a few
// megabytes. Under the sanitizers a gigabyte takes half a minute, so those
// builds use 64 MiB; the reading is the same.
TEST_F(LoadLogHostileTest, GigabyteLineWithoutLineEndIsReadInPiecesWithBoundedMemory) {
#if defined(TW_TEST_ASAN)
  constexpr std::uint64_t kSize = std::uint64_t{64} << 20;
#else
  constexpr std::uint64_t kSize = std::uint64_t{1} << 30;
#endif
  constexpr std::size_t kBlock = std::size_t{1} << 20;
  const fs::path path = dir_.path() / "endless.log";
  {
    std::ofstream out(path, std::ios::binary);
    std::string block(kBlock, ' ');
    for (std::uint64_t at = 0; at < kSize; at += kBlock) {
      for (std::size_t i = 0; i < kBlock; ++i) block[i] = EndlessByte(at + i);
      out.write(block.data(), static_cast<std::streamsize>(kBlock));
    }
    ASSERT_TRUE(out.good());
  }

  const std::size_t heap_before = HeapInUse();
  std::size_t heap_peak = heap_before;
  auto sample = [&] { heap_peak = std::max(heap_peak, HeapInUse()); };
  platform_.on_paint = sample;
  platform_.on_message = sample;  // the closing message comes before the log is freed
  form_->LoadLog(path.string());

  const std::uint64_t pieces = (kSize + LogPieceReader::kMaxPiece - 1) / LogPieceReader::kMaxPiece;
  EXPECT_EQ(form_->RecordCount(), 0);
  EXPECT_EQ(form_->RejectedCount(), static_cast<std::int64_t>(pieces));
  EXPECT_EQ(form_->Memo3[2], "  Rejected: " + std::to_string(pieces));
  EXPECT_EQ(fs::file_size(path.string() + ".err"), kSize);
  EXPECT_GE(platform_.paints, 1);
  // Parsing on several threads adds the chunks in flight, a few MiB each.
  const std::uint64_t chunks = std::uint64_t{LoadThreads(0) + 2} * (std::uint64_t{2} << 20);
  EXPECT_LT(heap_peak - heap_before,
            std::min<std::uint64_t>(std::uint64_t{32} << 20, kSize / 8) + chunks)
      << "peak heap " << heap_peak << ", before " << heap_before;

  // The reject file holds the line byte for byte.
  std::ifstream in(path.string() + ".err", std::ios::binary);
  std::string block(kBlock, '\0');
  std::uint64_t mismatch = kSize;
  for (std::uint64_t at = 0; at < kSize && mismatch == kSize; at += kBlock) {
    in.read(block.data(), static_cast<std::streamsize>(kBlock));
    for (std::size_t i = 0; i < kBlock; ++i) {
      if (block[i] != EndlessByte(at + i)) {
        mismatch = at + i;
        break;
      }
    }
  }
  EXPECT_EQ(mismatch, kSize) << "first differing byte of the reject file";
}

// ---- Zero bytes ----

TEST_F(LoadLogHostileTest, ZeroByteEndsTheTextParsedButTheRejectFileGetsTheWholePiece) {
  const std::string zero(1, '\0');
  struct Case {
    const char* name;
    std::string line;
    bool accepted;
  } cases[] = {
      // The text before the zero is a whole good line, so the line is accepted.
      {"good line, zero, junk", GoodLine("01/Mar/2008", "/z", "") + zero + "junk\n", true},
      {"good line with its line feed, zero", GoodLine("01/Mar/2008", "/z", "") + "\r" + zero + "\n", true},
      {"zero inside the request", "10.0.0.1 - - [01/Mar/2008:12:00:00 +0100] \"GET /a" + zero +
                                      "b HTTP/1.1\" 200 512 \"-\" \"Mozilla/5.0\"\n",
       false},
      {"zero first", zero + GoodLine("01/Mar/2008"), false},
      {"zeros only", std::string(5, '\0') + "\n", false},
  };
  for (const Case& c : cases) {
    const std::string path = Log("zero.log", GoodLine("01/Mar/2008", "/first") + c.line);
    form_->LoadLog(path);
    EXPECT_EQ(form_->RecordCount(), c.accepted ? 2 : 1) << c.name;
    EXPECT_EQ(form_->RejectedCount(), c.accepted ? 0 : 1) << c.name;
    if (c.accepted) {
      ASSERT_EQ(form_->RecordCount(), 2) << c.name;
      EXPECT_STREQ((*form_->Records())[1]->Url(), "/z") << c.name;
      EXPECT_FALSE(fs::exists(path + ".err")) << c.name;
    } else {
      EXPECT_EQ(ReadFile(path + ".err"), c.line) << c.name << ": every byte, zeros included";
    }
  }
}

// ---- Binary and compressed files ----

TEST_F(LoadLogHostileTest, BinaryFileEndsWithEveryPieceRejectedAndCopied) {
  std::string bytes(3'000'000, '\0');
  std::uint64_t state = 0x9E3779B97F4A7C15u;
  for (char& b : bytes) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    b = static_cast<char>(state >> 24);
  }
  bytes[0] = 'R';  // no compressed signature
  std::int64_t pieces = 0;
  for (std::size_t at = 0; at < bytes.size(); ++pieces) {
    const std::size_t limit = std::min(LogPieceReader::kMaxPiece, bytes.size() - at);
    const std::size_t line_feed = bytes.find('\n', at);
    at += line_feed != std::string::npos && line_feed < at + limit ? line_feed - at + 1 : limit;
  }

  const std::string path = Log("random.bin", bytes);
  form_->LoadLog(path);
  EXPECT_EQ(form_->RecordCount(), 0);
  EXPECT_EQ(form_->RejectedCount(), pieces);
  EXPECT_EQ(ReadFile(path + ".err"), bytes);
  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_EQ(platform_.messages[0].rfind("No records\n", 0), 0u) << platform_.messages[0];
  EXPECT_EQ(form_->LoadError, "");
}

TEST_F(LoadLogHostileTest, ZipArchiveIsRefusedBeforeTheLoadedLogIsTouched) {
  const std::string path_of_good = LoadGoodLog();
  const std::string rest = std::string("\x00\x01 whatever follows\n", 20) + GoodLine("05/Mar/2008");
  const struct {
    const char* name;
    std::string head;
  } cases[] = {
      {"zip", "PK\x03\x04"},
  };
  for (const auto& c : cases) {
    const Shown before = Snapshot();
    const std::string path = Log(std::string("access_log.") + c.name, c.head + rest);
    form_->LoadLog(path);
    const std::string refusal =
        path + " is a zip archive. Unpack it and open the log it holds.";
    EXPECT_EQ(platform_.messages, std::vector<std::string>{refusal}) << c.name;
    EXPECT_EQ(form_->LoadError, refusal) << c.name;
    ExpectUnchanged(before, c.name);
    EXPECT_FALSE(fs::exists(path + ".err")) << c.name;
    platform_.messages.clear();
  }
  EXPECT_EQ(ReadFile(path_of_good + ".err"), "junk\n");

  // A good load afterwards clears LoadError.
  form_->LoadLog(path_of_good);
  EXPECT_EQ(form_->LoadError, "");
}

TEST(HasCompressedSignature, KnowsTheCommonPackersOnly) {
  const struct {
    std::string head;
    bool compressed;
  } cases[] = {
      {"\x1F\x8B", true},
      {"\x1F\x8B\x08\x00\x00\x00", true},
      {"BZh1", true},
      {"BZh9\x31\x41", true},
      {std::string("\xFD\x37\x7A\x58\x5A\x00", 6), true},
      {"\x28\xB5\x2F\xFD", true},
      {"PK\x03\x04", true},
      {"", false},
      {"\x1F", false},
      {"\x1F\x8C", false},
      {"BZh", false},             // too short to hold the block size
      {"BZhx", false},            // no block size: a host name could start so
      {"BZh0", false},
      {"\xFD\x37\x7A\x58\x5A", false},
      {std::string("\xFD\x37\x7A\x58\x5A\x01", 6), false},
      {"PK\x05\x06", false},
      {"10.0.0.1 - - [", false},
  };
  for (const auto& c : cases) {
    std::string shown;
    for (unsigned char ch : c.head) shown += std::to_string(ch) + " ";
    EXPECT_EQ(HasCompressedSignature(c.head), c.compressed) << shown;
  }
}

// ---- A file that changes while it is read ----

// Percent values shown in "Loading <path>: N%" texts.
std::vector<int> PercentsShown(const std::vector<std::string>& texts, const std::string& path) {
  std::vector<int> percents;
  const std::string prefix = "Loading " + path + ": ";
  for (const std::string& t : texts) {
    if (t.rfind(prefix, 0) == 0 && t.size() > prefix.size() && t.back() == '%') {
      percents.push_back(std::stoi(t.substr(prefix.size())));
    } else {
      percents.push_back(-1);
    }
  }
  return percents;
}

TEST_F(LoadLogHostileTest, FileChangedWhileReadEndsWithPercentWithinRange) {
  const std::string line = GoodLine("01/Mar/2008", "/p1000");
  const struct {
    const char* name;
    std::function<void(const std::string& path)> change;
    std::int32_t records;
    std::int64_t rejected;
    int last_percent;
  } cases[] = {
      // Only what the file held when it was opened is read.
      {"grows", [&](const std::string& path) {
         std::ofstream(path, std::ios::binary | std::ios::app) << GoodLines(300);
       }, 200, 0, 100},
      {"shrinks to half", [&](const std::string& path) { fs::resize_file(path, 100 * line.size()); },
       100, 0, 50},
      {"shrinks to nothing", [&](const std::string& path) { fs::resize_file(path, 0); }, 0, 0, 0},
      {"shrinks mid-line", [&](const std::string& path) { fs::resize_file(path, 150 * line.size() + 7); },
       150, 1, 75},
  };
  for (const auto& c : cases) {
    const std::string path = Log("changing.log", GoodLines(200));
    bool changed = false;
    platform_.on_paint = [&] {
      if (!changed) c.change(path);
      changed = true;
    };
    platform_.status_at_paint.clear();
    platform_.status_at_message.clear();
    form_->LoadLog(path);
    platform_.on_paint = nullptr;

    EXPECT_TRUE(changed) << c.name << ": the load paints as it starts reading";
    EXPECT_EQ(form_->RecordCount(), c.records) << c.name;
    EXPECT_EQ(form_->RejectedCount(), c.rejected) << c.name;
    std::vector<std::string> shown = platform_.status_at_paint;
    shown.insert(shown.end(), platform_.status_at_message.begin(), platform_.status_at_message.end());
    const std::vector<int> percents = PercentsShown(shown, path);
    for (int p : percents) {
      EXPECT_GE(p, 0) << c.name;
      EXPECT_LE(p, 100) << c.name;
    }
    ASSERT_FALSE(percents.empty()) << c.name;
    EXPECT_EQ(percents.back(), c.last_percent) << c.name;
    EXPECT_EQ(form_->StatusText, "") << c.name;
  }
}

TEST(LoadPercent, IsTruncatedClampedAndCountsPastFourGigabytes) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  const struct {
    std::int64_t position, size;
    int percent;
  } cases[] = {
      {0, 100, 0},
      {1, 100, 1},
      {99, 100, 99},
      {100, 100, 100},
      {2, 3, 66},
      {150, 100, 100},                      // the file grew
      {-1, 100, 0},
      {0, 0, 100},                          // nothing to read: no division
      {5, 0, 100},
      {5, -1, 100},
      {2'500'000'000, 5'000'000'000, 50},
      {4'294'967'296, 5'000'000'000, 85},   // past 2^32
      {4'999'999'999, 5'000'000'000, 99},
      {5'000'000'000, 5'000'000'000, 100},
      {5'000'000'001, 5'000'000'000, 100},
      {3'000'000'000'000, 6'000'000'000'000, 50},
      {5'999'999'999'999, 6'000'000'000'000, 99},
      {6'000'000'000'000, 6'000'000'000'000, 100},
      {kMax, kMax, 100},
      {kMax / 2, kMax, 50},
      {1, kMax, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LoadPercent(c.position, c.size), c.percent) << c.position << " of " << c.size;
  }
}

// ---- Things that are no regular file ----

TEST_F(LoadLogHostileTest, FolderFifoAndDeviceAreRefusedWithoutTouchingTheLog) {
  LoadGoodLog();
  const std::string fifo = (dir_.path() / "pipe").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0) << std::strerror(errno);
  fs::create_directory(dir_.path() / "folder");
  fs::create_symlink(fifo, dir_.path() / "link-to-pipe");
  const std::string targets[] = {
      (dir_.path() / "folder").string(),
      (dir_.path() / "folder").string() + "/",
      fifo,
      (dir_.path() / "link-to-pipe").string(),
      "/dev/zero",
      "/dev/null",
  };
  for (const std::string& target : targets) {
    if (target.rfind("/dev/", 0) == 0 && !fs::exists(target)) continue;
    const Shown before = Snapshot();
    form_->LoadLog(target);
    const std::string refusal = target + " is not a regular file and cannot be opened as a log.";
    EXPECT_EQ(platform_.messages, std::vector<std::string>{refusal}) << target;
    EXPECT_EQ(form_->LoadError, refusal) << target;
    ExpectUnchanged(before, target);
    EXPECT_FALSE(fs::exists(target + ".err")) << target;
    platform_.messages.clear();
  }
}

TEST_F(LoadLogHostileTest, LinkToARegularLogLoadsIt) {
  const std::string path = Log("real.log", GoodLine("01/Mar/2008"));
  const std::string link = (dir_.path() / "site.example-access_log").string();
  fs::create_symlink(path, link);
  form_->LoadLog(link);
  EXPECT_EQ(form_->RecordCount(), 1);
  EXPECT_EQ(form_->LoadError, "");
  EXPECT_EQ(form_->SiteName(), "site.example");
}

TEST(LogPieceReader, OpensOnlyRegularUncompressedFiles) {
  TempFolder dir;
  WriteFile(dir.path() / "log", "a\n");
  WriteFile(dir.path() / "empty", "");
  WriteFile(dir.path() / "one byte", "\x1F");
  WriteFile(dir.path() / "gz", "\x1F\x8B\x08\x00");
  WriteFile(dir.path() / "zip", "PK\x03\x04 rest");
  fs::create_directory(dir.path() / "folder");
  const std::string fifo = (dir.path() / "pipe").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  using R = LogPieceReader::OpenResult;
  const struct {
    std::string path;
    R result;
    int error;
  } cases[] = {
      {(dir.path() / "log").string(), R::kOpened, 0},
      {(dir.path() / "empty").string(), R::kOpened, 0},
      {(dir.path() / "one byte").string(), R::kOpened, 0},
      {(dir.path() / "gz").string(), R::kOpened, 0},
      {(dir.path() / "zip").string(), R::kZipArchive, 0},
      {(dir.path() / "folder").string(), R::kNotRegularFile, 0},
      {fifo, R::kNotRegularFile, 0},
      {"/dev/null", R::kNotRegularFile, 0},
      {(dir.path() / "none").string(), R::kCannotOpen, ENOENT},
      {(dir.path() / "log" / "x").string(), R::kCannotOpen, ENOTDIR},
      {(dir.path() / std::string(300, 'n')).string(), R::kCannotOpen, ENAMETOOLONG},
      {"", R::kCannotOpen, ENOENT},
  };
  for (const auto& c : cases) {
    LogPieceReader reader;
    EXPECT_EQ(reader.Open(c.path), c.result) << c.path;
    if (c.result == R::kCannotOpen) {
      EXPECT_EQ(reader.OpenError(), c.error) << c.path;
    }
  }
}

// ---- A log that cannot be opened ----

TEST_F(LoadLogHostileTest, LogThatCannotBeOpenedSaysWhyAndLoadsAsEmpty) {
  const std::string file = Log("plain", "x\n");
  struct Case {
    std::string path;
    int error;
  };
  std::vector<Case> cases = {
      {(dir_.path() / "missing.log").string(), ENOENT},
      {file + "/access_log", ENOTDIR},
      {(dir_.path() / std::string(300, 'a')).string(), ENAMETOOLONG},
  };
  // Root reads any file whatever its mode, so the mode is tried only without root.
  if (::geteuid() != 0) {
    const std::string locked = Log("locked.log", GoodLine("01/Mar/2008"));
    fs::permissions(locked, fs::perms::none);
    cases.push_back({locked, EACCES});
  }
  for (const Case& c : cases) {
    LoadGoodLog();
    form_->LoadLog(c.path);
    const std::string why = "Could not open " + c.path + ": " + std::strerror(c.error);
    EXPECT_EQ(platform_.messages, std::vector<std::string>{why}) << c.path;
    EXPECT_EQ(form_->LoadError, why) << c.path;
    ASSERT_NE(form_->Records(), nullptr) << c.path;
    EXPECT_EQ(form_->RecordCount(), 0) << c.path;
    EXPECT_EQ(form_->Memo3[0], "  Log: " + c.path.substr(c.path.rfind('/') + 1)) << c.path;
    EXPECT_EQ(form_->Memo3[1], "  Records: 0") << c.path;
    EXPECT_EQ(form_->Caption, "Quelmark Tallyweave") << c.path;
    EXPECT_EQ(form_->SiteName(), "") << c.path;
    EXPECT_EQ(form_->StatusText, "") << c.path;
  }
}

// ---- A reject file that cannot be written ----

TEST_F(LoadLogHostileTest, UnwritableRejectFileIsNamedInTheClosingMessage) {
  const struct {
    const char* name;
    std::string log;
    std::int32_t records;
    const char* first_part;
  } cases[] = {
      {"with records", GoodLine("01/Mar/2008") + "bad\n" + GoodLine("02/Mar/2008") + "worse\n", 2,
       "Done\nRejected: 2\n  wrong number of fields: 2"},
      {"without records", "bad\nworse\n", 0, "No records\n  wrong number of fields: 2"},
  };
  for (const auto& c : cases) {
    const std::string path = Log("folder.log", c.log);
    fs::create_directory(path + ".err");  // a folder where the reject file would go
    form_->LoadLog(path);
    EXPECT_EQ(form_->RecordCount(), c.records) << c.name;
    EXPECT_EQ(form_->RejectedCount(), 2) << c.name;
    EXPECT_EQ(form_->Memo3[2], "  Rejected: 2") << c.name;
    EXPECT_EQ(platform_.messages,
              std::vector<std::string>{std::string(c.first_part) +
                                       "\nThe rejected lines could not be written to " + path +
                                       ".err: " + std::strerror(EISDIR)})
        << c.name;
    EXPECT_EQ(form_->LoadError, "") << c.name << ": the log itself loaded";
    EXPECT_TRUE(fs::is_directory(path + ".err")) << c.name;
    platform_.messages.clear();
  }
}

TEST_F(LoadLogHostileTest, RejectFileThatFillsUpIsNamedInTheClosingMessage) {
  const std::string path = Log("full.log", GoodLine("01/Mar/2008") + std::string(40000, 'x') + "\n");
  {
    testing::FileSizeLimit limit(10000);
    ASSERT_TRUE(limit.ok());
    form_->LoadLog(path);
  }
  EXPECT_EQ(form_->RecordCount(), 1);
  EXPECT_EQ(form_->RejectedCount(), 5);
  EXPECT_EQ(platform_.messages,
            std::vector<std::string>{"Done\nRejected: 5\n  wrong number of fields: 5\n"
                                     "The rejected lines could not be written to " +
                                     path + ".err: " + std::strerror(EFBIG)});
  EXPECT_LE(fs::file_size(path + ".err"), 10000u);
}

}  // namespace
}  // namespace tw
