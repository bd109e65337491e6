#pragma once

// The one door through which the program reaches the disk: open a file
// (looking at its type first) and read its bytes; create, write, rename and
// remove files. The tests put an in-memory fake in its place to feed read
// errors, damaged streams and full discs.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

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
  // For packed data that is damaged or cut short: where in the unpacked text
  // the part begins that no check vouches for (the end of the last gzip
  // member, bzip2 or xz block or zstd frame that passed its check), since
  // what a decoder gives before it
  // finds the damage may already be wrong. -1 otherwise.
  std::int64_t unchecked_from = -1;
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

// A stream of bytes written front to back. Every call returns 0 or the error
// number of the failure; once a call has failed, later ones may fail too.
class ByteOutput {
 public:
  // Closes a file that Close has not closed, without telling of a failure.
  virtual ~ByteOutput() = default;
  // Appends `bytes`, which may wait in a buffer until Sync or Close.
  virtual int Write(std::string_view bytes) = 0;
  // Writes out what waits and makes every byte so far durable on the disc.
  virtual int Sync() = 0;
  // Writes out what waits and closes the file.
  // REQUIRES: called once, and neither Write nor Sync after it.
  virtual int Close() = 0;
};

struct CreatedFile {
  int error = 0;                       // errno when the file could not be made
  std::unique_ptr<ByteOutput> output;  // set when error is 0
  std::string path;                    // the name CreateUnique chose
};

// What a path names, links followed, looked at without opening it.
struct PathInfo {
  enum class Type { kMissing, kRegular, kDirectory, kOther };
  Type type = Type::kMissing;
  int error = 0;      // errno when the path cannot be looked at; 0 for kMissing
  bool link = false;  // the path itself is a symbolic link; kMissing: one that points nowhere
  unsigned mode = 0;  // the permission bits (07777) of what it names
};

class FileAccess {
 public:
  virtual ~FileAccess() = default;
  // Opens a regular file for reading. The type is looked at before the open,
  // so a FIFO or a device never blocks the caller.
  virtual OpenedFile Open(const std::string& path) = 0;

  virtual PathInfo LookAt(const std::string& path) = 0;
  // The path with every link resolved, or the error number.
  virtual int RealPath(const std::string& path, std::string& resolved) = 0;

  // A new, empty file at `path`: a file there is emptied, a link there is
  // neither followed nor replaced (ELOOP), and opening never blocks.
  virtual CreatedFile Create(const std::string& path) = 0;
  // Writes to what `path` names as it is, following a link and emptying a
  // regular file: for a device, a FIFO, or a link that points nowhere.
  virtual CreatedFile OpenForWriting(const std::string& path) = 0;
  // A file of a name no other file has, `prefix` and six characters, with the
  // permission bits `mode`, or those a new file gets from the umask when none.
  virtual CreatedFile CreateUnique(const std::string& prefix, std::optional<unsigned> mode) = 0;

  // Both return 0 or the error number.
  virtual int Rename(const std::string& from, const std::string& to) = 0;
  virtual int Remove(const std::string& path) = 0;  // a file or a link, never a folder
};

// The real file system.
FileAccess& SystemFiles();

// Reads a whole small file (a list or the language pack). Returns 0, or the
// error number: ENOENT when there is no such file, EISDIR for a folder.
int ReadListFile(FileAccess& files, const std::string& path, std::string& text);

}  // namespace tw
