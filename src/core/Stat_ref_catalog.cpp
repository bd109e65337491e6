#include "Main_form.h"
#include "Stat_row_report.h"

namespace tw {

namespace {

std::int32_t ReferrerKindOf(const LogRecord& r) { return r.ReferrerKind; }

bool IsExternal(const TSDIAppForm&, const LogRecord& r) { return r.ReferrerKind == RefExternal; }

}  // namespace

// Catalogues and ratings: pages of other sites that are not search engines,
// one row per full referring address.
const RowReport kCataloguesReport{
    .Kind = 11,
    .SortByCount = true,
    .Major = ReferrerKindOf,
    .Text = &LogRecord::ReferrerRef,
    .Counts = IsExternal,
};

void TSDIAppForm::ReportCatalogues(std::vector<const LogRecord*>& selected, std::int32_t count) {
  RunRowReport(*this, kCataloguesReport, selected, count);
}

}  // namespace tw
