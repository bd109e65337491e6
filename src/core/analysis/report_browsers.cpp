#include "analysis/report_kinds.h"

namespace tw {

// Browsers: one row per whole user-agent text; there is no table of browser
// names. Texts that differ only in letter case share a row.
const RowReport kBrowsersReport{
    .SortByCount = true,
    .Text = &LogRecord::UserAgentRef,
};

}  // namespace tw
