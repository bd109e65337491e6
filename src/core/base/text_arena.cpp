#include "base/text_arena.h"

#include <map>
#include <mutex>
#include <new>
#include <vector>

#include <sys/mman.h>

namespace tw {

namespace text_arena_detail {
const char* g_base = nullptr;
}  // namespace text_arena_detail

namespace {

// As much as 32-bit refs of 8-byte steps reach; a system that will not
// reserve so much gets the largest stretch it grants, down to 64 MiB.
constexpr std::size_t kLargest = std::size_t{1} << 35;
constexpr std::size_t kSmallest = std::size_t{64} << 20;

class Stretch {
 public:
  static Stretch& Instance() {
    static Stretch stretch;
    return stretch;
  }

  char* Allocate(std::size_t bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (base_ == nullptr) throw std::bad_alloc();
    auto spare = free_.find(bytes);
    if (spare != free_.end() && !spare->second.empty()) {
      char* block = spare->second.back();
      spare->second.pop_back();
      in_use_ += bytes;
      return block;
    }
    if (bytes > size_ - used_) throw std::bad_alloc();
    char* block = base_ + used_;
    used_ += bytes;
    in_use_ += bytes;
    return block;
  }

  void Free(char* block, std::size_t bytes) {
    // The pages go back to the system now; reused, they read as zeros.
    madvise(block, bytes, MADV_DONTNEED);
    std::lock_guard<std::mutex> lock(mutex_);
    in_use_ -= bytes;
    try {
      free_[bytes].push_back(block);
    } catch (const std::bad_alloc&) {
      // Not kept for reuse: only its addresses are lost, not memory.
    }
  }

  std::size_t InUse() {
    std::lock_guard<std::mutex> lock(mutex_);
    return in_use_;
  }

  bool Contains(const char* p) const {
    return base_ != nullptr && p >= base_ && p < base_ + size_;
  }

 private:
  Stretch() {
    for (std::size_t size = kLargest; size >= kSmallest; size /= 2) {
      void* at = mmap(nullptr, size, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
      if (at != MAP_FAILED) {
        base_ = static_cast<char*>(at);
        size_ = size;
        text_arena_detail::g_base = base_;
        break;
      }
    }
    used_ = TextArena::kPage;  // the first page stays unused, so no text has ref 0
  }

  std::mutex mutex_;
  char* base_ = nullptr;
  std::size_t size_ = 0;
  std::size_t used_ = 0;
  std::size_t in_use_ = 0;
  std::map<std::size_t, std::vector<char*>> free_;  // freed blocks by size
};

std::size_t WholePages(std::size_t bytes) {
  return (bytes + TextArena::kPage - 1) / TextArena::kPage * TextArena::kPage;
}

}  // namespace

char* TextArena::Allocate(std::size_t bytes) { return Stretch::Instance().Allocate(WholePages(bytes)); }

void TextArena::Free(char* block, std::size_t bytes) {
  if (block != nullptr) Stretch::Instance().Free(block, WholePages(bytes));
}

std::size_t TextArena::BytesInUse() { return Stretch::Instance().InUse(); }

bool IsArenaText(const char* text) {
  return Stretch::Instance().Contains(text) &&
         reinterpret_cast<std::uintptr_t>(text) % TextArena::kUnit == 0;
}

}  // namespace tw
