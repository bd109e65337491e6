#include "log/record_array.h"

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
      blocks_.push_back(std::move(ahead_));
    } else {
      blocks_.emplace_back(kBlockBytes);
    }
    if (map_ahead_) MapAhead();
    const std::pair<const LogRecord*, std::size_t> entry{Block(blocks_.size() - 1), blocks_.size() - 1};
    by_address_.insert(std::upper_bound(by_address_.begin(), by_address_.end(), entry), entry);
  }
  LogRecord* slot = Block(index >> kShift) + (index & kMask);
  // Blocks lie anywhere: a slot below the page as well as past it is in another.
  if (map_ahead_ && (reinterpret_cast<const char*>(slot) < page_start_ ||
                     reinterpret_cast<const char*>(slot + 1) > page_end_)) {
    EnterPage(slot);
  }
  return slot;
}

void RecordArray::EnterPage(const LogRecord* slot) {
  const auto* block = reinterpret_cast<const char*>(Block(blocks_.size() - 1));
  const auto* end = reinterpret_cast<const char*>(slot + 1);
  const std::size_t into = static_cast<std::size_t>(end - 1 - block) / kPage * kPage;
  page_start_ = block + into;
  page_end_ = page_start_ + kPage;
  // The page after this one: further on in this block, or the first of the next.
  void* next = into + kPage < kBlockBytes ? const_cast<char*>(page_end_) : ahead_.Data();
  unprepared_.store(next);
}

void RecordArray::MapBlocksAhead() {
  map_ahead_ = true;
  if (ahead_.Data() == nullptr) MapAhead();
}

void RecordArray::MapAhead() {
  try {
    ahead_ = HugeBlock(kBlockBytes);
    if (page_end_ == nullptr) unprepared_.store(ahead_.Data());  // nothing filled yet
  } catch (const std::bad_alloc&) {
    map_ahead_ = false;
  }
}

bool RecordArray::PrepareBlockAhead() {
  void* page = unprepared_.exchange(nullptr);
  if (page != nullptr) PopulatePages(page, kPage);
  return page != nullptr;
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
  // The pages records may have touched, and the first of the block ahead.
  std::size_t filled = 0;
  if (!blocks_.empty()) {
    const std::size_t in_last =
        static_cast<std::size_t>(count_) - (blocks_.size() - 1) * kPerBlock;
    filled = (blocks_.size() - 1) * kBlockBytes +
             (in_last * sizeof(LogRecord) + kPage - 1) / kPage * kPage;
  }
  return filled +
         (ahead_.Data() != nullptr ? kPage : 0) +
         blocks_.capacity() * sizeof(blocks_[0]) +
         by_address_.capacity() * sizeof(by_address_[0]) + sizeof(*this);
}

}  // namespace tw
