#include "analysis/report_kinds.h"

namespace tw {

// Requested pages: one row per request path (query included), most requested first.
const RowReport kRequestsReport{
    .SortByCount = true,
    .Text = &LogRecord::UrlRef,
};

namespace {

bool IsNotFound(const ReportContext&, const LogRecord& r) { return r.Status == 404; }

}  // namespace

// Pages not found: one row per requested page the server answered 404, most
// requested first; its details show where each broken link was followed from.
const RowReport kNotFoundReport{
    .SortByCount = true,
    .Text = &LogRecord::UrlRef,
    .Counts = IsNotFound,
};

}  // namespace tw
