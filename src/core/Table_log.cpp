// The raw log table and the details command: the records behind one row of
// the statistics table, oldest first.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Loadlog_carray.h"
#include "Loadlog_client_address.h"
#include "Loadlog_huge_block.h"
#include "Main_form.h"
#include "Stat_kinds.h"
#include "Stat_radix_sort.h"
#include "Stat_row_report.h"
#include "Stat_rows.h"
#include "Stat_selection.h"
#include "Table_log_grid.h"

namespace tw {

std::string RawLogGrid::Cell(int col, int row) const {
  if (col < 0 || col >= kColCount) return {};
  if (row == 0) return static_cast<std::size_t>(col) < Header.size() ? Header[col] : std::string();
  const LogRecord* r = RecordAt(row);
  if (r == nullptr) return {};
  auto text = [](const char* t) { return t != nullptr ? std::string(t) : std::string(); };
  switch (col) {
    case 0:
      return std::to_string(row);
    case 1:
      return FormatClientAddress(Addresses, *r);
    case 2:
      return FormatLogTime(r->LogTime);
    case 3:
      return text(r->Url());
    case 4:
      return std::to_string(r->Status);
    case 5:
      return std::to_string(r->Bytes);
    case 6:
      return text(r->Referrer());
    default:
      return text(r->UserAgent());
  }
}

const LogRecord* RawLogGrid::RecordAt(int row) const {
  if (row < 1 || static_cast<std::size_t>(row) > listed_.size()) return nullptr;
  return listed_[static_cast<std::size_t>(row) - 1];
}

void RawLogGrid::ReserveRows(std::size_t rows) {
  ReserveInHugePages(listed_, listed_.size() + rows);
}

void RawLogGrid::Clear() {
  std::vector<const LogRecord*>().swap(listed_);  // a long list gives its memory back
  Row = 1;
}

namespace {

// Which records belong to the current row of the statistics table: the
// registry's rule for the report kind shown.
class DetailsRule {
 public:
  DetailsRule(const TSDIAppForm& form, int row) {
    const ReportKindInfo* info = FindReportKind(form.ReportKind);
    if (info == nullptr) return;
    time_row_ = info->TimeRow;
    query_ = {form.CurrentPeriod(), row, CARRAY_Count(form.Rows)};
    // Table row Y shows entry Y - 1 of Rows; past the rows nothing is listed.
    if (info->Rows != nullptr && row >= 1 && row <= query_.entries) {
      const char* label = static_cast<const ReportRow*>(CARRAY_Item(form.Rows, row - 1))->Label;
      members_.emplace(form, *info->Rows, label);
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

constexpr int kIpv4AddressWidth = 90;
constexpr int kIpv6AddressWidth = 250;

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

void TSDIAppForm::onStringGrid1Click() {
  StringGrid2.Clear();
  // The last row is the totals row, or the one empty row of an empty table.
  const int row = StringGrid1.Row;
  Button2.Enabled = row >= 1 && row < StringGrid1.RowCount() - 1;
}

void TSDIAppForm::Button2Click() { ShowDetails(); }

void TSDIAppForm::ShowDetails() {
  StringGrid2.Clear();
  StringGrid2.Addresses = Ipv6Addresses.get();
  const DetailsRule rule(*this, StringGrid1.Row);

  // Only the listed records are sorted, each by its time and then its place
  // in the file, so records of one second come in file order. The selection
  // is in file order, so a record's place in it serves as its place in the
  // file: each listed record is one key, time above place, sorted by radix.
  const std::size_t n =
      std::min<std::size_t>(Selected.size(), SelectedCount > 0 ? SelectedCount : 0);
  std::vector<std::uint64_t> listed;
  ReserveInHugePages(listed, n);
  for (std::size_t i = 0; i < n; ++i) {
    PrefetchSelected(Selected, i, n);
    if (!rule.Lists(*Selected[i])) continue;
    listed.push_back(std::uint64_t{ChronologicalKey(Selected[i]->LogTime)} << 32 | i);
  }
  RadixSort(listed);
  StringGrid2.ReserveRows(listed.size());
  bool any_ipv6 = false;
  for (const std::uint64_t key : listed) {
    const LogRecord* r = Selected[key & 0xFFFFFFFFu];
    StringGrid2.AppendRawLogRow(r);
    any_ipv6 = any_ipv6 || r->IsIpv6;
  }
  // An IPv6 address needs up to 39 characters; a dotted quad fits the narrow column.
  StringGrid2.ColWidths[1] = any_ipv6 ? kIpv6AddressWidth : kIpv4AddressWidth;
}

}  // namespace tw
