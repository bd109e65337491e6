#pragma once

// Reads a log file in the pieces the parser takes: a piece ends right after a
// '\n' or after kMaxPiece characters, whichever comes first, so a line longer
// than that reaches the parser in several pieces. The file is read as bytes:
// "\r\n" stays in the piece, a NUL byte is an ordinary byte, and a last line
// without '\n' is a piece of its own.
//
//   "ab\r\ncd\n\nef"  ->  "ab\r\n", "cd\n", "\n", "ef"
//
// The file is read in blocks of 1 MiB, so a line of any length costs no more
// memory than that; a piece is a view into the reader's block buffer and stays
// valid until the next call of Next.
//
// Only regular files are read, and only as much of them as they held when
// they were opened: a log that grows while it is read ends where it ended at
// the open, and one that shrinks ends early.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tw {

class LogPieceReader {
 public:
  // The most characters one piece holds (a read of 8191 bytes with its zero).
  static constexpr std::size_t kMaxPiece = 8190;

  enum class OpenResult {
    kOpened,          // ready for Next
    kCannotOpen,      // no such file, no permission, ...: see OpenError
    kNotRegularFile,  // a folder, FIFO, device or socket; never opened for reading
    kCompressed,      // starts with the signature of a compressed file
  };

  LogPieceReader() = default;
  ~LogPieceReader();
  LogPieceReader(const LogPieceReader&) = delete;
  LogPieceReader& operator=(const LogPieceReader&) = delete;

  // Opens `path` for reading. Anything but kOpened leaves the reader closed.
  // The type of the file is looked at before it is opened, so a FIFO never
  // blocks the caller. May throw std::bad_alloc (the block buffer).
  OpenResult Open(const std::string& path);

  // The system's error number of the last kCannotOpen (ENOENT, EACCES, ...).
  int OpenError() const { return open_error_; }

  // The file's length in bytes when it was opened; no more than this is read.
  std::int64_t Size() const { return size_; }

  // Stores the next piece in `piece` and returns true; false at the end.
  // A read error ends the file early (see ReadError).
  // REQUIRES: Open returned kOpened.
  bool Next(std::string_view& piece);

  // Bytes of the file handed out so far: the file position after the last piece.
  std::int64_t Position() const { return position_; }

  // The error number of a read that failed, or 0.
  int ReadError() const { return read_error_; }

 private:
  void Close();
  // Moves the unread rest to the front and reads until the buffer is full or
  // the file ends.
  void Refill();

  int fd_ = -1;
  std::unique_ptr<char[]> buffer_;
  std::size_t begin_ = 0;  // first unread byte
  std::size_t end_ = 0;    // one past the last byte read
  bool at_end_ = false;    // the file has nothing more to give
  std::int64_t size_ = 0;
  std::int64_t read_ = 0;  // bytes read from the file so far
  std::int64_t position_ = 0;
  int open_error_ = 0;
  int read_error_ = 0;
};

// Whether `head`, the first bytes of a file, starts with the signature of a
// gzip, bzip2, xz, zstd or zip file. Six bytes are enough to tell.
bool HasCompressedSignature(std::string_view head);

// The share of a file read, in whole percent: position * 100 / size in
// floating point, truncated towards zero and kept within 0 to 100. A size of
// 0 or less gives 100 (nothing is left to read). Positions past 4 GB count.
int LoadPercent(std::int64_t position, std::int64_t size);

}  // namespace tw
