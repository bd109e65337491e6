#pragma once

// StringGrid1 as plain data: the window's view of the last report's table.
// The cells are the report's own (ReportResult::Cell), read when shown, so a
// report of a million rows costs no million strings; the grid adds what only
// the window has: the column widths and the current row.

#include <string>
#include <vector>

#include "Report_chart.h"
#include "Report_result.h"

namespace tw {

class StatGrid {
 public:
  int ColCount() const { return result_ != nullptr ? result_->ColCount() : 0; }
  int RowCount() const { return result_ != nullptr ? result_->RowCount() : 2; }
  // The text of a cell; empty outside the table.
  std::string Cell(int col, int row) const {
    return result_ != nullptr ? result_->Cell(col, row) : std::string();
  }

  std::vector<int> ColWidths;  // one per column, pixels
  int Row = 1;                 // the current row

  // Shows `result` (borrowed; null: nothing) from its first row.
  void Show(const ReportResult* result) {
    result_ = result;
    Row = 1;
  }

 private:
  const ReportResult* result_ = nullptr;
};

}  // namespace tw
