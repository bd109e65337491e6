#pragma once

// StringGrid1 as plain data: the window's view of the last report's table.
// The cells are the report's own (ReportResult::Cell), read when shown, so a
// report of a million rows costs no million strings; the grid adds what only
// the window has: the column widths and the current row.

#include <string>
#include <vector>

#include "analysis/report_chart.h"
#include "analysis/report_result.h"

namespace tw {

// A report without columns (the last one dropped, the next not yet run)
// shows the column titles of the report shown last, over an empty table, so
// the table keeps its shape while a log loads.
class StatGrid {
 public:
  int ColCount() const { return HasColumns() ? result_->ColCount() : static_cast<int>(titles_.size()); }
  int RowCount() const { return result_ != nullptr ? result_->RowCount() : 2; }
  // The text of a cell; empty outside the table.
  std::string Cell(int col, int row) const {
    if (HasColumns()) return result_->Cell(col, row);
    return row == 0 && col >= 0 && col < static_cast<int>(titles_.size()) ? titles_[static_cast<std::size_t>(col)]
                                                                           : std::string();
  }

  std::vector<int> ColWidths;  // one per column, pixels
  int Row = 1;                 // the current row

  // Shows `result` (borrowed; null: nothing) from its first row, whatever
  // report it holds later.
  void Show(const ReportResult* result) {
    result_ = result;
    if (HasColumns()) titles_ = result_->columns;
    Row = 1;
  }

 private:
  bool HasColumns() const { return result_ != nullptr && result_->ColCount() > 0; }

  const ReportResult* result_ = nullptr;
  std::vector<std::string> titles_ = std::vector<std::string>(4);
};

}  // namespace tw
