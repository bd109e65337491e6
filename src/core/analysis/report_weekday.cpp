// The report by day of the week: hits per weekday, Sunday to Saturday.

#include <array>
#include <cstdint>
#include <string>

#include "analysis/report_kinds.h"
#include "analysis/report_result.h"
#include "analysis/selection.h"
#include "base/language.h"

namespace tw {

void ReportByDayOfWeek(const AnalysisInput& in, ReportResult& out) {
  std::array<std::int32_t, 7> counts{};
  const std::vector<const LogRecord*>& selected = out.selected;
  const std::size_t n = selected.size();
  for (std::size_t i = 0; i < n; ++i) {
    PrefetchSelected(selected, i, n);
    const LogTime t = selected[i]->LogTime;
    // Day 0 or 31 April names no weekday; such a record is left out.
    if (!IsCalendarDate(t)) continue;
    ++counts[static_cast<std::size_t>(DayOfWeek(t))];
  }

  for (int i = 0; i < 7; ++i) {
    const std::string_view name = out.labels.Add(in.context.lang->Get("dayweek" + std::to_string(i)));
    out.rows.push_back(ReportRow{name, counts[static_cast<std::size_t>(i)], 0});
  }
}

}  // namespace tw
