#include "Loadlog_closing.h"

#include <algorithm>
#include <cstdint>

#include "Sitetree_build.h"
#include "Stat_day.h"

namespace tw {

namespace {
constexpr int kPagesOnly = 1;  // the request kind a load leaves chosen
}  // namespace

LogDates LogDatesOf(const RecordArray& records) {
  LogDates dates;
  // Months as year * 12 + month - 1, so that sorting orders them in time.
  std::vector<std::int32_t> months;
  const std::int32_t count = records.Count();
  for (std::int32_t i = 0; i < count; ++i) {
    const LogTime t = records[i]->LogTime;
    if (!IsCalendarDate(t)) continue;
    const CalendarDate date{LogYear(t), LogMonth(t), LogDay(t)};
    if (!dates.any || CompareDates(date, dates.earliest) < 0) dates.earliest = date;
    if (!dates.any || CompareDates(date, dates.latest) > 0) dates.latest = date;
    dates.any = true;
    const std::int32_t month = date.Year * 12 + date.Month - 1;
    if (months.empty() || months.back() != month) months.push_back(month);
  }
  std::sort(months.begin(), months.end());
  months.erase(std::unique(months.begin(), months.end()), months.end());
  for (const std::int32_t month : months) dates.months.push_back({month / 12, month % 12 + 1, 1});
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
