#include "Main_form.h"
#include "Stat_row_report.h"

namespace tw {

// Referring domains: every record counts, those without a referrer under "-"
// and those from the site itself under its own domain.
const RowReport kReferrerDomainsReport{
    .Kind = 9,
    .SortByCount = true,
    .Text = &LogRecord::ReferrerDomainRef,
};

void TSDIAppForm::ReportReferrerDomains(std::vector<const LogRecord*>& selected,
                                        std::int32_t count) {
  RunRowReport(*this, kReferrerDomainsReport, selected, count);
}

}  // namespace tw
