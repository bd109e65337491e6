#pragma once

// Reads a log file in the pieces the parser takes: a piece ends right after a
// '\n' or after kMaxPiece characters, whichever comes first, so a line longer
// than that reaches the parser in several pieces. The file is read as bytes:
// "\r\n" stays in the piece, a NUL byte is an ordinary byte, and a last line
// without '\n' is a piece of its own.
//
//   "ab\r\ncd\n\nef"  ->  "ab\r\n", "cd\n", "\n", "ef"
//
// A text whose first block (256 KiB, or all of a shorter text) holds no '\n'
// but does hold a '\r' has the old line ends of a bare CR: its pieces end
// right after a '\r' instead, so its lines are not taken for one.
//
//   "ab\rcd\r"  ->  "ab\r", "cd\r"
//
// The file is read in blocks of 256 KiB into a buffer of 1 MiB, so a line of
// any length costs no more memory than that; a piece is a view into the
// reader's buffer and stays valid until the next call of Next.
//
// Only regular files are read, and only as much of them as they held when
// they were opened: a log that grows while it is read ends where it ended at
// the open, and one that shrinks ends early. A gzip, bzip2, xz or zstd file is
// read as its decompressed text, cut into the same pieces.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "base/file_access.h"
#include "load/decompress.h"

namespace tw {

class LogPieceReader {
 public:
  // The most characters one piece holds (a read of 8191 bytes with its zero).
  static constexpr std::size_t kMaxPiece = 8190;

  enum class OpenResult {
    kOpened,          // ready for Next
    kCannotOpen,      // no such file, no permission, ...: see OpenError
    kNotRegularFile,  // a folder, FIFO, device or socket; never opened for reading
    kZipArchive,      // a zip archive, which holds files rather than one text
  };

  LogPieceReader() = default;
  ~LogPieceReader();
  LogPieceReader(const LogPieceReader&) = delete;
  LogPieceReader& operator=(const LogPieceReader&) = delete;

  // Opens `path` for reading. Anything but kOpened leaves the reader closed.
  // The type of the file is looked at before it is opened, so a FIFO never
  // blocks the caller. May throw std::bad_alloc (the block buffer).
  OpenResult Open(const std::string& path);
  OpenResult Open(FileAccess& files, const std::string& path);

  // How the opened file is packed; kNone for a plain text.
  Compression compression() const { return compression_; }

  // The system's error number of the last kCannotOpen (ENOENT, EACCES, ...).
  int OpenError() const { return open_error_; }

  // The file's length in bytes when it was opened; no more than this is read.
  std::int64_t Size() const { return size_; }

  // Stores the next piece in `piece` and returns true; false at the end.
  // A failed read or damaged compressed data ends the text early (see Error).
  // REQUIRES: Open returned kOpened.
  bool Next(std::string_view& piece);

  // Writes to `out` the next pieces whole, the very bytes Next would give one
  // piece at a time: about `want` bytes (up to a piece more), or the rest of
  // the text. Returns how many; 0 at the end of the text. The text is read
  // straight into `out`, past the reader's own buffer. LastPieceCut then tells
  // whether the text broke off after these bytes; the last of them is cut
  // exactly when it has no line end and is shorter than kMaxPiece. Cutting
  // them into pieces is CutPieces' work.
  // REQUIRES: Open returned kOpened; `out` has room for want + kMaxPiece bytes.
  std::size_t NextPieces(char* out, std::size_t want);

  // The character that ends a piece: '\n', or '\r' for a text of bare CR
  // line ends. Known once Next or NextPieces has run.
  char LineEnd() const { return line_end_; }

  // Bytes of the text handed out so far: the position after the last piece.
  std::int64_t Position() const { return position_; }

  // How far through the file the reading is, in bytes of the file: Position
  // for a plain text, the compressed bytes consumed for a packed one.
  std::int64_t FilePosition() const;

  // Why the text ended early; kind kNone when it was read to its end.
  InputError Error() const;

  // True when the piece Next gave last is the unfinished end of a text that
  // broke off (no line end, and Error tells why).
  bool LastPieceCut() const { return last_cut_; }

 private:
  void Close();
  // Moves the unread rest to the front and reads until the buffer is full or
  // the text ends.
  void Refill();
  // Reads the first block, if need be, and tells the line end from it.
  void LearnLineEnd();
  // Fills `out` with up to `window` bytes, first from the buffer, then from
  // the input; keeps the whole pieces among them and gives the rest back to
  // the buffer. Returns the bytes kept. REQUIRES: kMaxPiece < window <= the buffer's size.
  std::size_t NextWindow(char* out, std::size_t window);

  std::unique_ptr<ByteInput> input_;
  Compression compression_ = Compression::kNone;
  bool last_cut_ = false;
  char line_end_ = '\n';
  bool line_end_known_ = false;
  std::unique_ptr<char[]> buffer_;
  std::size_t begin_ = 0;  // first unread byte
  std::size_t end_ = 0;    // one past the last byte read
  bool at_end_ = false;    // the file has nothing more to give
  std::int64_t size_ = 0;
  std::int64_t position_ = 0;
  int open_error_ = 0;
};

// Cuts `text`, which starts at a piece's start, into the pieces the reader
// gives: each up to its line end (the reader's LineEnd), or kMaxPiece
// characters without one. Calls piece(end_offset, has_line_end) for each, in order.
template <class OnPiece>
void CutPieces(std::string_view text, char line_end, OnPiece piece) {
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t limit = std::min(text.size() - at, LogPieceReader::kMaxPiece);
    const void* line_feed = std::memchr(text.data() + at, line_end, limit);
    at = line_feed != nullptr ? static_cast<std::size_t>(static_cast<const char*>(line_feed) -
                                                         text.data()) + 1
                              : at + limit;
    piece(at, line_feed != nullptr);
  }
}

// Whether `head`, the first bytes of a file, starts with the signature of a
// gzip, bzip2, xz, zstd or zip file. Six bytes are enough to tell.
bool HasCompressedSignature(std::string_view head);

// The share of a file read, in whole percent: position * 100 / size in
// floating point, truncated towards zero and kept within 0 to 100. A size of
// 0 or less gives 100 (nothing is left to read). Positions past 4 GB count.
int LoadPercent(std::int64_t position, std::int64_t size);

}  // namespace tw
