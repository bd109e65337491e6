#include "analysis/report_labels.h"

#include <algorithm>
#include <cstring>

namespace tw {

std::string_view LabelStore::Add(std::string_view text) {
  const std::size_t need = text.size() + 1;
  if (need > kBlockBytes - used_) {
    // A text longer than a block gets a block of its own size.
    blocks_.push_back(std::make_unique<char[]>(std::max(need, kBlockBytes)));
    used_ = 0;
  }
  char* at = blocks_.back().get() + used_;
  if (!text.empty()) std::memcpy(at, text.data(), text.size());
  at[text.size()] = '\0';
  used_ += need;
  // A block of a long text is full at once; the next text starts a new one.
  if (need > kBlockBytes) used_ = kBlockBytes;
  return std::string_view(at, text.size());
}

void LabelStore::Clear() {
  blocks_.clear();
  used_ = kBlockBytes;
}

}  // namespace tw
