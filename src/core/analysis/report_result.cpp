#include "analysis/report_result.h"

#include <string>

#include "base/text_format.h"

namespace tw {

namespace {

std::string TimeCell(const TimeRow& r, int col) {
  switch (col) {
    case 1: return r.Label;
    case 2: return std::to_string(r.Hits);
    case 3: return std::to_string(r.GoodHits);
    case 4: return std::to_string(r.Hosts);
    case 5: return std::to_string(r.Visits);
    default: return {};
  }
}

std::string CountCell(const ReportRow& r, std::int64_t total, int col) {
  switch (col) {
    case 1: return std::string(r.Label);
    case 2: return std::to_string(r.Count);
    case 3: {
      const double share =
          total < 1 ? 0.0 : static_cast<double>(r.Count) / static_cast<double>(total) * 100.0;
      return FormatText("%.2f%", {share});
    }
    default: return {};
  }
}

}  // namespace

int ReportResult::DataRows() const {
  return static_cast<int>(time_table ? time_rows.size() : rows.size());
}

std::string ReportResult::Cell(int col, int row) const {
  const int data_rows = DataRows();
  if (col < 0 || col >= ColCount() || row < 0 || row > data_rows + 1) return {};
  const auto c = static_cast<std::size_t>(col);
  if (row == 0) return columns[c];
  if (row == data_rows + 1) {
    // The totals row, or the single empty row of an empty table.
    return c < totals.size() ? totals[c] : std::string();
  }
  const auto index = static_cast<std::size_t>(row - 1);
  return time_table ? TimeCell(time_rows[index], col) : CountCell(rows[index], total, col);
}

}  // namespace tw
