// The reject file written into a FakeFiles: what it holds when a write fails,
// and that a load goes on counting what it rejects.

#include "load/reject_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "fake_files.h"
#include "load/load_messages.h"
#include "load/loader.h"

namespace tw {
namespace {

constexpr const char* kPath = "/logs/access.log.err";

TEST(RejectFile, KeepsTheBytesBeforeTheFailureAndTheFirstError) {
  const struct Case {
    const char* name;
    std::int64_t fail_write_at;
    int write_error;
    std::size_t kept;  // bytes of "bad one\nbad two\n"
    int error;
  } cases[] = {
      {"no failure", -1, ENOSPC, 16, 0},
      {"the first byte", 0, ENOSPC, 0, ENOSPC},
      {"inside the second piece", 10, EIO, 10, EIO},
      {"the last byte", 15, ENOSPC, 15, ENOSPC},
  };
  for (const Case& c : cases) {
    testing::FakeFiles files;
    files.fail_write_at = c.fail_write_at;
    files.write_error = c.write_error;
    RejectFile rejects(kPath, files);
    rejects.Write("bad one\n", 0);
    rejects.Write("bad two\n", 8);
    rejects.Close();
    EXPECT_EQ(rejects.error(), c.error) << c.name;
    EXPECT_EQ(files.files[kPath].bytes, std::string("bad one\nbad two\n").substr(0, c.kept))
        << c.name;
  }
}

TEST(RejectFile, ALoadWhoseRejectFileFillsUpStillCountsEveryReject) {
  const std::string good =
      "10.0.0.1 - - [01/Mar/2008:12:00:00 +0100] \"GET / HTTP/1.1\" 200 5 \"-\" \"M\"\n";
  testing::FakeFiles files;
  files.files["/prog/crawlers.lst"] = {"Bot/1.0\n"};
  files.files["/logs/access.log"] = {good + "bad one\n" + good + "bad two\nbad three\n"};
  files.files[kPath] = {"rejects of an earlier load"};
  files.fail_write_at = 12;
  LoadRequest request;
  request.sources = {LogSource{"/logs/access.log", std::nullopt}};
  request.crawler_path = "/prog/crawlers.lst";
  request.files = &files;
  request.threads = 1;
  LoadedLog log;
  ASSERT_EQ(LoadLogSources(request, log).kind, LoadRefusal::Kind::kNone);

  ASSERT_EQ(log.files.size(), 1u);
  EXPECT_EQ(log.files[0].reject_error, ENOSPC);
  EXPECT_EQ(log.files[0].records, 2);
  EXPECT_EQ(log.files[0].rejected, 3);
  EXPECT_EQ(log.rejected, 3);
  EXPECT_EQ(files.files[kPath].bytes, "bad one\nbad ");
}

TEST(RejectFile, HoldsWholePiecesUpToItsLimitAndSaysWhereItStopped) {
  const struct Case {
    std::int64_t limit;
    const char* kept;
    std::int64_t cut_at;
  } cases[] = {
      {1000, "bad one\nbad two\nbad three\nx\n", -1},
      {28, "bad one\nbad two\nbad three\nx\n", -1},
      {26, "bad one\nbad two\nbad three\n", 200},
      {25, "bad one\nbad two\n", 116},  // the last piece would fit, but follows a cut
      {8, "bad one\n", 58},
      {0, nullptr, 0},  // not even created
  };
  for (const Case& c : cases) {
    testing::FakeFiles files;
    RejectFile rejects(kPath, files, c.limit);
    rejects.Write("bad one\n", 0);
    rejects.Write("bad two\n", 58);
    rejects.Write("bad three\n", 116);
    rejects.Write("x\n", 200);
    rejects.Close();
    EXPECT_EQ(rejects.cut_at(), c.cut_at) << c.limit;
    if (c.kept == nullptr) {
      EXPECT_EQ(files.files.count(kPath), 0u) << c.limit;
    } else {
      EXPECT_EQ(files.files[kPath].bytes, c.kept) << c.limit;
    }
  }
}

// On one thread and in chunks alike: the same bytes kept, the same place named,
// and every reject still counted.
TEST(RejectFile, ALoadPastTheLimitCountsEveryRejectAndNamesWhereTheFileStopped) {
  const std::string good =
      "10.0.0.1 - - [01/Mar/2008:12:00:00 +0100] \"GET / HTTP/1.1\" 200 5 \"-\" \"M\"\n";
  std::string text;
  for (int i = 0; i < 300; ++i) text += good + "bad " + std::to_string(i) + "\n";
  const std::size_t first_unwritten = text.find("bad 40\n");
  for (const unsigned threads : {1u, 2u}) {
    testing::FakeFiles files;
    files.files["/prog/crawlers.lst"] = {"Bot/1.0\n"};
    files.files["/logs/access.log"] = {text};
    LoadRequest request;
    request.sources = {LogSource{"/logs/access.log", std::nullopt}};
    request.crawler_path = "/prog/crawlers.lst";
    request.files = &files;
    request.threads = threads;
    request.chunk_bytes = 300;
    request.reject_limit = 10 * 6 + 30 * 7;  // "bad 0\n" to "bad 9\n", "bad 10\n" to "bad 39\n"
    LoadedLog log;
    ASSERT_EQ(LoadLogSources(request, log).kind, LoadRefusal::Kind::kNone);
    EXPECT_EQ(log.files[0].rejected, 300) << threads;
    EXPECT_EQ(log.files[0].reject_cut_at, static_cast<std::int64_t>(first_unwritten)) << threads;
    std::string kept;
    for (int i = 0; i < 40; ++i) kept += "bad " + std::to_string(i) + "\n";
    EXPECT_EQ(files.files[kPath].bytes, kept) << threads;
    const std::string message = SummariseLoad(LanguagePack(), log, 300).message;
    EXPECT_NE(message.find("The reject file /logs/access.log.err was cut at its limit of 270 bytes: "
                           "the rejected lines from byte " + std::to_string(first_unwritten) +
                           " of /logs/access.log on are counted but not written."),
              std::string::npos)
        << message;
  }
}

}  // namespace
}  // namespace tw
