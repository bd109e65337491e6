#include "Loadlog_atomic_file.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace tw {
namespace {

// The longest part of the target's name the new file's name repeats, so that
// a target with a long name still leaves room for the unique ending.
constexpr std::size_t kNameKept = 200;

int ErrnoOr(int fallback) { return errno != 0 ? errno : fallback; }

// The permission bits of a new file, as open(2) with 0666 would give them.
mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

AtomicFile::AtomicFile(const std::string& path) : target_(path) {
  struct stat st {};
  mode_t mode = 0;
  errno = 0;
  if (::stat(path.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) {
      // A device or FIFO: there is nothing to replace, only to write to.
      file_ = std::fopen(path.c_str(), "wb");
      if (file_ == nullptr) Fail(ErrnoOr(EIO));
      return;
    }
    mode = st.st_mode & 07777;
    struct stat link {};
    if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
      std::error_code ec;
      const auto resolved = std::filesystem::canonical(path, ec);
      if (ec) {
        Fail(ec.value());
        return;
      }
      target_ = resolved.string();
    }
  } else if (errno != ENOENT) {
    Fail(ErrnoOr(EIO));
    return;
  } else {
    struct stat link {};
    if (::lstat(path.c_str(), &link) == 0) {
      // A link that points nowhere: writing through it creates its target.
      file_ = std::fopen(path.c_str(), "wb");
      if (file_ == nullptr) Fail(ErrnoOr(EIO));
      return;
    }
    mode = NewFileMode();
  }

  const std::size_t slash = target_.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : target_.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target_ : target_.substr(slash + 1);
  std::string pattern = folder + "." + name.substr(0, kNameKept) + ".XXXXXX";
  errno = 0;
  const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) {
    Fail(ErrnoOr(EIO));
    return;
  }
  temp_path_ = pattern;
  if (::fchmod(fd, mode) != 0) {
    Fail(ErrnoOr(EIO));
    ::close(fd);
    Discard();
    return;
  }
  file_ = ::fdopen(fd, "wb");
  if (file_ == nullptr) {
    Fail(ErrnoOr(EIO));
    ::close(fd);
    Discard();
  }
}

AtomicFile::~AtomicFile() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  Discard();
}

void AtomicFile::Fail(int error) {
  if (error_ == 0) error_ = error != 0 ? error : EIO;
}

void AtomicFile::Discard() {
  if (!temp_path_.empty()) ::unlink(temp_path_.c_str());
  temp_path_.clear();
}

void AtomicFile::Write(std::string_view bytes) {
  if (error_ != 0 || file_ == nullptr || bytes.empty()) return;
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) Fail(ErrnoOr(EIO));
}

int AtomicFile::Commit() {
  if (file_ == nullptr) {
    Fail(EBADF);
    return error_;
  }
  errno = 0;
  if (error_ == 0 && std::fflush(file_) != 0) Fail(ErrnoOr(EIO));
  // The bytes reach the disc before the name does, so a crash cannot leave
  // an empty file in place of the old one.
  if (error_ == 0 && !temp_path_.empty() && ::fsync(::fileno(file_)) != 0) Fail(ErrnoOr(EIO));
  errno = 0;
  if (std::fclose(file_) != 0) Fail(ErrnoOr(EIO));
  file_ = nullptr;
  if (error_ == 0 && !temp_path_.empty()) {
    errno = 0;
    if (::rename(temp_path_.c_str(), target_.c_str()) != 0) {
      Fail(ErrnoOr(EIO));
    } else {
      temp_path_.clear();
    }
  }
  Discard();
  return error_;
}

}  // namespace tw
