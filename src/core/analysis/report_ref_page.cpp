#include "analysis/report_kinds.h"

namespace tw {

// Referring pages: one row per decoded referrer; every record counts.
const RowReport kReferrerPagesReport{
    .SortByCount = true,
    .Text = &LogRecord::ReferrerRef,
};

}  // namespace tw
