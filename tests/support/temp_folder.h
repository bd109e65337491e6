#pragma once

// A folder of its own under the system's temporary folder, removed with all it
// holds when the object goes. path() is empty when none could be made, so a
// fixture starts with ASSERT_FALSE(folder.path().empty()).

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace tw::testing {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tw_test_XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The path with a slash at the end, as a program folder is given.
  std::string Slashed() const { return path_.string() + "/"; }

 private:
  std::filesystem::path path_;
};

}  // namespace tw::testing
