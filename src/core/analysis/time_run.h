#pragma once

// The run rule of the by-day and by-hour reports. Each counted record becomes
// one number, its time key: the row of its bucket, its client address, its
// time inside the run and whether it is good (Status below 400). Sorted, the
// keys of one row lie together, and inside a row those of one address in time
// order. Every key adds to its row:
//
//   Hits      +1 always;
//   GoodHits  +1 when it is good;
//   Hosts     +1 for each address of the row that has a good key there;
//   Visits    +1 for each visit with a good key, where an address's keys in
//             a row split into visits wherever the next key's minute is
//             smaller, or larger by more than 15 (minutes only; hours and
//             days don't enter).
//
// So an address whose last request of the day failed is still a host of that
// day, and a row with good hits always has hosts and visits. Keys of one
// address and one minute may come in any order: they never split a visit.
//
//   day 5, 1.1.1.1 200 at :05, 1.1.1.1 200 at :30  ->  Hits 2, GoodHits 2, Hosts 1, Visits 2
//   day 5, 1.1.1.1 200 at :05, 1.1.1.1 404 at :06  ->  Hits 2, GoodHits 1, Hosts 1, Visits 1
//   day 6, 2.2.2.2 404                            ->  Hits 1, GoodHits 0, Hosts 0, Visits 0

#include <cstdint>
#include <vector>

#include "analysis/report_rows.h"
#include "log/record.h"

namespace tw {

// How a report lays out the time inside a run: its width in bits, the minute
// in the lowest six. The row takes the bits above the address.
struct TimeKeyLayout {
  int within_bits;
  // Rows the layout can number.
  std::uint64_t MaxRows() const { return std::uint64_t{1} << (64 - 34 - within_bits); }
};

// The key of `record` in row `row`, `within` its time inside the run.
// REQUIRES: row < layout.MaxRows(), within < 2^layout.within_bits.
inline std::uint64_t TimeKey(TimeKeyLayout layout, std::uint32_t row, const LogRecord& record,
                             std::uint32_t within) {
  const int w = layout.within_bits;
  return std::uint64_t{row} << (34 + w) | std::uint64_t{record.ClientIp} << (2 + w) |
         std::uint64_t{record.IsIpv6} << (1 + w) | std::uint64_t{within} << 1 |
         std::uint64_t{record.Status < 400};
}

// Sorts `keys` and adds each to its row. REQUIRES: every key's row is below rows.size().
void CountTimeKeys(std::vector<std::uint64_t>& keys, TimeKeyLayout layout,
                   std::vector<TimeRow>& rows);

}  // namespace tw
