// The statistics table and its chart as the window shows the last report:
// the layout of the two table modes, the cell colours, and the column widths
// as the window is resized.

#include <algorithm>
#include <optional>
#include <utility>

#include "analysis/report_colours.h"
#include "analysis/report_kinds.h"
#include "form/form.h"

namespace tw {

void TSDIAppForm::ClearTable() {
  Chart1 = ChartSeries{};
  StringGrid1.Row = 1;
  StringGrid2.Clear();
}

void TSDIAppForm::ShowReport(ReportResult&& result) {
  session_.KeepReport(std::move(result));
  ShowReport();
}

void TSDIAppForm::ShowReport() { ShowReportInView(session_.Report(), view); }

std::optional<Rgb> TSDIAppForm::StringGrid1DrawCell(int col, int row) const {
  return StatCellColour(view, col, row);
}

void TSDIAppForm::FormResize(int table_width) { ResizeStatTable(table_width, view); }

}  // namespace tw
