// The report by day of the analysed period: hits, good hits, hosts and visits
// per calendar day, one row for each day from the first to the last.

#include <cstdint>
#include <string>
#include <vector>

#include "Main_form.h"
#include "Stat_period.h"
#include "Stat_sort.h"
#include "Stat_time_run.h"
#include "Text_format.h"

namespace tw {

namespace {

// Year, month, day, address (number and IPv6 flag), minute, second: each
// calendar day is one run, its records grouped by client in minute order.
// The hour takes no part.
std::uint64_t DayKey(const LogRecord& r) {
  const LogTime t = r.LogTime;
  return std::uint64_t(LogYear(t) - 1970) << 58 | std::uint64_t(LogMonth(t)) << 54 |
         std::uint64_t(LogDay(t)) << 49 | std::uint64_t(r.ClientIp) << 17 |
         std::uint64_t(r.IsIpv6) << 16 | std::uint64_t(LogMinute(t)) << 10 |
         std::uint64_t(LogSecond(t)) << 4;
}

}  // namespace

void TSDIAppForm::ReportByDay(std::vector<const LogRecord*>& selected, std::int32_t count) {
  const Period period = CurrentPeriod();
  SortRecordsByKey(selected, DayKey);

  const int days = PeriodDayCount(period);
  std::vector<TimeRow> rows(static_cast<std::size_t>(days));
  for (int i = 0; i < days; ++i) {
    const CalendarDate date = PeriodDay(period, i);
    rows[static_cast<std::size_t>(i)].Label = FormatText(
        "%02d %s %04d", {date.Day, Lang.Get("month" + std::to_string(date.Month)), date.Year});
  }

  // A record outside the period (or of no calendar date) has no row and is not counted.
  CountTimeRuns(
      selected, count < 0 ? 0 : static_cast<std::size_t>(count), rows,
      [&period](const LogRecord& r) { return PeriodDayIndex(period, r.LogTime); },
      [](const LogRecord& r) { return r.LogTime & 0x7FFF; });  // day, month, year bits

  ShowTimeTable(Lang.Get("statheader1"), rows);
}

}  // namespace tw
