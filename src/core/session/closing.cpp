#include "session/closing.h"

#include <algorithm>
#include <cstdint>

#include "analysis/report_day.h"
#include "analysis/site_tree.h"

namespace tw {

namespace {
constexpr int kPagesOnly = 1;  // the request kind a load leaves chosen
}  // namespace

LogDates LogDatesOf(const RecordArray& records) {
  LogDates dates;
  // The record array knows every date code it holds; codes taken in the order
  // of year, month and day come out in time order.
  for (int year = 1970; year < 1970 + 64; ++year) {
    for (int month = 0; month < 16; ++month) {
      bool month_seen = false;
      for (int day = 0; day < 32; ++day) {
        const LogTime t = PackLogTime({day, month, year, 0, 0, 0});
        if (!records.HasDateCode(t) || !IsCalendarDate(t)) continue;
        const CalendarDate date{year, month, day};
        if (!dates.any) dates.earliest = date;
        dates.latest = date;
        dates.any = true;
        month_seen = true;
      }
      if (month_seen) dates.months.push_back({year, month, 1});
    }
  }
  return dates;
}

Period PeriodAfterLoadOf(const RecordArray& records) {
  const std::int32_t count = records.Count();
  if (count <= 0) return EmptyLogPeriod();
  // The parser only makes months 1 to 12, so the middle record names a month.
  const LogTime middle = records[count / 2]->LogTime;
  const int month = LogMonth(middle);
  return month >= 1 && month <= 12 ? MonthPeriod(LogYear(middle), month) : EmptyLogPeriod();
}

std::unique_ptr<PreparedClosing> PrepareClosing(const RecordArray& records,
                                                std::size_t distinct_urls,
                                                const ClosingChoice& choice) {
  auto closing = std::make_unique<PreparedClosing>();
  closing->dates = LogDatesOf(records);
  if (choice.tree) closing->tree = SiteTreeOf(records, distinct_urls, kPagesOnly);
  if (choice.analysis && records.Count() > 0) {
    closing->selection =
        SelectionChoice{PeriodAfterLoadOf(records), kPagesOnly, choice.skip_crawlers, "/"};
    closing->selected = SelectRecordsOf(records, closing->selection);
    closing->day_rows = CountDays(closing->selected, closing->selected.size(),
                                  closing->selection.period);
    closing->analysed = true;
  }
  return closing;
}

}  // namespace tw
