#pragma once

// The real file system behind SystemFiles(): the reading side lives in
// base/file_access.cpp, the writing side in base/file_output.cpp. Every
// error is the errno of the call that failed, EIO when that left none.

#include "base/file_access.h"

namespace tw {

class SystemFileAccess : public FileAccess {
 public:
  OpenedFile Open(const std::string& path) override;
  PathInfo LookAt(const std::string& path) override;
  int RealPath(const std::string& path, std::string& resolved) override;
  CreatedFile Create(const std::string& path) override;
  CreatedFile OpenForWriting(const std::string& path) override;
  CreatedFile CreateUnique(const std::string& prefix, std::optional<unsigned> mode) override;
  int Rename(const std::string& from, const std::string& to) override;
  int Remove(const std::string& path) override;
};

}  // namespace tw
