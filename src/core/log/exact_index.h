#pragma once

// Pooled texts found again by their exact bytes. A text beyond ASCII costs its
// folding before the pool's letter-case-free hash can look it up; most
// lookups repeat a spelling already pooled, which a plain hash of the bytes
// finds without folding:
//
//   ExactIndex index;
//   index.Add(pooled, 6, ExactIndex::Hash("Москва"));  // pooled reads "Москва"
//   index.Find("Москва", ExactIndex::Hash("Москва"));   // pooled
//   index.Find("МОСКВА", ExactIndex::Hash("МОСКВА"));   // null: other bytes

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tw {

class ExactIndex {
 public:
  static std::uint64_t Hash(std::string_view bytes);

  // The text added with exactly these bytes, or null.
  const char* Find(std::string_view bytes, std::uint64_t hash) const;
  // REQUIRES: `text` (of `length` bytes, whose Hash is `hash`) is not in the
  // index and stays valid and unchanged while the index is used.
  void Add(const char* text, std::uint32_t length, std::uint64_t hash);
  void Clear();
  std::size_t MemoryUsage() const { return slots_.capacity() * sizeof(Slot); }

 private:
  struct Slot {
    const char* text;  // null when the slot is free
    std::uint32_t hash;
    std::uint32_t length;
  };
  void Grow();

  std::vector<Slot> slots_;  // kept at most half full; empty until the first Add
  std::size_t count_ = 0;
};

}  // namespace tw
