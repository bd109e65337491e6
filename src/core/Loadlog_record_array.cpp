#include "Loadlog_record_array.h"

namespace tw {

LogRecord* RecordArray::NextSlot() {
  const auto index = static_cast<std::size_t>(count_);
  if ((index >> kShift) >= blocks_.size()) {
    blocks_.push_back(std::unique_ptr<LogRecord[]>(new LogRecord[kPerBlock]));
  }
  LogRecord* slot = &blocks_[index >> kShift][index & kMask];
  *slot = LogRecord{};
  return slot;
}

std::size_t RecordArray::MemoryUsage() const {
  return blocks_.size() * kPerBlock * sizeof(LogRecord) +
         blocks_.capacity() * sizeof(blocks_[0]) + sizeof(*this);
}

}  // namespace tw
