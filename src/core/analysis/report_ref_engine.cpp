#include <cstdint>

#include "analysis/report_kinds.h"
#include "parse/referrer.h"

namespace tw {

namespace {

std::int32_t ReferrerKindOf(const LogRecord& r) { return r.ReferrerKind; }

// Signed order as unsigned: flip the sign bit.
std::uint64_t EngineKey(const ReportContext&, const LogRecord& r) {
  return static_cast<std::uint32_t>(r.EngineIndex) ^ 0x80000000u;
}

// Records of a search engine whose index names an entry of the engine list.
bool IsEngineRecord(const ReportContext& context, const LogRecord& r) {
  return r.ReferrerKind == RefSearchEngine && r.EngineIndex >= 0 && context.engines != nullptr &&
         static_cast<std::size_t>(r.EngineIndex) < context.engines->EngineNames.size();
}

// The label is the engine list's own entry, borrowed.
std::string_view EngineLabel(const ReportContext& context, const LogRecord& r, LabelStore&) {
  return context.engines->EngineNames[static_cast<std::size_t>(r.EngineIndex)];
}

}  // namespace

// Search engines: one row per engine of the list that brought visitors.
const RowReport kSearchEnginesReport{
    .SortByCount = true,
    .Major = ReferrerKindOf,
    .Number = EngineKey,
    .Counts = IsEngineRecord,
    .MakeLabel = EngineLabel,
};

}  // namespace tw
