#pragma once

// The reject file of one log file: created at the first rejected piece, so a
// log without rejects leaves none, and complete once Close has run. When it
// cannot be created or written, rejected pieces are still counted and error()
// tells why.

#include <memory>
#include <string>
#include <string_view>

#include "base/file_access.h"

namespace tw {

class RejectFile {
 public:
  // REQUIRES: `files` outlives the reject file.
  explicit RejectFile(std::string path, FileAccess& files = SystemFiles())
      : files_(files), path_(std::move(path)) {}
  ~RejectFile() { Close(); }
  RejectFile(const RejectFile&) = delete;
  RejectFile& operator=(const RejectFile&) = delete;

  void Write(std::string_view piece);
  // Flushes and closes the file; a failure to write the last bytes counts too.
  void Close();
  // The error number of the first failure, or 0.
  int error() const { return error_; }
  const std::string& path() const { return path_; }

 private:
  bool Create();
  void Note(int error);

  FileAccess& files_;
  std::string path_;
  std::unique_ptr<ByteOutput> output_;
  int error_ = 0;
};

// Deletes the reject file of an earlier load; a folder of that name is left alone.
void DeleteRejectFile(FileAccess& files, const std::string& path);

}  // namespace tw
