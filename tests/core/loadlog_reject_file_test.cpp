// The reject file written into a FakeFiles: what it holds when a write fails,
// and that a load goes on counting what it rejects.

#include "load/reject_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "fake_files.h"
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
    rejects.Write("bad one\n");
    rejects.Write("bad two\n");
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

}  // namespace
}  // namespace tw
