// The report by hour of the day: hits, good hits, hosts and visits in each of
// the 24 hours, over all days of the analysed period.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "analysis/report_kinds.h"
#include "analysis/report_result.h"
#include "analysis/selection.h"
#include "analysis/time_run.h"
#include "base/huge_block.h"
#include "base/text_format.h"

namespace tw {

namespace {

constexpr int kHours = 24;

// Inside an hour's run, a client's records go by year, month, day and minute:
// 6 + 4 + 5 + 6 bits. The second takes no part: records of one minute never
// split a visit, whatever their order.
constexpr TimeKeyLayout kHourLayout{21};

std::uint32_t TimeInHour(LogTime t) {
  return static_cast<std::uint32_t>(LogYear(t) - 1970) << 15 |
         static_cast<std::uint32_t>(LogMonth(t)) << 11 |
         static_cast<std::uint32_t>(LogDay(t)) << 6 | static_cast<std::uint32_t>(LogMinute(t));
}

}  // namespace

void ReportByHour(const AnalysisInput& in, ReportResult& out) {
  out.time_table = true;
  std::vector<TimeRow>& rows = out.time_rows;
  rows.assign(kHours, TimeRow{});
  for (int h = 0; h < kHours; ++h) {
    rows[static_cast<std::size_t>(h)].Label = FormatText("%02d:00 - %02d:00", {h, h + 1});
  }

  const PeriodDays period(in.choice.selection.period);
  const std::vector<const LogRecord*>& selected = out.selected;
  const std::size_t n = selected.size();
  std::vector<std::uint64_t> keys;
  ReserveInHugePages(keys, n);
  for (std::size_t i = 0; i < n; ++i) {
    PrefetchSelected(selected, i, n);
    const LogRecord& r = *selected[i];
    const int hour = LogHour(r.LogTime);
    if (hour >= kHours || !period.Contains(r.LogTime)) continue;
    keys.push_back(TimeKey(kHourLayout, static_cast<std::uint32_t>(hour), r, TimeInHour(r.LogTime)));
  }
  CountTimeKeys(keys, kHourLayout, rows);
}

}  // namespace tw
