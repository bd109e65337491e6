#include "Main_form.h"
#include "Stat_row_report.h"

namespace tw {

// Requested pages: one row per request path (query included), most requested first.
const RowReport kRequestsReport{
    .Kind = 4,
    .SortByCount = true,
    .Text = &LogRecord::UrlRef,
};

void TSDIAppForm::ReportRequests(std::vector<const LogRecord*>& selected, std::int32_t count) {
  RunRowReport(*this, kRequestsReport, selected, count);
}

}  // namespace tw
