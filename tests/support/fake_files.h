#pragma once

// Files in memory for the loader: each may fail a read after some bytes.

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "Loadlog_file_access.h"

namespace tw::testing {

class FakeFiles : public FileAccess {
 public:
  struct File {
    std::string bytes;
    std::int64_t fail_at = -1;  // a read reaching this offset fails with EIO; -1 never
  };
  std::map<std::string, File> files;

  OpenedFile Open(const std::string& path) override {
    OpenedFile opened;
    const auto it = files.find(path);
    if (it == files.end()) {
      opened.error = ENOENT;
      return opened;
    }
    opened.status = OpenedFile::Status::kOpened;
    opened.size = static_cast<std::int64_t>(it->second.bytes.size());
    opened.input = std::make_unique<Input>(it->second);
    return opened;
  }

 private:
  class Input : public ByteInput {
   public:
    explicit Input(const File& file) : file_(file) {}
    std::size_t Read(char* buffer, std::size_t size) override {
      if (error_.kind != InputError::Kind::kNone) return 0;
      std::size_t end = std::min(file_.bytes.size(), at_ + size);
      if (file_.fail_at >= 0 && end > static_cast<std::size_t>(file_.fail_at)) {
        end = static_cast<std::size_t>(file_.fail_at);
        if (end == at_) {
          error_ = {InputError::Kind::kRead, EIO, static_cast<std::int64_t>(at_)};
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
};

}  // namespace tw::testing
