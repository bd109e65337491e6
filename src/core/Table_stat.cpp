// The statistics table and its chart: report rows into cells, series and
// cell colours, and the column widths as the window is resized.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Loadlog_carray.h"
#include "Main_form.h"
#include "Table_stat_colours.h"
#include "Text_format.h"

namespace tw {

namespace {

// Largest count first. CARRAY_Sort keeps equal counts in the report's order.
int CompareCountDescending(const void* a, const void* b) {
  const std::int32_t ca = static_cast<const ReportRow*>(a)->Count;
  const std::int32_t cb = static_cast<const ReportRow*>(b)->Count;
  return ca > cb ? -1 : ca < cb ? 1 : 0;
}

int LabelColumnWidth(int table_width, int others) {
  return std::max(kMinLabelColumnWidth, table_width - others);
}

}  // namespace

void TSDIAppForm::ClearTable() {
  Chart1 = ChartSeries{};
  StringGrid1.Clear();
  StringGrid2.Clear();
}

void TSDIAppForm::ShowRowTable(const std::string& header_text, bool sort_by_count) {
  const std::int32_t n = CARRAY_Count(Rows);
  TableMode = 0;
  TableDockedLeft = false;
  StringGrid1.ColWidths = {20, LabelColumnWidth(StringGrid1Width, 170), 70, 70};
  Chart1 = ChartSeries{};
  if (n == 0) {
    SliceCount = 0;
    StringGrid1.SetCountTable(header_text, Rows, 0, std::string());
    return;
  }

  if (sort_by_count) CARRAY_Sort(Rows, CompareCountDescending);
  SliceCount = std::min<int>(n, MaxSlices);
  std::int64_t total = 0, top = 0;
  for (std::int32_t i = 0; i < n; ++i) {
    const std::int32_t count = static_cast<const ReportRow*>(CARRAY_Item(Rows, i))->Count;
    total += count;
    if (i < SliceCount) top += count;
  }

  const std::string totals =
      FormatText(Lang.Get("id1001"), {static_cast<int>(n), static_cast<long long>(total), 100.0});
  StringGrid1.SetCountTable(header_text, Rows, total, totals);

  Chart1.HasPie = true;
  for (int i = 0; i < SliceCount; ++i) {
    const auto* row = static_cast<const ReportRow*>(CARRAY_Item(Rows, i));
    Chart1.Pie.push_back({static_cast<double>(row->Count), SliceColours[static_cast<std::size_t>(i)]});
  }
  Chart1.Pie.push_back({static_cast<double>(total - top), kRemainderSliceColour});
}

void TSDIAppForm::ShowTimeTable(const std::string& header_text, const std::vector<TimeRow>& rows) {
  ClearTable();
  TableMode = 1;
  TableDockedLeft = true;
  StringGrid1.ColWidths = {0, LabelColumnWidth(kTimeTableWidth, 230), 50, 50, 50, 50};
  const int n = static_cast<int>(rows.size());
  if (n == 0) {
    StringGrid1.SetTimeTable(header_text, {}, std::string());
    return;
  }

  long long hits = 0, good_hits = 0, hosts = 0, visits = 0;
  for (const TimeRow& row : rows) {
    hits += row.Hits;
    good_hits += row.GoodHits;
    hosts += row.Hosts;
    visits += row.Visits;
  }
  const std::string totals =
      FormatText(Lang.Get("id1000"), {n, hits, good_hits, hosts, visits});
  StringGrid1.SetTimeTable(header_text, rows, totals);

  Chart1.AxesVisible = true;
  Chart1.Lines.resize(kTimeLineColours.size());
  for (std::size_t s = 0; s < kTimeLineColours.size(); ++s) {
    LineSeries& series = Chart1.Lines[s];
    series.Colour = kTimeLineColours[s];
    series.Points.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const TimeRow& row = rows[i];
      const std::int32_t values[] = {row.Hits, row.GoodHits, row.Hosts, row.Visits};
      series.Points.push_back({static_cast<double>(i + 1), static_cast<double>(values[s]),
                               std::to_string(i + 1)});
    }
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
