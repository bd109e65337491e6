// The report by day of the analysed period: hits, good hits, hosts and visits
// per calendar day, one row for each day from the first to the last.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/period.h"
#include "analysis/report_day.h"
#include "analysis/report_result.h"
#include "analysis/selection.h"
#include "analysis/time_run.h"
#include "base/huge_block.h"
#include "base/language.h"
#include "base/text_format.h"

namespace tw {

namespace {

// Inside a day's run, a client's records go by minute alone: the hour takes
// no part.
constexpr TimeKeyLayout kDayLayout{6};

}  // namespace

std::vector<TimeRow> CountDays(const std::vector<const LogRecord*>& selected, std::size_t count,
                               const Period& period) {
  const int days = PeriodDayCount(period);
  std::vector<TimeRow> rows(static_cast<std::size_t>(days));
  // A record outside the period (or of no calendar date) has no row and is not counted.
  const std::size_t n = std::min(selected.size(), count);
  std::vector<std::uint64_t> keys;
  ReserveInHugePages(keys, n);
  const PeriodDays day_of(period);
  for (std::size_t i = 0; i < n; ++i) {
    PrefetchSelected(selected, i, n);
    const LogRecord& r = *selected[i];
    const int day = day_of.IndexOf(r.LogTime);
    if (day < 0 || day >= days || static_cast<std::uint64_t>(day) >= kDayLayout.MaxRows()) continue;
    keys.push_back(TimeKey(kDayLayout, static_cast<std::uint32_t>(day), r,
                           static_cast<std::uint32_t>(LogMinute(r.LogTime))));
  }
  CountTimeKeys(keys, kDayLayout, rows);
  return rows;
}

void NameDayRows(const AnalysisInput& in, std::vector<TimeRow>& rows) {
  const Period& period = in.choice.selection.period;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const CalendarDate date = PeriodDay(period, static_cast<int>(i));
    rows[i].Label = FormatText("%02d %s %04d", {date.Day,
                                                in.context.lang->Get("month" + std::to_string(date.Month)),
                                                date.Year});
  }
}

void ReportByDay(const AnalysisInput& in, ReportResult& out) {
  out.time_table = true;
  out.time_rows = CountDays(out.selected, out.selected.size(), in.choice.selection.period);
  NameDayRows(in, out.time_rows);
}

}  // namespace tw
