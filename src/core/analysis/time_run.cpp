#include "analysis/time_run.h"

#include <cstddef>

#include "analysis/radix_sort.h"

namespace tw {

void CountTimeKeys(std::vector<std::uint64_t>& keys, TimeKeyLayout layout,
                   std::vector<TimeRow>& rows) {
  RadixSort(keys);
  const int address_shift = 1 + layout.within_bits;  // row and address above this
  const int row_shift = 34 + layout.within_bits;
  const auto minute = [](std::uint64_t key) { return static_cast<std::uint32_t>(key >> 1) & 63; };

  bool host_good = false;   // the address's keys so far in this row hold a good one
  bool visit_good = false;  // ... and those of its current visit
  const std::size_t n = keys.size();
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint64_t key = keys[i];
    TimeRow& row = rows[static_cast<std::size_t>(key >> row_shift)];
    ++row.Hits;
    if (key & 1) {
      ++row.GoodHits;
      host_good = visit_good = true;
    }
    const bool last = i + 1 == n;
    const std::uint64_t next = last ? 0 : keys[i + 1];
    const bool host_ends = last || (next >> address_shift) != (key >> address_shift);
    // Unsigned: a smaller minute wraps round to a large difference.
    const bool visit_ends = host_ends || minute(next) - minute(key) > 15;
    if (visit_ends) {
      if (visit_good) ++row.Visits;
      visit_good = false;
    }
    if (host_ends) {
      if (host_good) ++row.Hosts;
      host_good = false;
    }
  }
}

}  // namespace tw
