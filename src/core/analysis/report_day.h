#pragma once

// The counts of the by-day report, apart from the window: one row for each
// day of the period, first to last, with hits, good hits, hosts and visits.
// The rows have no labels yet; the report names them in the window's language.

#include <cstddef>
#include <vector>

#include "analysis/period.h"
#include "analysis/report_input.h"
#include "analysis/report_rows.h"
#include "log/record.h"

namespace tw {

// Counts the first `count` records of `selected` (clamped to its size).
std::vector<TimeRow> CountDays(const std::vector<const LogRecord*>& selected, std::size_t count,
                               const Period& period);

// Names the rows CountDays gave after the days of the input's period, in its
// language: "05 March 2013".
void NameDayRows(const AnalysisInput& in, std::vector<TimeRow>& rows);

}  // namespace tw
