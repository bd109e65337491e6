#pragma once

// The details of a report: the records behind one row of its table.

#include <vector>

#include "analysis/report_input.h"
#include "analysis/report_result.h"
#include "log/record.h"

namespace tw {

// The records of table row `row` (1 the first under the titles) of `result`,
// oldest first, records of one second in file order. Nothing for the titles,
// the totals row, a row past the table or a kind without a details rule.
// REQUIRES: `context` is what the result was run with (or reads the same).
std::vector<const LogRecord*> ListRowRecords(const ReportResult& result, int row,
                                             const ReportContext& context);

}  // namespace tw
