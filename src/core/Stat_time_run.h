#pragma once

// The run rule of the by-day and by-hour reports. The records come sorted so
// that each run (one calendar day, or one hour) is contiguous and, inside it,
// the records of one client address are side by side in time order. Every
// counted record adds to its bucket's row:
//
//   Hits      +1 always;
//   GoodHits  +1 when its Status is below 400;
//   Hosts     +1 when below 400 and it is the last record of its run or the
//             next counted record comes from another address;
//   Visits    +1 when Hosts would, or when the next record's minute is smaller
//             or larger by more than 15 (minutes only; hours and days don't enter).
//
// Rows add up, so two runs that share a row (day 5 of two years) are both counted.
//
//   day 5, 1.1.1.1 200 at :05, 1.1.1.1 200 at :30  ->  Hits 2, GoodHits 2, Hosts 1, Visits 2
//   day 6, 2.2.2.2 404                            ->  Hits 1, GoodHits 0, Hosts 0, Visits 0

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Loadlog_record.h"
#include "Stat_rows.h"

namespace tw {

// RowOf(record) -> int: the row of the record's bucket, or -1 to leave the record
// out (a day or hour without a row, another month). RunOf(record) -> uint64: the
// run the record belongs to; a run ends where this changes.
template <class RowOf, class RunOf>
void CountTimeRuns(const std::vector<const LogRecord*>& sorted, std::size_t count,
                   std::vector<TimeRow>& rows, RowOf row_of, RunOf run_of) {
  if (count > sorted.size()) count = sorted.size();
  const auto row_index = [&](std::size_t i) {
    const int row = row_of(*sorted[i]);
    return row >= 0 && static_cast<std::size_t>(row) < rows.size() ? row : -1;
  };
  const auto next_counted = [&](std::size_t i) {
    while (i < count && row_index(i) < 0) ++i;
    return i;
  };

  for (std::size_t i = next_counted(0); i < count;) {
    const LogRecord& r = *sorted[i];
    TimeRow& row = rows[static_cast<std::size_t>(row_index(i))];
    const std::size_t j = next_counted(i + 1);
    ++row.Hits;
    if (r.Status < 400) {
      ++row.GoodHits;
      const LogRecord* next = j < count ? sorted[j] : nullptr;
      const bool new_host = next == nullptr || run_of(*next) != run_of(r) ||
                            next->ClientIp != r.ClientIp;
      const std::uint32_t minute_step = static_cast<std::uint32_t>(LogMinute(next ? next->LogTime : 0)) -
                                        static_cast<std::uint32_t>(LogMinute(r.LogTime));
      if (new_host) ++row.Hosts;
      if (new_host || minute_step > 15) ++row.Visits;
    }
    i = j;
  }
}

}  // namespace tw
