#include "Loadlog_reject_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace tw {

void RejectFile::Write(std::string_view piece) {
  if (error_ != 0) return;
  if (file_ == nullptr && !Create()) return;
  if (std::fwrite(piece.data(), 1, piece.size(), file_) != piece.size()) Fail();
}

void RejectFile::Close() {
  if (file_ == nullptr) return;
  errno = 0;
  if (std::fclose(file_) != 0) Fail();
  file_ = nullptr;
}

// A fresh file: one left at this name (or a link put there since the old one
// was deleted) is neither appended to nor followed.
bool RejectFile::Create() {
  const int fd = ::open(path_.c_str(),
                        O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK,
                        0666);
  if (fd < 0) {
    error_ = errno != 0 ? errno : EIO;
    return false;
  }
  file_ = ::fdopen(fd, "wb");
  if (file_ == nullptr) {
    error_ = errno != 0 ? errno : EIO;
    ::close(fd);
    return false;
  }
  return true;
}

void RejectFile::Fail() {
  if (error_ == 0) error_ = errno != 0 ? errno : EIO;
}

void DeleteRejectFile(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return;
  std::filesystem::remove(path, ec);
}

}  // namespace tw
