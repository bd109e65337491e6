#include "Loadlog_record_array.h"

#include <algorithm>
#include <functional>

namespace tw {

LogRecord* RecordArray::FreeSlot() {
  const auto index = static_cast<std::size_t>(count_);
  if ((index >> kShift) >= blocks_.size()) {
    // Room in both tables first, so a failure leaves no block unowned or unlisted.
    if (blocks_.size() == blocks_.capacity()) blocks_.reserve(blocks_.size() * 2 + 1);
    if (by_address_.size() == by_address_.capacity()) by_address_.reserve(by_address_.size() * 2 + 1);
    blocks_.emplace_back(kBlockBytes);
    const std::pair<const LogRecord*, std::size_t> entry{Block(blocks_.size() - 1), blocks_.size() - 1};
    by_address_.insert(std::upper_bound(by_address_.begin(), by_address_.end(), entry), entry);
  }
  return Block(index >> kShift) + (index & kMask);
}

std::int32_t RecordArray::IndexOf(const LogRecord* record) const {
  auto it = std::upper_bound(
      by_address_.begin(), by_address_.end(), record,
      [](const LogRecord* r, const auto& entry) { return std::less<const LogRecord*>()(r, entry.first); });
  const auto& [start, block] = *(it - 1);
  return static_cast<std::int32_t>((block << kShift) + static_cast<std::size_t>(record - start));
}

std::size_t RecordArray::MemoryUsage() const {
  return blocks_.size() * kBlockBytes +
         blocks_.capacity() * sizeof(blocks_[0]) +
         by_address_.capacity() * sizeof(by_address_[0]) + sizeof(*this);
}

}  // namespace tw
