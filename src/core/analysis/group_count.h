#pragma once

// Counting records by group in one pass, without sorting them: a group is a
// pair of numbers (a major and a minor key), and for each group the table
// keeps its count and the position of its first record.
//
//   GroupCounter groups;
//   groups.Add(0, 404, 0);
//   groups.Add(0, 200, 1);
//   groups.Add(0, 404, 2);
//   groups.Take();  // {404: count 2, first 0}, {200: count 1, first 1}, in no order
//
// Open addressing over a table kept at most half full, so a look-up touches
// one or two slots; a report's few distinct groups stay in the cache while
// millions of records stream past.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tw {

class GroupCounter {
 public:
  struct Group {
    std::uint64_t minor = 0;
    std::uint32_t major = 0;
    std::uint32_t first = 0;  // position of the group's first record
    std::int32_t count = 0;   // 0: a free slot
  };

  GroupCounter();

  // Counts one record at `position`; positions come in ascending order.
  void Add(std::uint32_t major, std::uint64_t minor, std::uint32_t position) {
    std::size_t i = Hash(major, minor) & mask_;
    for (;;) {
      Group& g = slots_[i];
      if (g.count == 0) break;
      if (g.minor == minor && g.major == major) {
        ++g.count;
        return;
      }
      i = (i + 1) & mask_;
    }
    Insert(i, major, minor, position);
  }

  // The groups counted, in no particular order. The counter is empty after.
  std::vector<Group> Take();

 private:
  static std::size_t Hash(std::uint32_t major, std::uint64_t minor) {
    // The finaliser of MurmurHash3: pointers' equal low bits spread too.
    std::uint64_t h = minor ^ (std::uint64_t{major} << 47 | std::uint64_t{major} >> 17);
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    return static_cast<std::size_t>(h);
  }
  void Insert(std::size_t slot, std::uint32_t major, std::uint64_t minor, std::uint32_t position);
  void Grow();

  std::vector<Group> slots_;
  std::size_t mask_ = 0;
  std::size_t used_ = 0;
};

}  // namespace tw
