#pragma once

// The two row shapes the reports hand to the statistics table.

#include <cstdint>
#include <string>

namespace tw {

// One aggregated row of a row report, held in the CARRAY `Rows`. For status
// codes (kind 5) and client addresses (kind 6) the row owns `Label` (allocated
// with new char[]); for every other kind the label is borrowed from a pool, the
// engine list or the weekday names, and outlives the row.
struct ReportRow {
  const char* Label = nullptr;
  std::int32_t Count = 0;
};

// One bucket of the by-day or by-hour report.
struct TimeRow {
  std::string Label;
  std::int32_t Hits = 0;
  std::int32_t GoodHits = 0;
  std::int32_t Hosts = 0;
  std::int32_t Visits = 0;
};

}  // namespace tw
