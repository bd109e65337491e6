// The period frame of the view: the log's months in the month choice, the
// pickers' range, and the analysed period on the pickers.

#include <algorithm>
#include <string>

#include "base/language.h"
#include "base/text_format.h"
#include "form/view.h"

namespace tw {

namespace {

CalendarDate MonthOf(const CalendarDate& date) { return CalendarDate{date.Year, date.Month, 1}; }

std::string MonthChoiceText(const LanguagePack& lang, const CalendarDate& first) {
  std::string id = "month";
  id += std::to_string(first.Month);
  return FormatText("%s %04d", {lang.Get(id), first.Year});
}

}  // namespace

void ShowLogDatesInView(const LogDates& dates, const LanguagePack& lang,
                        const CalendarDate& today, FormView& view) {
  view.ComboBox1.Items.clear();
  view.ComboBox1.ItemIndex = -1;
  for (const CalendarDate& first : dates.months) {
    view.ComboBox1.Items.push_back(MonthChoiceText(lang, first));
  }
  for (DatePicker* picker : {&view.DateTimePicker1, &view.DateTimePicker2}) {
    picker->Enabled = true;
    picker->HasMinDate = true;
    picker->MinDate = dates.any ? dates.earliest : today;
    picker->MaxDate = dates.any ? dates.latest : today;
  }
  view.ComboBox1.Enabled = !dates.months.empty();
}

void ShowPeriodInView(const LogDates& dates, const Period& analysed, FormView& view) {
  if (!dates.any) {
    view.DateTimePicker1.Date = view.DateTimePicker1.MinDate;
    view.DateTimePicker2.Date = view.DateTimePicker2.MaxDate;
    view.ComboBox1.ItemIndex = -1;
    return;
  }
  Period shown = ClipPeriod(analysed, dates.earliest, dates.latest);
  // A period wholly outside the log's dates shows as the nearer end.
  if (CompareDates(shown.First, dates.latest) > 0) shown.First = dates.latest;
  if (CompareDates(shown.Last, dates.earliest) < 0) shown.Last = dates.earliest;
  if (CompareDates(shown.Last, shown.First) < 0) shown.Last = shown.First;
  view.DateTimePicker1.Date = shown.First;
  view.DateTimePicker2.Date = shown.Last;

  view.ComboBox1.ItemIndex = -1;
  const bool one_month =
      analysed.First.Year == analysed.Last.Year && analysed.First.Month == analysed.Last.Month;
  if (!one_month) return;
  const Period month = MonthPeriod(analysed.First.Year, analysed.First.Month);
  if (ClipPeriod(month, dates.earliest, dates.latest) != shown) return;
  const auto it = std::find(dates.months.begin(), dates.months.end(), MonthOf(analysed.First));
  if (it != dates.months.end()) view.ComboBox1.ItemIndex = static_cast<int>(it - dates.months.begin());
}

}  // namespace tw
