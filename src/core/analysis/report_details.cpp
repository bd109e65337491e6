#include "analysis/report_details.h"

#include <cstddef>
#include <cstdint>
#include <optional>

#include "analysis/radix_sort.h"
#include "analysis/report_kinds.h"
#include "analysis/row_report.h"
#include "analysis/selection.h"
#include "base/huge_block.h"

namespace tw {

namespace {

// Which records belong to one row: the registry's rule for the result's kind.
class DetailsRule {
 public:
  DetailsRule(const ReportResult& result, int row, const ReportContext& context) {
    const ReportKindInfo* info = result.kind;
    if (info == nullptr) return;
    time_row_ = info->TimeRow;
    query_ = {result.choice.selection.period, row, static_cast<std::int32_t>(result.rows.size())};
    // Table row Y shows count row Y - 1; past the rows nothing is listed.
    if (info->Rows != nullptr && row >= 1 && row <= query_.entries) {
      const ReportRow& shown = result.rows[static_cast<std::size_t>(row - 1)];
      members_.emplace(context, *info->Rows, *result.selected[shown.First]);
    }
  }

  bool Lists(const LogRecord& r) const {
    if (time_row_ != nullptr) return time_row_(query_, r);
    return members_ && members_->Contains(r);
  }

 private:
  TimeRowRule time_row_ = nullptr;
  TimeRowQuery query_;
  std::optional<RowMembers> members_;  // the row of a row report
};

// Time order: year, month, day, hour, minute, second, packed so that the
// number orders like the time (the stored word does not).
std::uint32_t ChronologicalKey(LogTime t) {
  return static_cast<std::uint32_t>(LogYear(t) - 1970) << 26 |
         static_cast<std::uint32_t>(LogMonth(t)) << 22 |
         static_cast<std::uint32_t>(LogDay(t)) << 17 |
         static_cast<std::uint32_t>(LogHour(t)) << 12 |
         static_cast<std::uint32_t>(LogMinute(t)) << 6 | static_cast<std::uint32_t>(LogSecond(t));
}

}  // namespace

std::vector<const LogRecord*> ListRowRecords(const ReportResult& result, int row,
                                             const ReportContext& context) {
  const DetailsRule rule(result, row, context);
  // Only the listed records are sorted, each by its time and then its place
  // in the file, so records of one second come in file order. The selection
  // is in file order, so a record's place in it serves as its place in the
  // file: each listed record is one key, time above place, sorted by radix.
  const std::vector<const LogRecord*>& selected = result.selected;
  const std::size_t n = selected.size();
  std::vector<std::uint64_t> listed;
  ReserveInHugePages(listed, n);
  for (std::size_t i = 0; i < n; ++i) {
    PrefetchSelected(selected, i, n);
    if (!rule.Lists(*selected[i])) continue;
    listed.push_back(std::uint64_t{ChronologicalKey(selected[i]->LogTime)} << 32 | i);
  }
  RadixSort(listed);
  std::vector<const LogRecord*> records;
  ReserveInHugePages(records, listed.size());
  for (const std::uint64_t key : listed) records.push_back(selected[key & 0xFFFFFFFFu]);
  return records;
}

}  // namespace tw
