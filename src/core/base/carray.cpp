#include "base/carray.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace tw {

// Elements live in blocks that hold many of them, so a report with a million
// rows makes a few hundred allocations, not a million. Element addresses
// never change while the element exists.
struct CARRAY {
  std::vector<void*> items;
  std::uint32_t element_size = 0;
  std::vector<std::unique_ptr<unsigned char[]>> blocks;
  std::size_t block_used = 0;
  std::size_t block_capacity = 0;  // elements per block
};

namespace {
constexpr std::size_t kBlockBytes = 64 * 1024;

void Complain(const char* message) {
  std::fputs(message, stdout);
  std::fflush(stdout);
}
}  // namespace

CARRAY* CARRAY_Create(std::uint32_t element_size) {
  auto* ar = new CARRAY;
  ar->element_size = element_size;
  const std::size_t size = element_size == 0 ? 1 : element_size;
  ar->block_capacity = std::max<std::size_t>(1, kBlockBytes / size);
  ar->block_used = ar->block_capacity;  // the first add opens a block
  return ar;
}

std::int32_t CARRAY_Count(const CARRAY* ar) {
  return ar == nullptr ? 0 : static_cast<std::int32_t>(ar->items.size());
}

void* CARRAY_Item(const CARRAY* ar, std::int32_t i) {
  if (ar == nullptr) {
    Complain("Error in CARRAY_Item. *ar=NULL\n");
    return nullptr;
  }
  if (i < 0 || i > static_cast<std::int32_t>(ar->items.size()) - 1) {
    std::printf("Error in CARRAY_Item. Out of range i=%d\n", i);
    std::fflush(stdout);
    return nullptr;
  }
  return ar->items[static_cast<std::size_t>(i)];
}

void* CARRAY_Add(CARRAY* ar, const void* src) {
  if (ar == nullptr || src == nullptr) {
    Complain("Error in CARRAY_Add. *ar=NULL\n");
    return nullptr;
  }
  if (ar->block_used == ar->block_capacity) {
    const std::size_t bytes = ar->block_capacity * std::max<std::uint32_t>(1, ar->element_size);
    ar->blocks.push_back(std::make_unique<unsigned char[]>(bytes));
    ar->block_used = 0;
  }
  void* element = ar->blocks.back().get() + ar->block_used * ar->element_size;
  ++ar->block_used;
  if (ar->element_size > 0) std::memcpy(element, src, ar->element_size);
  ar->items.push_back(element);
  return element;
}

void CARRAY_DeleteAll(CARRAY* ar) {
  if (ar == nullptr) {
    Complain("Error in CARRAY_DeleteAll. *ar=NULL\n");
    return;
  }
  std::vector<void*>().swap(ar->items);
  ar->blocks.clear();
  ar->blocks.shrink_to_fit();
  ar->block_used = ar->block_capacity;
}

void CARRAY_Free(CARRAY*& ar) {
  if (ar == nullptr) return;
  delete ar;
  ar = nullptr;
}

void CARRAY_Sort(CARRAY* ar, CARRAY_Compare cmp) {
  if (ar == nullptr || cmp == nullptr) {
    Complain("Error in CARRAY_Insert. *ar=NULL\n");
    return;
  }
  std::stable_sort(ar->items.begin(), ar->items.end(),
                   [cmp](const void* a, const void* b) { return cmp(a, b) < 0; });
}

}  // namespace tw
