// The report by hour of the day: hits, good hits, hosts and visits in each of
// the 24 hours, over all days of the analysed period.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Main_form.h"
#include "Stat_time_run.h"
#include "Text_format.h"
#include "Loadlog_huge_block.h"
#include "Stat_selection.h"

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

void TSDIAppForm::ReportByHour(std::vector<const LogRecord*>& selected, std::int32_t count) {
  std::vector<TimeRow> rows(kHours);
  for (int h = 0; h < kHours; ++h) {
    rows[static_cast<std::size_t>(h)].Label = FormatText("%02d:00 - %02d:00", {h, h + 1});
  }

  const PeriodDays period(CurrentPeriod());
  const std::size_t n = std::min(selected.size(), static_cast<std::size_t>(std::max(count, 0)));
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

  ShowTimeTable(Lang.Get("statheader2"), rows);
}

}  // namespace tw
