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

namespace {

int LabelColumnWidth(int table_width, int others) {
  return std::max(kMinLabelColumnWidth, table_width - others);
}

}  // namespace

void TSDIAppForm::ClearTable() {
  Chart1 = ChartSeries{};
  StringGrid1.Row = 1;
  StringGrid2.Clear();
}

void TSDIAppForm::ShowReport(ReportResult&& result) {
  session_.KeepReport(std::move(result));
  ShowReport();
}

void TSDIAppForm::ShowReport() {
  const ReportResult& Report = session_.Report();
  GroupBox4.Caption = Report.title;
  Label8.Caption = Report.subject;
  StringGrid1.Show(&Report);
  StringGrid2.Clear();
  Chart1 = Report.chart;
  SliceCount = Report.slice_count;
  if (Report.time_table) {
    TableMode = 1;
    TableDockedLeft = true;
    StringGrid1.ColWidths = {0, LabelColumnWidth(kTimeTableWidth, 230), 50, 50, 50, 50};
  } else if (Report.kind != nullptr) {
    TableMode = 0;
    TableDockedLeft = false;
    StringGrid1.ColWidths = {20, LabelColumnWidth(StringGrid1Width, 170), 70, 70};
  }
}

std::optional<Rgb> TSDIAppForm::StringGrid1DrawCell(int col, int row) const {
  // The title row and the empty table keep the grid's own painting.
  if (row == 0 || StringGrid1.RowCount() == 2) return std::nullopt;
  const bool current = row == StringGrid1.Row;
  if (TableMode == 0) {
    if (col == 0 && row >= 1 && row <= SliceCount && row <= MaxSlices) {
      return SliceColours[static_cast<std::size_t>(row - 1)];
    }
    return current ? kSelectedRowColour : kInfoBackground;
  }
  if (current) return kSelectedRowColour;
  if (col >= 2 && col <= 5) return kTimeColumnColours[static_cast<std::size_t>(col - 2)];
  return kInfoBackground;
}

void TSDIAppForm::FormResize(int table_width) {
  StringGrid1Width = table_width;
  if (!TableDockedLeft && StringGrid1.ColWidths.size() > 1) {
    StringGrid1.ColWidths[1] = LabelColumnWidth(table_width, 170);
  }
}

}  // namespace tw
