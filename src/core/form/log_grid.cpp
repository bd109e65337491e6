// The raw log table and the details command: the records behind one row of
// the statistics table, oldest first.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <string>
#include <vector>

#include "base/huge_block.h"
#include "form/form.h"
#include "form/log_grid.h"
#include "log/client_address.h"

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

constexpr int kIpv4AddressWidth = 90;
constexpr int kIpv6AddressWidth = 250;

}  // namespace

void RawLogGrid::List(std::vector<const LogRecord*> records) {
  listed_ = std::move(records);
  Row = 1;
}

void TSDIAppForm::onStringGrid1Click() {
  StringGrid2.Clear();
  // The last row is the totals row, or the one empty row of an empty table.
  const int row = StringGrid1.Row;
  Button2.Enabled = row >= 1 && row < StringGrid1.RowCount() - 1;
}

void TSDIAppForm::Button2Click() { ShowDetails(); }

void TSDIAppForm::ShowDetails() {
  StringGrid2.Clear();
  StringGrid2.Addresses = Ipv6Addresses();
  StringGrid2.List(session_.Details(StringGrid1.Row));
  bool any_ipv6 = false;
  for (int row = 1; row < StringGrid2.RowCount() - 1 && !any_ipv6; ++row) {
    any_ipv6 = StringGrid2.RecordAt(row)->IsIpv6;
  }
  // An IPv6 address needs up to 39 characters; a dotted quad fits the narrow column.
  StringGrid2.ColWidths[1] = any_ipv6 ? kIpv6AddressWidth : kIpv4AddressWidth;
}

}  // namespace tw
