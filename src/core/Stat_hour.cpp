// The report by hour of the day: hits, good hits, hosts and visits in each of
// the 24 hours, over all days of the analysed period.

#include <cstdint>
#include <string>
#include <vector>

#include "Main_form.h"
#include "Stat_sort.h"
#include "Stat_time_run.h"
#include "Text_format.h"

namespace tw {

namespace {

constexpr int kHours = 24;

// Hour, address (IPv6 flag and number), year, month, day, minute: each hour is
// one run, its records grouped by client in time order. 5+32+1+6+4+5+6 = 59
// bits. The second takes no part: records of one minute never split a visit,
// whatever their order.
std::uint64_t HourKey(const LogRecord& r) {
  const LogTime t = r.LogTime;
  return std::uint64_t(LogHour(t)) << 59 | std::uint64_t(r.ClientIp) << 27 |
         std::uint64_t(r.IsIpv6) << 26 | std::uint64_t(LogYear(t) - 1970) << 20 |
         std::uint64_t(LogMonth(t)) << 16 | std::uint64_t(LogDay(t)) << 11 |
         std::uint64_t(LogMinute(t)) << 5;
}

}  // namespace

void TSDIAppForm::ReportByHour(std::vector<const LogRecord*>& selected, std::int32_t count) {
  SortRecordsByKey(selected, HourKey);

  std::vector<TimeRow> rows(kHours);
  for (int h = 0; h < kHours; ++h) {
    rows[static_cast<std::size_t>(h)].Label = FormatText("%02d:00 - %02d:00", {h, h + 1});
  }

  const Period period = CurrentPeriod();
  CountTimeRuns(
      selected, count < 0 ? 0 : static_cast<std::size_t>(count), rows,
      [&period](const LogRecord& r) {
        const int hour = LogHour(r.LogTime);
        return PeriodContains(period, r.LogTime) && hour < kHours ? hour : -1;
      },
      [](const LogRecord& r) { return static_cast<std::uint64_t>(LogHour(r.LogTime)); });

  ShowTimeTable(Lang.Get("statheader2"), rows);
}

}  // namespace tw
