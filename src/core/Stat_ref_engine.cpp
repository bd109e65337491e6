#include <cstdint>

#include "Main_form.h"
#include "Stat_row_report.h"

namespace tw {

namespace {

std::int32_t ReferrerKindOf(const LogRecord& r) { return r.ReferrerKind; }

// Signed order as unsigned: flip the sign bit.
std::uint64_t EngineKey(const TSDIAppForm&, const LogRecord& r) {
  return static_cast<std::uint32_t>(r.EngineIndex) ^ 0x80000000u;
}

// Records of a search engine whose index names an entry of the engine list.
bool IsEngineRecord(const TSDIAppForm& form, const LogRecord& r) {
  return r.ReferrerKind == RefSearchEngine && r.EngineIndex >= 0 &&
         static_cast<std::size_t>(r.EngineIndex) < form.Engines.EngineNames.size();
}

// The label is the engine list's own entry, so a row and its records are
// matched by that entry's address, not by searching the name in the referrer.
const char* EngineLabel(const TSDIAppForm& form, const LogRecord& r) {
  return form.Engines.EngineNames[static_cast<std::size_t>(r.EngineIndex)].c_str();
}

bool EngineLabelKey(const TSDIAppForm& form, const char* label, std::uint64_t* key) {
  const std::vector<std::string>& names = form.Engines.EngineNames;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i].c_str() == label) {
      *key = static_cast<std::uint32_t>(static_cast<std::int32_t>(i)) ^ 0x80000000u;
      return true;
    }
  }
  return false;
}

}  // namespace

// Search engines: one row per engine of the list that brought visitors.
const RowReport kSearchEnginesReport{
    .Kind = 12,
    .SortByCount = true,
    .Major = ReferrerKindOf,
    .Number = EngineKey,
    .Counts = IsEngineRecord,
    .MakeLabel = EngineLabel,
    .LabelKey = EngineLabelKey,
};

void TSDIAppForm::ReportSearchEngines(std::vector<const LogRecord*>& selected, std::int32_t count) {
  RunRowReport(*this, kSearchEnginesReport, selected, count);
}

}  // namespace tw
