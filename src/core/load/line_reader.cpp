#include "load/line_reader.h"

#include <cmath>
#include <algorithm>
#include <cstring>
#include <string.h>  // memrchr

namespace tw {
namespace {
// The buffer holds 1 MiB and the unfinished piece carried over from before.
// A refill reads a quarter of that; NextPieces, which reads past the buffer,
// takes up to the whole of it at once.
constexpr std::size_t kBlockSize = std::size_t{1} << 20;
constexpr std::size_t kBufferSize = kBlockSize + LogPieceReader::kMaxPiece;
constexpr std::size_t kRefillBytes = kBlockSize / 4;

}  // namespace

bool HasCompressedSignature(std::string_view head) {
  return CompressionOf(head) != Compression::kNone;
}

int LoadPercent(std::int64_t position, std::int64_t size) {
  if (size <= 0) return 100;
  const double percent =
      std::trunc(static_cast<double>(position) * 100.0 / static_cast<double>(size));
  if (!(percent > 0.0)) return 0;  // also a NaN, which cannot arise but costs nothing
  return percent >= 100.0 ? 100 : static_cast<int>(percent);
}

LogPieceReader::~LogPieceReader() { Close(); }

void LogPieceReader::Close() { input_.reset(); }

LogPieceReader::OpenResult LogPieceReader::Open(const std::string& path) {
  return Open(SystemFiles(), path);
}

LogPieceReader::OpenResult LogPieceReader::Open(FileAccess& files, const std::string& path) {
  Close();
  open_error_ = 0;
  OpenedFile file = files.Open(path);
  if (file.status == OpenedFile::Status::kCannotOpen) {
    open_error_ = file.error;
    return OpenResult::kCannotOpen;
  }
  if (file.status == OpenedFile::Status::kNotRegularFile) return OpenResult::kNotRegularFile;

  if (!buffer_) buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
  std::size_t head = 0;
  while (head < kSignatureBytes) {
    const std::size_t got = file.input->Read(buffer_.get() + head, kSignatureBytes - head);
    if (got == 0) break;
    head += got;
  }
  if (file.input->error().kind != InputError::Kind::kNone) {
    open_error_ = file.input->error().number;
    return OpenResult::kCannotOpen;
  }
  const std::string_view head_bytes(buffer_.get(), head);
  compression_ = CompressionOf(head_bytes);
  if (compression_ == Compression::kZip) return OpenResult::kZipArchive;

  begin_ = 0;
  end_ = 0;
  if (compression_ == Compression::kNone) {
    input_ = std::move(file.input);
    // The text is read from its start when it is read at all; a stream that
    // cannot go back keeps the bytes already taken as the text's first.
    if (!input_->Rewind()) end_ = head;
  } else {
    input_ = MakeDecompressor(compression_, std::move(file.input), head_bytes);
  }
  size_ = file.size;
  at_end_ = false;
  last_cut_ = false;
  line_end_ = '\n';
  line_end_known_ = false;
  position_ = 0;
  return OpenResult::kOpened;
}

std::int64_t LogPieceReader::FilePosition() const {
  if (compression_ == Compression::kNone || !input_) return position_;
  return input_->Consumed();
}

InputError LogPieceReader::Error() const { return input_ ? input_->error() : InputError{}; }

void LogPieceReader::Refill() {
  const std::size_t rest = end_ - begin_;
  if (rest > 0 && begin_ > 0) std::memmove(buffer_.get(), buffer_.get() + begin_, rest);
  begin_ = 0;
  end_ = rest;
  // A block at a time, not the whole buffer: a short file, or the first lines
  // read to tell the format, touch no more of the buffer than they need.
  const std::size_t target = std::min(kBufferSize, rest + kRefillBytes);
  while (end_ < target) {
    const std::size_t got = input_->Read(buffer_.get() + end_, target - end_);
    if (got == 0) {
      at_end_ = true;
      return;
    }
    end_ += got;
  }
}

void LogPieceReader::LearnLineEnd() {
  line_end_known_ = true;
  if (end_ - begin_ < kRefillBytes && !at_end_) Refill();
  const char* start = buffer_.get() + begin_;
  const std::size_t available = end_ - begin_;
  if (std::memchr(start, '\n', available) == nullptr && std::memchr(start, '\r', available) != nullptr) {
    line_end_ = '\r';
  }
}

bool LogPieceReader::Next(std::string_view& piece) {
  if (!line_end_known_) LearnLineEnd();
  if (end_ - begin_ < kMaxPiece && !at_end_) Refill();
  const std::size_t available = end_ - begin_;
  if (available == 0) return false;
  const char* start = buffer_.get() + begin_;
  const std::size_t limit = available < kMaxPiece ? available : kMaxPiece;
  const void* line_feed = std::memchr(start, line_end_, limit);
  const std::size_t length =
      line_feed != nullptr ? static_cast<std::size_t>(static_cast<const char*>(line_feed) - start) + 1
                           : limit;
  piece = std::string_view(start, length);
  begin_ += length;
  position_ += static_cast<std::int64_t>(length);
  last_cut_ = line_feed == nullptr && length < kMaxPiece && begin_ == end_ && at_end_ &&
              input_->error().kind != InputError::Kind::kNone;
  return true;
}

std::size_t LogPieceReader::NextPieces(char* out, std::size_t want) {
  if (!line_end_known_) LearnLineEnd();
  std::size_t taken = 0;
  while (taken < want) {
    const std::size_t kept = NextWindow(out + taken, std::min(want - taken + kMaxPiece, kBufferSize));
    if (kept == 0) break;
    taken += kept;
  }
  last_cut_ = taken > 0 && begin_ == end_ && at_end_ && input_->error().kind != InputError::Kind::kNone;
  return taken;
}

std::size_t LogPieceReader::NextWindow(char* out, std::size_t window) {
  std::size_t filled = std::min(end_ - begin_, window);
  std::memcpy(out, buffer_.get() + begin_, filled);
  begin_ += filled;
  const bool drained = begin_ == end_;
  while (filled < window && !at_end_) {  // only once the buffer is drained
    const std::size_t got = input_->Read(out + filled, window - filled);
    if (got == 0) {
      at_end_ = true;
      break;
    }
    filled += got;
  }
  if (filled == 0) return 0;
  std::size_t length = filled;
  if (!drained || !at_end_) {
    // More text follows. A piece always ends right after a line end; without
    // one in the window (which holds more than a whole piece), whole pieces
    // of kMaxPiece.
    const void* last = memrchr(out, line_end_, filled);
    length = last != nullptr ? static_cast<std::size_t>(static_cast<const char*>(last) - out) + 1
                             : filled - filled % kMaxPiece;
  }
  const std::size_t rest = filled - length;
  if (rest > 0 && !drained) {
    begin_ -= rest;  // those bytes still stand in the buffer
  } else if (rest > 0) {
    std::memcpy(buffer_.get(), out + length, rest);
    begin_ = 0;
    end_ = rest;
  }
  position_ += static_cast<std::int64_t>(length);
  return length;
}

}  // namespace tw
