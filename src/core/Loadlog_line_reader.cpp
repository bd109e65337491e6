#include "Loadlog_line_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>

namespace tw {
namespace {
// One read brings this many bytes; the buffer holds one block and the
// unfinished piece carried over from the block before.
constexpr std::size_t kBlockSize = std::size_t{1} << 20;
constexpr std::size_t kBufferSize = kBlockSize + LogPieceReader::kMaxPiece;

// Enough of a file's start to tell every signature below.
constexpr std::size_t kSignatureBytes = 6;

constexpr std::string_view kCompressedSignatures[] = {
    std::string_view("\x1F\x8B", 2),                  // gzip
    std::string_view("\xFD\x37\x7A\x58\x5A\x00", 6),  // xz
    std::string_view("\x28\xB5\x2F\xFD", 4),          // zstd
    std::string_view("PK\x03\x04", 4),                // zip
};

bool IsRegular(const struct stat& st) { return S_ISREG(st.st_mode); }
}  // namespace

bool HasCompressedSignature(std::string_view head) {
  for (std::string_view signature : kCompressedSignatures) {
    if (head.substr(0, signature.size()) == signature) return true;
  }
  // bzip2: "BZh" and the block size, a digit from 1 to 9.
  return head.size() >= 4 && head.substr(0, 3) == "BZh" && head[3] >= '1' && head[3] <= '9';
}

int LoadPercent(std::int64_t position, std::int64_t size) {
  if (size <= 0) return 100;
  const double percent =
      std::trunc(static_cast<double>(position) * 100.0 / static_cast<double>(size));
  if (!(percent > 0.0)) return 0;  // also a NaN, which cannot arise but costs nothing
  return percent >= 100.0 ? 100 : static_cast<int>(percent);
}

LogPieceReader::~LogPieceReader() { Close(); }

void LogPieceReader::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

LogPieceReader::OpenResult LogPieceReader::Open(const std::string& path) {
  Close();
  open_error_ = 0;
  read_error_ = 0;
  // Opening a FIFO for reading waits for a writer and reading a device may
  // never end, so the type is looked at first, and again on the open file in
  // case the name was replaced in between.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    open_error_ = errno;
    return OpenResult::kCannotOpen;
  }
  if (!IsRegular(st)) return OpenResult::kNotRegularFile;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    open_error_ = errno;
    return OpenResult::kCannotOpen;
  }
  fd_ = fd;
  if (::fstat(fd_, &st) != 0 || !IsRegular(st)) {
    Close();
    return OpenResult::kNotRegularFile;
  }
  const int flags = ::fcntl(fd_, F_GETFL);
  if (flags >= 0) ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);

  char head[kSignatureBytes];
  ssize_t got;
  do {
    got = ::pread(fd_, head, sizeof head, 0);
  } while (got < 0 && errno == EINTR);
  if (got < 0) {
    open_error_ = errno;
    Close();
    return OpenResult::kCannotOpen;
  }
  if (HasCompressedSignature(std::string_view(head, static_cast<std::size_t>(got)))) {
    Close();
    return OpenResult::kCompressed;
  }

  if (!buffer_) buffer_ = std::make_unique<char[]>(kBufferSize);
  size_ = static_cast<std::int64_t>(st.st_size);
  begin_ = end_ = 0;
  at_end_ = false;
  read_ = 0;
  position_ = 0;
  return OpenResult::kOpened;
}

void LogPieceReader::Refill() {
  const std::size_t rest = end_ - begin_;
  if (rest > 0 && begin_ > 0) std::memmove(buffer_.get(), buffer_.get() + begin_, rest);
  begin_ = 0;
  end_ = rest;
  while (end_ < kBufferSize) {
    const std::int64_t left = size_ - read_;
    if (left <= 0) {
      at_end_ = true;
      return;
    }
    std::size_t want = kBufferSize - end_;
    if (static_cast<std::uint64_t>(left) < want) want = static_cast<std::size_t>(left);
    const ssize_t got = ::read(fd_, buffer_.get() + end_, want);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      if (got < 0) read_error_ = errno;
      at_end_ = true;
      return;
    }
    end_ += static_cast<std::size_t>(got);
    read_ += got;
  }
}

bool LogPieceReader::Next(std::string_view& piece) {
  if (end_ - begin_ < kMaxPiece && !at_end_) Refill();
  const std::size_t available = end_ - begin_;
  if (available == 0) return false;
  const char* start = buffer_.get() + begin_;
  const std::size_t limit = available < kMaxPiece ? available : kMaxPiece;
  const void* line_feed = std::memchr(start, '\n', limit);
  const std::size_t length =
      line_feed != nullptr ? static_cast<std::size_t>(static_cast<const char*>(line_feed) - start) + 1
                           : limit;
  piece = std::string_view(start, length);
  begin_ += length;
  position_ += static_cast<std::int64_t>(length);
  return true;
}

}  // namespace tw
