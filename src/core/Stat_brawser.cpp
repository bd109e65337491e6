#include "Main_form.h"
#include "Stat_row_report.h"

namespace tw {

// Browsers: one row per whole user-agent text; there is no table of browser
// names. Texts that differ only in letter case share a row.
const RowReport kBrowsersReport{
    .Kind = 14,
    .SortByCount = true,
    .Text = &LogRecord::UserAgentRef,
};

void TSDIAppForm::ReportBrowsers(std::vector<const LogRecord*>& selected, std::int32_t count) {
  RunRowReport(*this, kBrowsersReport, selected, count);
}

}  // namespace tw
