#include "Loadlog_record_array.h"

#include <algorithm>
#include <functional>
#include <new>

namespace tw {

LogRecord* RecordArray::FreeSlot() {
  const auto index = static_cast<std::size_t>(count_);
  if ((index >> kShift) >= blocks_.size()) {
    // Room in both tables first, so a failure leaves no block unowned or unlisted.
    if (blocks_.size() == blocks_.capacity()) blocks_.reserve(blocks_.size() * 2 + 1);
    if (by_address_.size() == by_address_.capacity()) by_address_.reserve(by_address_.size() * 2 + 1);
    if (ahead_.Data() != nullptr) {
      unprepared_.store(nullptr);  // filled from now on: the filling thread's faults back it
      blocks_.push_back(std::move(ahead_));
    } else {
      blocks_.emplace_back(kBlockBytes);
    }
    if (map_ahead_) MapAhead();
    const std::pair<const LogRecord*, std::size_t> entry{Block(blocks_.size() - 1), blocks_.size() - 1};
    by_address_.insert(std::upper_bound(by_address_.begin(), by_address_.end(), entry), entry);
  }
  return Block(index >> kShift) + (index & kMask);
}

void RecordArray::MapBlocksAhead() {
  map_ahead_ = true;
  if (ahead_.Data() == nullptr) MapAhead();
}

void RecordArray::MapAhead() {
  try {
    ahead_ = HugeBlock(kBlockBytes);
    unprepared_.store(ahead_.Data());
  } catch (const std::bad_alloc&) {
    map_ahead_ = false;
  }
}

void RecordArray::PrepareBlockAhead() {
  if (void* block = unprepared_.exchange(nullptr)) PopulatePages(block, kBlockBytes);
}

void RecordArray::DropBlockAhead() {
  map_ahead_ = false;
  unprepared_.store(nullptr);
  ahead_ = HugeBlock();
}

std::int32_t RecordArray::IndexOf(const LogRecord* record) const {
  auto it = std::upper_bound(
      by_address_.begin(), by_address_.end(), record,
      [](const LogRecord* r, const auto& entry) { return std::less<const LogRecord*>()(r, entry.first); });
  const auto& [start, block] = *(it - 1);
  return static_cast<std::int32_t>((block << kShift) + static_cast<std::size_t>(record - start));
}

std::size_t RecordArray::MemoryUsage() const {
  return (blocks_.size() + (ahead_.Data() != nullptr ? 1 : 0)) * kBlockBytes +
         blocks_.capacity() * sizeof(blocks_[0]) +
         by_address_.capacity() * sizeof(by_address_[0]) + sizeof(*this);
}

}  // namespace tw
