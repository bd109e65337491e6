// The period frame of the main window: the log's dates and months after a
// load, the month choice and the two date pickers.

#include <algorithm>
#include <cstdint>

#include "base/text_format.h"
#include "form/form.h"
#include "session/closing.h"

namespace tw {

namespace {

CalendarDate MonthOf(const CalendarDate& date) { return CalendarDate{date.Year, date.Month, 1}; }

}  // namespace

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
  for (const CalendarDate& first : dates.months) {
    LogMonths.push_back(first);
    ComboBox1.Items.push_back(
        FormatText("%s %04d", {Lang.Get("month" + std::to_string(first.Month)), first.Year}));
  }

  AnalysedPeriod = PeriodAfterLoadOf(*Records());

  const CalendarDate today = platform_.Today();
  for (DatePicker* picker : {&DateTimePicker1, &DateTimePicker2}) {
    picker->Enabled = true;
    picker->HasMinDate = true;
    picker->MinDate = HasLogDates ? EarliestDate : today;
    picker->MaxDate = HasLogDates ? LatestDate : today;
  }
  ComboBox1.Enabled = !LogMonths.empty();
  ShowAnalysedPeriod();
}

void TSDIAppForm::ShowAnalysedPeriod() {
  if (!HasLogDates) {
    DateTimePicker1.Date = DateTimePicker1.MinDate;
    DateTimePicker2.Date = DateTimePicker2.MaxDate;
    ComboBox1.ItemIndex = -1;
    return;
  }
  Period shown = ClipPeriod(AnalysedPeriod, EarliestDate, LatestDate);
  // A period wholly outside the log's dates shows as the nearer end.
  if (CompareDates(shown.First, LatestDate) > 0) shown.First = LatestDate;
  if (CompareDates(shown.Last, EarliestDate) < 0) shown.Last = EarliestDate;
  if (CompareDates(shown.Last, shown.First) < 0) shown.Last = shown.First;
  DateTimePicker1.Date = shown.First;
  DateTimePicker2.Date = shown.Last;

  ComboBox1.ItemIndex = -1;
  const bool one_month =
      AnalysedPeriod.First.Year == AnalysedPeriod.Last.Year &&
      AnalysedPeriod.First.Month == AnalysedPeriod.Last.Month;
  if (!one_month) return;
  const Period month = MonthPeriod(AnalysedPeriod.First.Year, AnalysedPeriod.First.Month);
  if (ClipPeriod(month, EarliestDate, LatestDate) != shown) return;
  const auto it = std::find(LogMonths.begin(), LogMonths.end(), MonthOf(AnalysedPeriod.First));
  if (it != LogMonths.end()) ComboBox1.ItemIndex = static_cast<int>(it - LogMonths.begin());
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
