#pragma once

// The one door through which the loader and the list files reach the disk:
// open a file (looking at its type first) and read its bytes. The tests put an
// in-memory fake in its place to feed read errors and damaged streams.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tw {

// Why a stream of bytes stopped before its natural end.
struct InputError {
  enum class Kind {
    kNone,       // read to its end
    kRead,       // the system failed a read: see Number
    kDamaged,    // compressed data that cannot be decoded
    kTruncated,  // the file ended inside compressed data
  };
  Kind kind = Kind::kNone;
  int number = 0;           // errno for kRead
  std::int64_t offset = 0;  // bytes of the file consumed when it broke
};

// A stream of bytes read front to back.
class ByteInput {
 public:
  virtual ~ByteInput() = default;
  // Fills up to `size` bytes and returns how many; 0 at the end or after a
  // failure, which error() then tells.
  virtual std::size_t Read(char* buffer, std::size_t size) = 0;
  virtual const InputError& error() const = 0;
  // Bytes of the underlying file consumed so far.
  virtual std::int64_t Consumed() const = 0;
  // Goes back to the first byte, so that a look at the start costs nothing;
  // false when the stream cannot go back (it is then left where it was).
  virtual bool Rewind() { return false; }
};

struct OpenedFile {
  enum class Status { kOpened, kCannotOpen, kNotRegularFile };
  Status status = Status::kCannotOpen;
  int error = 0;             // errno for kCannotOpen
  bool directory = false;    // kNotRegularFile for a folder
  std::int64_t size = 0;     // length when opened; no more than this is read
  std::unique_ptr<ByteInput> input;  // set for kOpened
};

class FileAccess {
 public:
  virtual ~FileAccess() = default;
  // Opens a regular file for reading. The type is looked at before the open,
  // so a FIFO or a device never blocks the caller.
  virtual OpenedFile Open(const std::string& path) = 0;
};

// The real file system.
FileAccess& SystemFiles();

// Reads a whole small file (a list or the language pack). Returns 0, or the
// error number: ENOENT when there is no such file, EISDIR for a folder.
int ReadListFile(FileAccess& files, const std::string& path, std::string& text);

}  // namespace tw
