#pragma once

// The two row shapes of a report's table.

#include <cstdint>
#include <string>
#include <string_view>

namespace tw {

// One aggregated row of a count table. The label is a view: into the loaded
// log's pools or the engine list, or into the labels its ReportResult owns
// (see ReportResult for how long each stays valid).
struct ReportRow {
  std::string_view Label;
  std::int32_t Count = 0;
  // The place in the report's selection of one record of the row, for the
  // details of a row report; 0 for rows no record stands for (weekdays).
  std::uint32_t First = 0;
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
