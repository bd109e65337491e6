// The report by day of the analysed month: hits, good hits, hosts and visits
// per day number, one row per day the month has.

#include <cstdint>
#include <string>
#include <vector>

#include "Main_form.h"
#include "Stat_month.h"
#include "Stat_sort.h"
#include "Stat_time_run.h"
#include "Text_format.h"

namespace tw {

namespace {

// Rows per month number; February always has 29, so a leap day has its row.
constexpr int kDaysInMonth[13] = {0, 31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Without records the empty report shows January 2008.
constexpr int kEmptyMonth = 1;
constexpr int kEmptyYear = 2008;

int DayRows(int month) { return month >= 0 && month <= 12 ? kDaysInMonth[month] : 0; }

// Year, month, day, address, minute, second: each calendar day is one run,
// its records grouped by address in minute order. The hour takes no part.
std::uint64_t DayKey(const LogRecord& r) {
  const LogTime t = r.LogTime;
  return std::uint64_t(LogYear(t) - 1970) << 58 | std::uint64_t(LogMonth(t)) << 54 |
         std::uint64_t(LogDay(t)) << 49 | std::uint64_t(r.ClientIp) << 17 |
         std::uint64_t(LogMinute(t)) << 11 | std::uint64_t(LogSecond(t)) << 5;
}

}  // namespace

void TSDIAppForm::ReportByDay(std::vector<const LogRecord*>& selected, std::int32_t count) {
  const LogRecord* middle = MiddleRecord(*this);
  const int month = middle ? LogMonth(middle->LogTime) : kEmptyMonth;
  const int year = middle ? LogYear(middle->LogTime) : kEmptyYear;

  SortRecordsByKey(selected, DayKey);

  const int days = DayRows(month);
  const std::string month_name =
      Lang.Get("month" + std::to_string(month >= 1 && month <= 12 ? month : 0));
  std::vector<TimeRow> rows(static_cast<std::size_t>(days));
  for (int d = 1; d <= days; ++d) {
    rows[static_cast<std::size_t>(d - 1)].Label = FormatText("%02d %s %04d", {d, month_name, year});
  }

  // A day beyond the month's rows (or day 0) has no row and is not counted.
  CountTimeRuns(
      selected, count < 0 ? 0 : static_cast<std::size_t>(count), rows,
      [month, days](const LogRecord& r) {
        const int day = LogDay(r.LogTime);
        return LogMonth(r.LogTime) == month && day >= 1 && day <= days ? day - 1 : -1;
      },
      [](const LogRecord& r) { return r.LogTime & 0x7FFF; });  // day, month, year bits

  ShowTimeTable(Lang.Get("statheader1"), rows);
}

}  // namespace tw
