#include "base/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <new>
#include <system_error>

#include "base/system_files.h"

namespace tw {
namespace {

bool IsRegular(const struct stat& st) { return S_ISREG(st.st_mode); }

// A regular file read up to the length it had when it was opened: a log that
// grows while it is read ends where it ended at the open.
class SystemFileInput : public ByteInput {
 public:
  SystemFileInput(int fd, std::int64_t size) : fd_(fd), size_(size) {}
  ~SystemFileInput() override { ::close(fd_); }
  SystemFileInput(const SystemFileInput&) = delete;
  SystemFileInput& operator=(const SystemFileInput&) = delete;

  std::size_t Read(char* buffer, std::size_t size) override {
    const std::int64_t left = size_ - read_;
    if (left <= 0 || error_.kind != InputError::Kind::kNone) return 0;
    if (static_cast<std::uint64_t>(left) < size) size = static_cast<std::size_t>(left);
    for (;;) {
      const ssize_t got = ::read(fd_, buffer, size);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) {
        error_ = {InputError::Kind::kRead, errno != 0 ? errno : EIO, read_, -1};
        return 0;
      }
      read_ += got;
      return static_cast<std::size_t>(got);
    }
  }
  const InputError& error() const override { return error_; }
  std::int64_t Consumed() const override { return read_; }
  bool Rewind() override {
    if (error_.kind != InputError::Kind::kNone || ::lseek(fd_, 0, SEEK_SET) != 0) return false;
    read_ = 0;
    return true;
  }

 private:
  int fd_;
  std::int64_t size_;
  std::int64_t read_ = 0;
  InputError error_;
};

PathInfo::Type TypeOf(const struct stat& st) {
  if (S_ISREG(st.st_mode)) return PathInfo::Type::kRegular;
  return S_ISDIR(st.st_mode) ? PathInfo::Type::kDirectory : PathInfo::Type::kOther;
}

}  // namespace

OpenedFile SystemFileAccess::Open(const std::string& path) {
  OpenedFile result;
  // Opening a FIFO for reading waits for a writer and reading a device may
  // never end, so the type is looked at first, and again on the open file in
  // case the name was replaced in between.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    result.error = errno;
    return result;
  }
  if (!IsRegular(st)) {
    result.status = OpenedFile::Status::kNotRegularFile;
    result.directory = S_ISDIR(st.st_mode);
    return result;
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    result.error = errno;
    return result;
  }
  if (::fstat(fd, &st) != 0 || !IsRegular(st)) {
    ::close(fd);
    result.status = OpenedFile::Status::kNotRegularFile;
    return result;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  try {
    result.input = std::make_unique<SystemFileInput>(fd, static_cast<std::int64_t>(st.st_size));
  } catch (...) {
    ::close(fd);
    throw;
  }
  result.status = OpenedFile::Status::kOpened;
  result.size = static_cast<std::int64_t>(st.st_size);
  return result;
}

PathInfo SystemFileAccess::LookAt(const std::string& path) {
  PathInfo info;
  struct stat st {};
  struct stat link {};
  errno = 0;
  if (::stat(path.c_str(), &st) == 0) {
    info.type = TypeOf(st);
    info.mode = st.st_mode & 07777;
    info.link = ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
    return info;
  }
  if (errno != ENOENT) {
    info.error = errno != 0 ? errno : EIO;
    return info;
  }
  // Nothing at the end of the path, yet something at the path: a link.
  info.link = ::lstat(path.c_str(), &link) == 0;
  return info;
}

int SystemFileAccess::RealPath(const std::string& path, std::string& resolved) {
  std::error_code ec;
  const std::filesystem::path real = std::filesystem::canonical(path, ec);
  if (ec) return ec.value() != 0 ? ec.value() : EIO;
  resolved = real.string();
  return 0;
}

FileAccess& SystemFiles() {
  static SystemFileAccess files;
  return files;
}

int ReadListFile(FileAccess& files, const std::string& path, std::string& text) {
  OpenedFile file = files.Open(path);
  if (file.status == OpenedFile::Status::kCannotOpen) return file.error != 0 ? file.error : ENOENT;
  if (file.status == OpenedFile::Status::kNotRegularFile) return file.directory ? EISDIR : EINVAL;
  std::string contents;
  char block[64 * 1024];
  for (;;) {
    const std::size_t got = file.input->Read(block, sizeof block);
    if (got == 0) break;
    contents.append(block, got);
  }
  if (file.input->error().kind != InputError::Kind::kNone) {
    return file.input->error().number != 0 ? file.input->error().number : EIO;
  }
  text = std::move(contents);
  return 0;
}

}  // namespace tw
