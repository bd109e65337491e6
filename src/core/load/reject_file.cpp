#include "load/reject_file.h"

namespace tw {

void RejectFile::Write(std::string_view piece, std::int64_t position) {
  if (cut_at_ >= 0) return;
  if (static_cast<std::int64_t>(piece.size()) > limit_ - written_) {
    cut_at_ = position;
    return;
  }
  written_ += static_cast<std::int64_t>(piece.size());
  if (error_ != 0) return;
  if (output_ == nullptr && !Create()) return;
  Note(output_->Write(piece));
}

void RejectFile::Close() {
  if (output_ == nullptr) return;
  Note(output_->Close());
  output_.reset();
}

// A fresh file: one left at this name (or a link put there since the old one
// was deleted) is neither appended to nor followed.
bool RejectFile::Create() {
  CreatedFile created = files_.Create(path_);
  if (created.error != 0) {
    Note(created.error);
    return false;
  }
  output_ = std::move(created.output);
  return true;
}

void RejectFile::Note(int error) {
  if (error_ == 0) error_ = error;
}

void DeleteRejectFile(FileAccess& files, const std::string& path) {
  if (files.LookAt(path).type == PathInfo::Type::kDirectory) return;
  files.Remove(path);
}

}  // namespace tw
