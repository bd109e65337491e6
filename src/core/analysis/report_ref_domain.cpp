#include "analysis/report_kinds.h"

namespace tw {

// Referring domains: every record counts, those without a referrer under "-"
// and those from the site itself under its own domain.
const RowReport kReferrerDomainsReport{
    .SortByCount = true,
    .Text = &LogRecord::ReferrerDomainRef,
};

}  // namespace tw
