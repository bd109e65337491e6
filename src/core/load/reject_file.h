#pragma once

// The reject file of one log file: created at the first rejected piece, so a
// log without rejects leaves none, and complete once Close has run. When it
// cannot be created or written, rejected pieces are still counted and error()
// tells why. It holds whole pieces up to a limit, so a packed log of damaged
// text cannot fill the disk; the pieces past the limit are counted, not written.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/file_access.h"

namespace tw {

// The most bytes a reject file holds: 1 GiB.
inline constexpr std::int64_t kRejectFileLimit = std::int64_t{1} << 30;

class RejectFile {
 public:
  // REQUIRES: `files` outlives the reject file; `limit` >= 0.
  explicit RejectFile(std::string path, FileAccess& files = SystemFiles(),
                      std::int64_t limit = kRejectFileLimit)
      : files_(files), path_(std::move(path)), limit_(limit) {}
  ~RejectFile() { Close(); }
  RejectFile(const RejectFile&) = delete;
  RejectFile& operator=(const RejectFile&) = delete;

  // `position`: where the piece starts in the log's text. The first piece that
  // would take the file past its limit, and every piece after it, is left out.
  void Write(std::string_view piece, std::int64_t position);
  // Flushes and closes the file; a failure to write the last bytes counts too.
  void Close();
  // The error number of the first failure, or 0.
  int error() const { return error_; }
  const std::string& path() const { return path_; }
  // Where in the log's text the first piece left out starts; -1 when none was.
  std::int64_t cut_at() const { return cut_at_; }
  std::int64_t limit() const { return limit_; }

 private:
  bool Create();
  void Note(int error);

  FileAccess& files_;
  std::string path_;
  std::unique_ptr<ByteOutput> output_;
  std::int64_t limit_;
  std::int64_t written_ = 0;
  std::int64_t cut_at_ = -1;
  int error_ = 0;
};

// Deletes the reject file of an earlier load; a folder of that name is left alone.
void DeleteRejectFile(FileAccess& files, const std::string& path);

}  // namespace tw
