// The writing side of the real file system.

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "base/system_files.h"

namespace tw {
namespace {

int ErrnoOr(int fallback) { return errno != 0 ? errno : fallback; }

// The permission bits of a new file, as open(2) with 0666 would give them.
mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// Bytes wait in the stream's buffer, so a full disc may first be told by a
// later Write, by Sync or by Close.
class SystemFileOutput : public ByteOutput {
 public:
  explicit SystemFileOutput(std::FILE* file) : file_(file) {}
  ~SystemFileOutput() override {
    if (file_ != nullptr) std::fclose(file_);
  }
  SystemFileOutput(const SystemFileOutput&) = delete;
  SystemFileOutput& operator=(const SystemFileOutput&) = delete;

  int Write(std::string_view bytes) override {
    errno = 0;
    return std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size() ? 0 : ErrnoOr(EIO);
  }
  int Sync() override {
    errno = 0;
    if (std::fflush(file_) != 0) return ErrnoOr(EIO);
    return ::fsync(::fileno(file_)) == 0 ? 0 : ErrnoOr(EIO);
  }
  int Close() override {
    errno = 0;
    const int closed = std::fclose(file_);
    file_ = nullptr;
    return closed == 0 ? 0 : ErrnoOr(EIO);
  }

 private:
  std::FILE* file_;
};

CreatedFile Failed(int error) {
  CreatedFile result;
  result.error = error;
  return result;
}

CreatedFile Wrap(std::FILE* file) {
  CreatedFile result;
  try {
    result.output = std::make_unique<SystemFileOutput>(file);
  } catch (...) {
    std::fclose(file);
    throw;
  }
  return result;
}

// The stream of an open descriptor, which is closed when none can be made.
CreatedFile WrapDescriptor(int fd) {
  std::FILE* file = ::fdopen(fd, "wb");
  if (file == nullptr) {
    const int error = ErrnoOr(EIO);
    ::close(fd);
    return Failed(error);
  }
  return Wrap(file);
}

}  // namespace

CreatedFile SystemFileAccess::Create(const std::string& path) {
  const int fd =
      ::open(path.c_str(),
             O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
  if (fd < 0) return Failed(ErrnoOr(EIO));
  return WrapDescriptor(fd);
}

CreatedFile SystemFileAccess::OpenForWriting(const std::string& path) {
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return Failed(ErrnoOr(EIO));
  return Wrap(file);
}

CreatedFile SystemFileAccess::CreateUnique(const std::string& prefix,
                                           std::optional<unsigned> mode) {
  const mode_t bits = mode.has_value() ? static_cast<mode_t>(*mode) : NewFileMode();
  std::string path = prefix + "XXXXXX";
  errno = 0;
  const int fd = ::mkostemp(path.data(), O_CLOEXEC);
  if (fd < 0) return Failed(ErrnoOr(EIO));
  // mkostemp makes the file private; it gets the bits of the file it replaces.
  if (::fchmod(fd, bits) != 0) {
    const int error = ErrnoOr(EIO);
    ::close(fd);
    ::unlink(path.c_str());
    return Failed(error);
  }
  CreatedFile result;
  try {
    result = WrapDescriptor(fd);
  } catch (...) {
    ::unlink(path.c_str());
    throw;
  }
  if (result.error != 0) {
    ::unlink(path.c_str());
  } else {
    result.path = std::move(path);
  }
  return result;
}

int SystemFileAccess::Rename(const std::string& from, const std::string& to) {
  errno = 0;
  return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : ErrnoOr(EIO);
}

int SystemFileAccess::Remove(const std::string& path) {
  errno = 0;
  return ::unlink(path.c_str()) == 0 ? 0 : ErrnoOr(EIO);
}

}  // namespace tw
