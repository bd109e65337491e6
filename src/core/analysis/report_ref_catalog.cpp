#include "analysis/report_kinds.h"

namespace tw {

namespace {

std::int32_t ReferrerKindOf(const LogRecord& r) { return r.ReferrerKind; }

bool IsExternal(const ReportContext&, const LogRecord& r) { return r.ReferrerKind == RefExternal; }

}  // namespace

// Catalogues and ratings: pages of other sites that are not search engines,
// one row per full referring address.
const RowReport kCataloguesReport{
    .SortByCount = true,
    .Major = ReferrerKindOf,
    .Text = &LogRecord::ReferrerRef,
    .Counts = IsExternal,
};

}  // namespace tw
