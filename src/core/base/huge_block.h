#pragma once

// Memory for large arrays that are filled once, front to back, such as the
// record blocks of a big log. Blocks are whole 2 MiB pages where the system
// offers them, so filling one costs a page fault per 2 MiB instead of one per
// 4 KiB; where it does not, they are ordinary pages and work the same.
//
//   HugeBlock block(HugeBlock::kBytes);   // throws std::bad_alloc
//   auto* records = static_cast<LogRecord*>(block.Data());
//
// An array that is already allocated, but not yet written, can ask for the
// same with AdviseHugePages:
//
//   ReserveInHugePages(keys, n);   // keys.reserve(n), then the advice

#include <cstddef>

namespace tw {

// Asks the system to back each whole, aligned 2 MiB page inside
// [data, data + bytes) with one huge page when it is first touched. Only
// advice: the contents, the owner and the way the memory is freed stay the
// same, and memory outside the range is never affected. Small ranges hold no
// whole huge page and are left alone.
void AdviseHugePages(const void* data, std::size_t bytes);

// Reserves room for `n` elements in `v` and advises huge pages for it, before
// anything is written there. The advice lasts as long as the mapping: only
// with KeepLargeBlocksApart (base/release_memory.h) in force is an array big
// enough to hold a huge page sure to be a mapping of its own, so that the
// advice goes with it instead of staying on heap memory used again.
template <class Vector>
void ReserveInHugePages(Vector& v, std::size_t n) {
  v.reserve(n);
  AdviseHugePages(v.data(), v.capacity() * sizeof(*v.data()));
}

// Has the system back [data, data + bytes) with memory now, as writes there
// would, so that the writes that follow take no page faults: another thread
// can pay for fresh memory ahead of the one that fills it. The contents stay
// as they are, and writes by other threads meanwhile are safe. Only a hint:
// where the system cannot, nothing happens.
void PopulatePages(void* data, std::size_t bytes);

class HugeBlock {
 public:
  static constexpr std::size_t kBytes = std::size_t{2} << 20;  // one huge page

  // Reserves `bytes`, aligned to kBytes; untouched pages cost no memory.
  // The contents are zero. Throws std::bad_alloc when the system refuses.
  // REQUIRES: bytes > 0.
  explicit HugeBlock(std::size_t bytes);
  HugeBlock() = default;  // holds nothing
  ~HugeBlock();
  HugeBlock(HugeBlock&& other) noexcept;
  HugeBlock& operator=(HugeBlock&& other) noexcept;
  HugeBlock(const HugeBlock&) = delete;
  HugeBlock& operator=(const HugeBlock&) = delete;

  void* Data() const { return data_; }
  std::size_t Bytes() const { return bytes_; }

 private:
  void Release();

  void* data_ = nullptr;
  std::size_t bytes_ = 0;
};

}  // namespace tw
