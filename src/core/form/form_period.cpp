// The period frame of the main window: the log's dates and months after a
// load, the month choice and the two date pickers.

#include <algorithm>
#include <cstdint>

#include "base/text_format.h"
#include "form/form.h"
#include "session/closing.h"

namespace tw {

Period TSDIAppForm::CurrentPeriod() const {
  return RecordCount() > 0 ? AnalysedPeriod : EmptyLogPeriod();
}

void TSDIAppForm::SetPeriodAfterLoad(const LogDates* prepared) {
  HasLogDates = false;
  LogMonths.clear();
  ComboBox1.Items.clear();
  ComboBox1.ItemIndex = -1;
  ComboBox1.Enabled = false;
  AnalysedPeriod = EmptyLogPeriod();
  if (Records() == nullptr || RecordCount() <= 0) return;

  const LogDates dates = prepared != nullptr ? *prepared : LogDatesOf(*Records());
  HasLogDates = dates.any;
  if (HasLogDates) {
    EarliestDate = dates.earliest;
    LatestDate = dates.latest;
  }
  LogMonths = dates.months;
  AnalysedPeriod = PeriodAfterLoadOf(*Records());
  ShowLogDatesInView(dates, Lang, platform_.Today(), view);
  ShowAnalysedPeriod();
}

void TSDIAppForm::ShowAnalysedPeriod() {
  ShowPeriodInView(LogDates{HasLogDates, EarliestDate, LatestDate, LogMonths}, AnalysedPeriod, view);
}

void TSDIAppForm::SetAnalysedPeriod(const Period& period) {
  AnalysedPeriod = period;
  ShowAnalysedPeriod();
}

void TSDIAppForm::ComboBox1Change(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= LogMonths.size()) return;
  const CalendarDate& month = LogMonths[static_cast<std::size_t>(index)];
  // The whole month is analysed, so the by-day report shows all its days.
  SetAnalysedPeriod(MonthPeriod(month.Year, month.Month));
}

void TSDIAppForm::DateTimePicker1Change(const CalendarDate& date) {
  if (!IsValidDate(date)) return;
  Period period{date, DateTimePicker2.Date};
  // A "from" past the "to" carries the "to" along, so the period stays a period.
  if (CompareDates(period.Last, period.First) < 0) period.Last = period.First;
  SetAnalysedPeriod(period);
}

void TSDIAppForm::DateTimePicker2Change(const CalendarDate& date) {
  if (!IsValidDate(date)) return;
  Period period{DateTimePicker1.Date, date};
  if (CompareDates(period.Last, period.First) < 0) period.First = period.Last;
  SetAnalysedPeriod(period);
}

}  // namespace tw
