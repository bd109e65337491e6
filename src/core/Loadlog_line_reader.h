#pragma once

// Reads a log file in the pieces the parser takes: a piece ends right after a
// '\n' or after kMaxPiece characters, whichever comes first, so a line longer
// than that reaches the parser in several pieces. The file is read as bytes:
// "\r\n" stays in the piece, a NUL byte is an ordinary byte, and a last line
// without '\n' is a piece of its own.
//
//   "ab\r\ncd\n\nef"  ->  "ab\r\n", "cd\n", "\n", "ef"
//
// The file is read in large blocks; a piece is a view into the reader's block
// buffer and stays valid until the next call of Next.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace tw {

class LogPieceReader {
 public:
  // The most characters one piece holds (a read of 8191 bytes with its zero).
  static constexpr std::size_t kMaxPiece = 8190;

  LogPieceReader() = default;
  ~LogPieceReader();
  LogPieceReader(const LogPieceReader&) = delete;
  LogPieceReader& operator=(const LogPieceReader&) = delete;

  // Opens `path` for reading. Returns false, leaving the reader closed, when
  // the file cannot be opened or is a folder.
  bool Open(const std::string& path);

  // The file's length in bytes when it was opened (0 if it could not be told).
  std::int64_t Size() const { return size_; }

  // Stores the next piece in `piece` and returns true; false at the end of the
  // file. A read error ends the file early.
  // REQUIRES: Open succeeded.
  bool Next(std::string_view& piece);

  // Bytes of the file handed out so far: the file position after the last piece.
  std::int64_t Position() const { return position_; }

 private:
  // Moves the unread rest to the front and reads until the buffer is full or
  // the file ends.
  void Refill();

  std::FILE* file_ = nullptr;
  std::unique_ptr<char[]> buffer_;
  std::size_t begin_ = 0;  // first unread byte
  std::size_t end_ = 0;    // one past the last byte read
  bool at_end_ = false;    // the file has nothing more to give
  std::int64_t size_ = 0;
  std::int64_t position_ = 0;
};

}  // namespace tw
