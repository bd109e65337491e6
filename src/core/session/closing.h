#pragma once

// The heavy part of a load's closing steps, done where the load ran: the site
// tree and the first analysis (the by-day report of the month in the middle
// of the log, pages only, the whole site). The window then only takes them
// over, so a big log does not hold its thread once more after the load.
//
//   log.closing = PrepareClosing(log, {.skip_crawlers = true});  // worker
//   form.FinishLoad(result, std::move(log));                     // window

#include <memory>
#include <optional>
#include <vector>

#include "analysis/period.h"
#include "analysis/report_rows.h"
#include "analysis/selection.h"
#include "analysis/site_tree_nodes.h"
#include "log/record.h"
#include "log/record_array.h"

namespace tw {

// What the window will analyse after the load, read from it before the load.
struct ClosingChoice {
  bool skip_crawlers = false;
  bool tree = true;
  bool analysis = true;
};

// The calendar dates of a log's records: the earliest, the latest and every
// month that has one, in time order.
struct LogDates {
  bool any = false;  // false: no record has a calendar date
  CalendarDate earliest{};
  CalendarDate latest{};
  std::vector<CalendarDate> months;  // the first of each month
};

LogDates LogDatesOf(const RecordArray& records);

struct PreparedClosing {
  std::optional<LogDates> dates;   // empty: not prepared
  std::unique_ptr<TreeNode> tree;  // null: not prepared
  bool analysed = false;
  SelectionChoice selection;              // what the analysis chose ...
  std::vector<const LogRecord*> selected;  // ... the records it chose
  std::vector<TimeRow> day_rows;           // and their by-day counts, without labels
};

// The period analysed first after a load: the month of the record in the
// middle of the log (January 2008 for a log without records).
Period PeriodAfterLoadOf(const RecordArray& records);

// The site tree and the first analysis of a loaded log.
std::unique_ptr<PreparedClosing> PrepareClosing(const RecordArray& records,
                                                std::size_t distinct_urls,
                                                const ClosingChoice& choice);

}  // namespace tw
