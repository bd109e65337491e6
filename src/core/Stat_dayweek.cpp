// The report by day of the week: hits per weekday, Sunday to Saturday.

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "Loadlog_carray.h"
#include "Main_form.h"
#include "Stat_selection.h"

namespace tw {

void TSDIAppForm::ReportByDayOfWeek(std::vector<const LogRecord*>& selected,
                                    std::int32_t count) {
  // The rows borrow these texts; ClearReport has already dropped the rows of
  // the previous run, so replacing them here leaves nothing dangling.
  for (int i = 0; i < 7; ++i) DayNames[static_cast<std::size_t>(i)] = Lang.Get("dayweek" + std::to_string(i));

  std::array<std::int32_t, 7> counts{};
  const std::size_t n =
      count < 0 ? 0 : std::min(selected.size(), static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < n; ++i) {
    PrefetchSelected(selected, i, n);
    const LogTime t = selected[i]->LogTime;
    // Day 0 or 31 April names no weekday; such a record is left out.
    if (!IsCalendarDate(t)) continue;
    ++counts[static_cast<std::size_t>(DayOfWeek(t))];
  }

  for (int i = 0; i < 7; ++i) {
    const ReportRow row{DayNames[static_cast<std::size_t>(i)].c_str(),
                        counts[static_cast<std::size_t>(i)]};
    CARRAY_Add(Rows, &row);
  }
  ShowRowTable(Lang.Get("statheader3"), false);
}

}  // namespace tw
