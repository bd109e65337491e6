// The atomic file written into a FakeFiles: where the bytes land for each kind
// of target, and that a failed step leaves the target as it was.

#include "base/atomic_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <string>
#include <vector>

#include "fake_files.h"

namespace tw {
namespace {

using File = testing::FakeFiles::File;
using Type = PathInfo::Type;

// The atomic file's own names left in the fake: hidden names beginning with '.'.
std::vector<std::string> TemporaryFiles(const testing::FakeFiles& files) {
  std::vector<std::string> left;
  for (const auto& [path, file] : files.files) {
    if (path.find("/.") != std::string::npos) left.push_back(path);
  }
  return left;
}

bool Renamed(const testing::FakeFiles& files) {
  for (const std::string& step : files.journal) {
    if (step.rfind("rename ", 0) == 0) return true;
  }
  return false;
}

TEST(AtomicFile, PutsTheBytesWhereEachKindOfTargetWantsThem) {
  const struct Case {
    const char* name;
    std::map<std::string, File> files;
    std::map<std::string, std::string> links;
    std::string written;  // where "new" is to be found
    unsigned mode;
    bool renamed;
    int error;
  } cases[] = {
      {"a new file", {}, {}, "/t/a.csv", 0600, true, 0},
      {"a file keeps its mode",
       {{"/t/a.csv", {"old", -1, Type::kRegular, 0640}}},
       {},
       "/t/a.csv",
       0640,
       true,
       0},
      {"a link stays a link",
       {{"/t/real.csv", {"old", -1, Type::kRegular, 0640}}},
       {{"/t/a.csv", "/t/real.csv"}},
       "/t/real.csv",
       0640,
       true,
       0},
      {"a link to nowhere makes its target",
       {},
       {{"/t/a.csv", "/t/gone.csv"}},
       "/t/gone.csv",
       0644,
       false,
       0},
      {"a device is written to",
       {{"/t/a.csv", {"", -1, Type::kOther, 0666}}},
       {},
       "/t/a.csv",
       0666,
       false,
       0},
      {"a folder is left alone",
       {{"/t/a.csv", {"", -1, Type::kDirectory, 0755}}},
       {},
       "",
       0,
       false,
       EISDIR},
  };
  for (const Case& c : cases) {
    testing::FakeFiles files;
    files.files = c.files;
    files.links = c.links;
    files.new_file_mode = 0600;
    {
      AtomicFile out("/t/a.csv", files);
      out.Write("new");
      EXPECT_EQ(out.Commit(), c.error) << c.name;
    }
    EXPECT_EQ(Renamed(files), c.renamed) << c.name;
    EXPECT_EQ(files.links, c.links) << c.name;
    EXPECT_EQ(TemporaryFiles(files), std::vector<std::string>{}) << c.name;
    if (c.written.empty()) continue;
    EXPECT_EQ(files.files[c.written].bytes, "new") << c.name;
    EXPECT_EQ(files.files[c.written].mode, c.mode) << c.name;
  }
}

TEST(AtomicFile, AFailedStepLeavesTheOldBytesAndNoTemporaryFile) {
  const struct Case {
    const char* name;
    std::int64_t fail_write_at;
    int sync_error;
    int rename_error;
    bool commit;
    int error;
  } cases[] = {
      {"the first byte", 0, 0, 0, true, ENOSPC}, {"inside the second write", 6, 0, 0, true, ENOSPC},
      {"the last byte", 7, 0, 0, true, ENOSPC},  {"the sync", -1, EIO, 0, true, EIO},
      {"the rename", -1, 0, EXDEV, true, EXDEV}, {"no commit", -1, 0, 0, false, 0},
  };
  for (const Case& c : cases) {
    testing::FakeFiles files;
    files.files["/t/a.csv"] = {"old bytes", -1, Type::kRegular, 0640};
    files.fail_write_at = c.fail_write_at;
    files.sync_error = c.sync_error;
    files.rename_error = c.rename_error;
    {
      AtomicFile out("/t/a.csv", files);
      out.Write("abcd");
      out.Write("efgh");
      EXPECT_EQ(files.files["/t/a.csv"].bytes, "old bytes") << c.name << ": before the commit";
      if (c.commit) {
        EXPECT_EQ(out.Commit(), c.error) << c.name;
      }
      EXPECT_EQ(out.error(), c.error) << c.name;
    }
    EXPECT_EQ(files.files["/t/a.csv"].bytes, "old bytes") << c.name;
    EXPECT_EQ(TemporaryFiles(files), std::vector<std::string>{}) << c.name;
  }
}

TEST(AtomicFile, SyncsAndClosesTheNewFileBeforeItTakesTheName) {
  testing::FakeFiles files;
  AtomicFile out("/t/a.csv", files);
  out.Write("new");
  ASSERT_EQ(out.Commit(), 0);
  EXPECT_EQ(files.journal, (std::vector<std::string>{
                               "create /t/.a.csv.000001", "sync /t/.a.csv.000001",
                               "close /t/.a.csv.000001", "rename /t/.a.csv.000001 /t/a.csv"}));
}

}  // namespace
}  // namespace tw
