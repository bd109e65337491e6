#pragma once

// Files in memory: each may fail a read after some bytes, and what is written
// lands in the same map, so a test reads it back from `files`. Writes may fail
// at a chosen byte, and `journal` records every step that changes the map:
//
//   FakeFiles fake;
//   fake.files["/t/old.csv"] = {"old"};
//   fake.fail_write_at = 4;               // the fifth byte of any output fails
//   ... AtomicFile("/t/old.csv", fake) ...
//   fake.files["/t/old.csv"].bytes        -> "old"
//   fake.journal -> {"create /t/.old.csv.000001", "close /t/.old.csv.000001",
//                    "remove /t/.old.csv.000001"}

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/file_access.h"

namespace tw::testing {

class FakeFiles : public FileAccess {
 public:
  struct File {
    std::string bytes;
    std::int64_t fail_at = -1;  // a read reaching this offset fails with EIO; -1 never
    PathInfo::Type type = PathInfo::Type::kRegular;  // kOther: a device that keeps what it gets
    unsigned mode = 0644;
  };
  std::map<std::string, File> files;
  std::map<std::string, std::string> links;  // a link's path -> where it points, maybe nowhere

  std::int64_t fail_write_at = -1;  // the byte of each output whose write fails; -1 never
  int write_error = ENOSPC;
  int sync_error = 0;
  int rename_error = 0;
  unsigned new_file_mode = 0644;  // what the umask leaves of 0666
  std::vector<std::string> journal;

  OpenedFile Open(const std::string& path) override {
    OpenedFile opened;
    const auto it = files.find(Resolve(path));
    if (it == files.end()) {
      opened.error = ENOENT;
      return opened;
    }
    if (it->second.type != PathInfo::Type::kRegular) {
      opened.status = OpenedFile::Status::kNotRegularFile;
      opened.directory = it->second.type == PathInfo::Type::kDirectory;
      return opened;
    }
    opened.status = OpenedFile::Status::kOpened;
    opened.size = static_cast<std::int64_t>(it->second.bytes.size());
    opened.input = std::make_unique<Input>(it->second);
    return opened;
  }

  PathInfo LookAt(const std::string& path) override {
    PathInfo info;
    info.link = links.count(path) != 0;
    const auto it = files.find(Resolve(path));
    if (it != files.end()) {
      info.type = it->second.type;
      info.mode = it->second.mode;
    }
    return info;
  }

  int RealPath(const std::string& path, std::string& resolved) override {
    if (files.count(Resolve(path)) == 0) return ENOENT;
    resolved = Resolve(path);
    return 0;
  }

  CreatedFile Create(const std::string& path) override {
    if (links.count(path) != 0) return Failed(ELOOP);
    return Emptied(path);
  }

  CreatedFile OpenForWriting(const std::string& path) override {
    const std::string real = Resolve(path);
    const auto it = files.find(real);
    if (it != files.end() && it->second.type == PathInfo::Type::kOther) return Opened(real);
    return Emptied(real);
  }

  CreatedFile CreateUnique(const std::string& prefix, std::optional<unsigned> mode) override {
    const std::string count = std::to_string(++unique_names_);
    const std::string path =
        prefix + std::string(6 - std::min<std::size_t>(6, count.size()), '0') + count;
    files[path] = File{"", -1, PathInfo::Type::kRegular, mode.value_or(new_file_mode)};
    CreatedFile created = Opened(path);
    created.path = path;
    return created;
  }

  int Rename(const std::string& from, const std::string& to) override {
    journal.push_back("rename " + from + " " + to);
    if (rename_error != 0) return rename_error;
    const auto it = files.find(from);
    if (it == files.end()) return ENOENT;
    if (IsDirectory(to)) return EISDIR;
    File moved = std::move(it->second);
    files.erase(it);
    links.erase(to);
    files[to] = std::move(moved);
    return 0;
  }

  int Remove(const std::string& path) override {
    journal.push_back("remove " + path);
    if (links.erase(path) != 0) return 0;
    if (IsDirectory(path)) return EISDIR;
    return files.erase(path) != 0 ? 0 : ENOENT;
  }

 private:
  // One level of link is enough for the tests.
  std::string Resolve(const std::string& path) const {
    const auto it = links.find(path);
    return it == links.end() ? path : it->second;
  }
  bool IsDirectory(const std::string& path) const {
    const auto it = files.find(path);
    return it != files.end() && it->second.type == PathInfo::Type::kDirectory;
  }
  static CreatedFile Failed(int error) {
    CreatedFile created;
    created.error = error;
    return created;
  }
  // A regular file at `path`, empty, keeping the mode of one there before.
  CreatedFile Emptied(const std::string& path) {
    if (IsDirectory(path)) return Failed(EISDIR);
    File& file = files[path];
    file.bytes.clear();
    return Opened(path);
  }
  CreatedFile Opened(const std::string& path) {
    journal.push_back("create " + path);
    CreatedFile created;
    created.output = std::make_unique<Output>(*this, path);
    return created;
  }

  class Input : public ByteInput {
   public:
    explicit Input(const File& file) : file_(file) {}
    std::size_t Read(char* buffer, std::size_t size) override {
      if (error_.kind != InputError::Kind::kNone) return 0;
      std::size_t end = std::min(file_.bytes.size(), at_ + size);
      if (file_.fail_at >= 0 && end > static_cast<std::size_t>(file_.fail_at)) {
        end = static_cast<std::size_t>(file_.fail_at);
        if (end == at_) {
          error_ = {InputError::Kind::kRead, EIO, static_cast<std::int64_t>(at_), -1};
          return 0;
        }
      }
      std::memcpy(buffer, file_.bytes.data() + at_, end - at_);
      const std::size_t got = end - at_;
      at_ = end;
      return got;
    }
    const InputError& error() const override { return error_; }
    std::int64_t Consumed() const override { return static_cast<std::int64_t>(at_); }

   private:
    const File& file_;
    std::size_t at_ = 0;
    InputError error_;
  };

  // Writes land at once; after a failed write every later call fails alike,
  // as the bytes still waiting in a real buffer would.
  class Output : public ByteOutput {
   public:
    Output(FakeFiles& owner, std::string path) : owner_(owner), path_(std::move(path)) {}
    int Write(std::string_view bytes) override {
      if (failed_) return owner_.write_error;
      std::size_t room = bytes.size();
      if (owner_.fail_write_at >= 0) {
        room = std::min(room, static_cast<std::size_t>(
                                  std::max<std::int64_t>(0, owner_.fail_write_at - written_)));
      }
      const auto it = owner_.files.find(path_);
      if (it != owner_.files.end()) it->second.bytes.append(bytes.data(), room);
      written_ += static_cast<std::int64_t>(room);
      failed_ = room < bytes.size();
      return failed_ ? owner_.write_error : 0;
    }
    int Sync() override {
      owner_.journal.push_back("sync " + path_);
      return failed_ ? owner_.write_error : owner_.sync_error;
    }
    int Close() override {
      owner_.journal.push_back("close " + path_);
      return failed_ ? owner_.write_error : 0;
    }

   private:
    FakeFiles& owner_;
    std::string path_;
    std::int64_t written_ = 0;
    bool failed_ = false;
  };

  int unique_names_ = 0;
};

}  // namespace tw::testing
