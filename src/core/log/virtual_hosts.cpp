#include "log/virtual_hosts.h"

#include "log/record_array.h"

namespace tw {

std::uint32_t VirtualHostColumn::NumberOfText(const char* pooled) {
  if (pooled == last_text_) return last_number_;
  const auto [it, added] = numbers_.try_emplace(pooled, Count() + 1);
  if (added) texts_.push_back(pooled);
  last_text_ = pooled;
  last_number_ = it->second;
  return last_number_;
}

void VirtualHostColumn::Set(std::int32_t index, const char* pooled) {
  const std::uint32_t number = NumberOfText(pooled);
  const std::size_t at = static_cast<std::size_t>(index);
  const std::size_t block = at >> kShift;
  while (blocks_.size() <= block) {
    blocks_.push_back(std::make_unique<std::uint32_t[]>(kPerBlock));  // zeroed: no host
  }
  blocks_[block][at & (kPerBlock - 1)] = number;
}

std::uint32_t VirtualHostColumn::NumberOf(const LogRecord& record) const {
  if (blocks_.empty()) return 0;
  const std::size_t at = static_cast<std::size_t>(records_.IndexOf(&record));
  const std::size_t block = at >> kShift;
  return block < blocks_.size() ? blocks_[block][at & (kPerBlock - 1)] : 0;
}

}  // namespace tw
