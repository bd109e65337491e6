#include "base/huge_block.h"

#include <cstdint>
#include <new>
#include <utility>

#include <sys/mman.h>

namespace tw {
namespace {

// Maps `bytes` at an address that is a multiple of kBytes: a larger mapping
// is cut down to the aligned stretch, so the kernel can back it with huge pages.
void* MapAligned(std::size_t bytes) {
  const std::size_t span = bytes + HugeBlock::kBytes;
  void* raw = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + HugeBlock::kBytes - 1) & ~(HugeBlock::kBytes - 1);
  const std::size_t head = aligned - start;
  const std::size_t tail = span - head - bytes;
  if (head > 0) munmap(raw, head);
  if (tail > 0) munmap(reinterpret_cast<void*>(aligned + bytes), tail);
  return reinterpret_cast<void*>(aligned);
}

}  // namespace

void AdviseHugePages(const void* data, std::size_t bytes) {
#ifdef MADV_HUGEPAGE
  const auto start = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (start + HugeBlock::kBytes - 1) & ~(HugeBlock::kBytes - 1);
  const std::uintptr_t last = (start + bytes) & ~(HugeBlock::kBytes - 1);
  if (data == nullptr || last <= first) return;
  madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)data;
  (void)bytes;
#endif
}

void PopulatePages(void* data, std::size_t bytes) {
#ifdef MADV_POPULATE_WRITE
  if (data != nullptr && bytes > 0) madvise(data, bytes, MADV_POPULATE_WRITE);
#else
  (void)data;
  (void)bytes;
#endif
}

HugeBlock::HugeBlock(std::size_t bytes) : bytes_(bytes) {
  data_ = MapAligned(bytes);
#ifdef MADV_HUGEPAGE
  // Only advice: where huge pages are off, the block keeps ordinary pages.
  madvise(data_, bytes, MADV_HUGEPAGE);
#endif
}

HugeBlock::~HugeBlock() { Release(); }

HugeBlock::HugeBlock(HugeBlock&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), bytes_(std::exchange(other.bytes_, 0)) {}

HugeBlock& HugeBlock::operator=(HugeBlock&& other) noexcept {
  if (this != &other) {
    Release();
    data_ = std::exchange(other.data_, nullptr);
    bytes_ = std::exchange(other.bytes_, 0);
  }
  return *this;
}

void HugeBlock::Release() {
  if (data_ != nullptr) munmap(data_, bytes_);
  data_ = nullptr;
}

}  // namespace tw
