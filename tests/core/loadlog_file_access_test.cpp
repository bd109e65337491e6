// The writing side of FileAccess, asked the same questions on the disc and in
// FakeFiles: the writing tests trust the fake to answer as the disc does.

#include "base/file_access.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fake_files.h"
#include "temp_folder.h"

namespace tw {
namespace {

namespace fs = std::filesystem;
using Type = PathInfo::Type;

// The same five names under `root`: a file "file" (bytes "old", mode 0640), a
// folder, a link to the file and a link to nowhere; "none" is not there.
struct Side {
  const char* name;
  FileAccess* files;
  std::string root;
  std::string real_root;  // the root with its links resolved
};

Side OnDisc(const testing::TempFolder& folder) {
  const fs::path root = folder.path();
  std::ofstream(root / "file", std::ios::binary) << "old";
  fs::permissions(root / "file", static_cast<fs::perms>(0640));
  fs::create_directory(root / "folder");
  fs::create_symlink(root / "file", root / "link");
  fs::create_symlink(root / "nowhere", root / "dangling");
  return {"disc", &SystemFiles(), root.string(), fs::canonical(root).string()};
}

Side InFake(testing::FakeFiles& fake) {
  fake.files["/t/file"] = {"old", -1, Type::kRegular, 0640};
  fake.files["/t/folder"] = {"", -1, Type::kDirectory, 0755};
  fake.links["/t/link"] = "/t/file";
  fake.links["/t/dangling"] = "/t/nowhere";
  return {"fake", &fake, "/t", "/t"};
}

class FileAccessContract : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder_.path().empty());
    sides_ = {OnDisc(folder_), InFake(fake_)};
  }
  testing::TempFolder folder_;
  testing::FakeFiles fake_;
  std::vector<Side> sides_;
};

TEST_F(FileAccessContract, LooksAtAPathAsTheDiscDoes) {
  const struct Case {
    const char* path;
    Type type;
    bool link;
    unsigned mode;  // 0: not compared
  } cases[] = {
      {"/file", Type::kRegular, false, 0640}, {"/folder", Type::kDirectory, false, 0},
      {"/link", Type::kRegular, true, 0640},  {"/dangling", Type::kMissing, true, 0},
      {"/none", Type::kMissing, false, 0},
  };
  for (const Side& side : sides_) {
    for (const Case& c : cases) {
      const PathInfo info = side.files->LookAt(side.root + c.path);
      EXPECT_EQ(info.error, 0) << side.name << c.path;
      EXPECT_EQ(info.type, c.type) << side.name << c.path;
      EXPECT_EQ(info.link, c.link) << side.name << c.path;
      if (c.mode != 0) {
        EXPECT_EQ(info.mode, c.mode) << side.name << c.path;
      }
    }
    std::string real;
    EXPECT_EQ(side.files->RealPath(side.root + "/link", real), 0) << side.name;
    EXPECT_EQ(real, side.real_root + "/file") << side.name;
  }
}

TEST_F(FileAccessContract, RefusesWhatTheDiscRefuses) {
  for (const Side& side : sides_) {
    FileAccess& files = *side.files;
    const std::string& r = side.root;
    EXPECT_EQ(files.Create(r + "/link").error, ELOOP) << side.name;
    EXPECT_EQ(files.Create(r + "/folder").error, EISDIR) << side.name;
    EXPECT_EQ(files.OpenForWriting(r + "/folder").error, EISDIR) << side.name;
    EXPECT_EQ(files.Remove(r + "/folder"), EISDIR) << side.name;
    EXPECT_EQ(files.Remove(r + "/none"), ENOENT) << side.name;
    EXPECT_EQ(files.Rename(r + "/none", r + "/file"), ENOENT) << side.name;
    EXPECT_EQ(files.Rename(r + "/file", r + "/folder"), EISDIR) << side.name;
  }
}

}  // namespace
}  // namespace tw
