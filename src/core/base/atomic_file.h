#pragma once

// Writes a file whole or not at all: the bytes go to a new file with a unique
// name beside the target, which replaces the target only once every byte is
// written, synced and closed without error. A failure at any step leaves an
// existing target as it was and removes the new file.
//
//   AtomicFile out("/home/u/report.csv");
//   out.Write("a;b\r\n");
//   if (int error = out.Commit()) ... strerror(error) ...
//
// A target that exists and is no regular file (a device such as /dev/null, a
// FIFO) cannot be replaced; it is written to directly, as is the target of a
// link that points nowhere. A link to a regular file stays a link: the file it
// points to is replaced. A replaced file keeps its permission bits; a new one
// gets those the process's umask allows.

#include <memory>
#include <string>
#include <string_view>

#include "base/file_access.h"

namespace tw {

class AtomicFile {
 public:
  // Creates the new file; a failure is kept for error() and Commit.
  // REQUIRES: `files` outlives the atomic file.
  explicit AtomicFile(const std::string& path, FileAccess& files = SystemFiles());
  // Removes the new file unless Commit put it in place.
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Appends bytes; does nothing once a step has failed.
  void Write(std::string_view bytes);

  // Finishes the file and puts it in place of the target. Returns 0, or the
  // error number of the first step that failed. Call it once.
  int Commit();

  // The error number of the first failure so far, or 0.
  int error() const { return error_; }

 private:
  void Take(CreatedFile created);
  // Keeps `error` unless an earlier one is kept; 0 is no error.
  void Note(int error);
  void Discard();

  FileAccess& files_;
  std::string target_;     // what the new file replaces
  std::string temp_path_;  // the new file; empty when writing to the target itself
  std::unique_ptr<ByteOutput> output_;
  int error_ = 0;
};

}  // namespace tw
