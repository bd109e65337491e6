#include "base/atomic_file.h"

#include <cerrno>

namespace tw {
namespace {

// The longest part of the target's name the new file's name repeats, so that
// a target with a long name still leaves room for the unique ending.
constexpr std::size_t kNameKept = 200;

// The new file's name up to its unique ending: hidden, beside the target,
// since a rename cannot cross file systems.
std::string TemporaryPrefix(const std::string& target) {
  const std::size_t slash = target.rfind('/');
  const std::string folder =
      slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  return folder + "." + name.substr(0, kNameKept) + ".";
}

}  // namespace

AtomicFile::AtomicFile(const std::string& path, FileAccess& files) : files_(files), target_(path) {
  const PathInfo info = files_.LookAt(path);
  if (info.error != 0) {
    Note(info.error);
    return;
  }
  // A device or FIFO has nothing to replace, only to write to; writing through
  // a link that points nowhere creates its target.
  const bool dangling = info.type == PathInfo::Type::kMissing && info.link;
  const bool other = info.type != PathInfo::Type::kMissing && info.type != PathInfo::Type::kRegular;
  if (dangling || other) {
    Take(files_.OpenForWriting(path));
    return;
  }
  std::optional<unsigned> mode;
  if (info.type == PathInfo::Type::kRegular) {
    mode = info.mode;
    if (info.link) {
      std::string resolved;
      if (const int error = files_.RealPath(path, resolved); error != 0) {
        Note(error);
        return;
      }
      target_ = std::move(resolved);
    }
  }
  CreatedFile created = files_.CreateUnique(TemporaryPrefix(target_), mode);
  temp_path_ = created.path;
  Take(std::move(created));
}

AtomicFile::~AtomicFile() {
  output_.reset();
  Discard();
}

void AtomicFile::Take(CreatedFile created) {
  Note(created.error);
  output_ = std::move(created.output);
}

void AtomicFile::Note(int error) {
  if (error_ == 0) error_ = error;
}

void AtomicFile::Discard() {
  if (!temp_path_.empty()) files_.Remove(temp_path_);
  temp_path_.clear();
}

void AtomicFile::Write(std::string_view bytes) {
  if (error_ != 0 || output_ == nullptr || bytes.empty()) return;
  Note(output_->Write(bytes));
}

int AtomicFile::Commit() {
  if (output_ == nullptr) {
    Note(EBADF);
    return error_;
  }
  // The bytes reach the disc before the name does, so a crash cannot leave
  // an empty file in place of the old one.
  if (error_ == 0 && !temp_path_.empty()) Note(output_->Sync());
  Note(output_->Close());
  output_.reset();
  if (error_ == 0 && !temp_path_.empty()) {
    const int error = files_.Rename(temp_path_, target_);
    Note(error);
    if (error == 0) temp_path_.clear();
  }
  Discard();
  return error_;
}

}  // namespace tw
