#pragma once

// The run rule of the by-day and by-hour reports. The records come sorted so
// that each run (one calendar day, or one hour) is contiguous and, inside it,
// the records of one client address are side by side in time order. Every
// counted record adds to its bucket's row:
//
//   Hits      +1 always;
//   GoodHits  +1 when its Status is below 400;
//   Hosts     +1 for each address of a run that has a record below 400 there;
//   Visits    +1 for each visit with a record below 400, where an address's
//             records in a run split into visits wherever the next record's
//             minute is smaller or larger by more than 15 (minutes only; hours
//             and days don't enter).
//
// So an address whose last request of the day failed is still a host of that
// day, and a row with good hits always has hosts and visits.
// Rows add up, so two runs that share a row (hour 5 of two days) are both counted.
//
//   day 5, 1.1.1.1 200 at :05, 1.1.1.1 200 at :30  ->  Hits 2, GoodHits 2, Hosts 1, Visits 2
//   day 5, 1.1.1.1 200 at :05, 1.1.1.1 404 at :06  ->  Hits 2, GoodHits 1, Hosts 1, Visits 1
//   day 6, 2.2.2.2 404                            ->  Hits 1, GoodHits 0, Hosts 0, Visits 0

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Loadlog_client_address.h"
#include "Loadlog_record.h"
#include "Stat_rows.h"

namespace tw {

// RowOf(record) -> int: the row of the record's bucket, or -1 to leave the record
// out (a day or hour without a row, outside the period). RunOf(record) -> uint64: the
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

  bool host_good = false;   // the address's records so far in this run hold a good one
  bool visit_good = false;  // ... and those of its current visit
  for (std::size_t i = next_counted(0); i < count;) {
    const LogRecord& r = *sorted[i];
    TimeRow& row = rows[static_cast<std::size_t>(row_index(i))];
    const std::size_t j = next_counted(i + 1);
    ++row.Hits;
    if (r.Status < 400) {
      ++row.GoodHits;
      host_good = visit_good = true;
    }
    // A run holds one row, so the address and the visit end in the row they began in.
    const LogRecord* next = j < count ? sorted[j] : nullptr;
    const bool host_ends = next == nullptr || run_of(*next) != run_of(r) || !SameClient(*next, r);
    const bool visit_ends =
        host_ends || static_cast<std::uint32_t>(LogMinute(next->LogTime)) -
                             static_cast<std::uint32_t>(LogMinute(r.LogTime)) > 15;
    if (visit_ends) {
      if (visit_good) ++row.Visits;
      visit_good = false;
    }
    if (host_ends) {
      if (host_good) ++row.Hosts;
      host_good = false;
    }
    i = j;
  }
}

}  // namespace tw
