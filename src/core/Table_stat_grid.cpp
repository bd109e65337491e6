// StringGrid1's cells, produced from the report's rows when they are read.

#include "Table_stat_grid.h"

#include <string>

#include "Loadlog_carray.h"
#include "Text_delimited.h"
#include "Text_format.h"

namespace tw {

namespace {

constexpr int kCountColumns = 4;
constexpr int kTimeColumns = 6;

}  // namespace

int StatGrid::RowCount() const {
  const int data_rows = time_mode_ ? static_cast<int>(time_rows_.size()) : CARRAY_Count(count_rows_);
  return data_rows + 2;
}

std::string StatGrid::Cell(int col, int row) const {
  const int rows = RowCount();
  if (col < 0 || col >= col_count_ || row < 0 || row >= rows) return {};
  const auto c = static_cast<std::size_t>(col);
  if (row == 0) return c < header_.size() ? header_[c] : std::string();
  const int data_rows = rows - 2;
  if (row == data_rows + 1) {
    // The totals row, or the single empty row of an empty table.
    return data_rows > 0 && c < totals_.size() ? totals_[c] : std::string();
  }
  if (time_mode_) {
    const TimeRow& r = time_rows_[static_cast<std::size_t>(row - 1)];
    switch (col) {
      case 1: return r.Label;
      case 2: return std::to_string(r.Hits);
      case 3: return std::to_string(r.GoodHits);
      case 4: return std::to_string(r.Hosts);
      case 5: return std::to_string(r.Visits);
      default: return {};
    }
  }
  const auto* r = static_cast<const ReportRow*>(CARRAY_Item(count_rows_, row - 1));
  if (r == nullptr) return {};
  switch (col) {
    case 1: return r->Label ? std::string(r->Label) : std::string();
    case 2: return std::to_string(r->Count);
    case 3: {
      const double share = total_ < 1 ? 0.0 : static_cast<double>(r->Count) / static_cast<double>(total_) * 100.0;
      return FormatText("%.2f%", {share});
    }
    default: return {};
  }
}

void StatGrid::Clear() {
  count_rows_ = nullptr;
  time_rows_.clear();
  totals_.clear();
  total_ = 0;
  Row = 1;
}

void StatGrid::SetCountTable(const std::string& header_text, const CARRAY* rows, std::int64_t total,
                             const std::string& totals_text) {
  time_mode_ = false;
  time_rows_.clear();
  col_count_ = kCountColumns;
  header_.assign(kCountColumns, std::string());
  SetCommaText(header_, header_text);
  totals_.assign(kCountColumns, std::string());
  SetCommaText(totals_, totals_text);
  count_rows_ = rows;
  total_ = total;
}

void StatGrid::SetTimeTable(const std::string& header_text, std::vector<TimeRow> rows,
                            const std::string& totals_text) {
  time_mode_ = true;
  count_rows_ = nullptr;
  total_ = 0;
  col_count_ = kTimeColumns;
  header_.assign(kTimeColumns, std::string());
  SetCommaText(header_, header_text);
  totals_.assign(kTimeColumns, std::string());
  SetCommaText(totals_, totals_text);
  time_rows_ = std::move(rows);
}

}  // namespace tw
