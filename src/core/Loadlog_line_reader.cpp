#include "Loadlog_line_reader.h"

#include <cstring>
#include <filesystem>
#include <system_error>

namespace tw {
namespace {
// One read brings this many bytes; the buffer holds one block and the
// unfinished piece carried over from the block before.
constexpr std::size_t kBlockSize = std::size_t{1} << 20;
constexpr std::size_t kBufferSize = kBlockSize + LogPieceReader::kMaxPiece;
}  // namespace

LogPieceReader::~LogPieceReader() {
  if (file_ != nullptr) std::fclose(file_);
}

bool LogPieceReader::Open(const std::string& path) {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (ec || std::filesystem::is_directory(status)) return false;
  file_ = std::fopen(path.c_str(), "rb");
  if (file_ == nullptr) return false;
  // The reader has a block buffer of its own; the stream's would only add a copy.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  const auto size = std::filesystem::file_size(path, ec);
  size_ = ec ? 0 : static_cast<std::int64_t>(size);
  if (!buffer_) buffer_ = std::make_unique<char[]>(kBufferSize);
  begin_ = end_ = 0;
  at_end_ = false;
  position_ = 0;
  return true;
}

void LogPieceReader::Refill() {
  const std::size_t rest = end_ - begin_;
  if (rest > 0 && begin_ > 0) std::memmove(buffer_.get(), buffer_.get() + begin_, rest);
  begin_ = 0;
  end_ = rest;
  while (end_ < kBufferSize) {
    const std::size_t got = std::fread(buffer_.get() + end_, 1, kBufferSize - end_, file_);
    if (got == 0) {
      at_end_ = true;
      return;
    }
    end_ += got;
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
