#include "Main_form.h"
#include "Stat_row_report.h"

namespace tw {

// Referring pages: one row per decoded referrer; every record counts.
const RowReport kReferrerPagesReport{
    .Kind = 10,
    .SortByCount = true,
    .Text = &LogRecord::ReferrerRef,
};

void TSDIAppForm::ReportReferrerPages(std::vector<const LogRecord*>& selected, std::int32_t count) {
  RunRowReport(*this, kReferrerPagesReport, selected, count);
}

}  // namespace tw
