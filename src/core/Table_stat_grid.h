#pragma once

// StringGrid1 and Chart1 as plain data: what the statistics table shows and
// what its chart draws. The Qt window reads these; nothing here paints.
//
// Rows of the table: row 0 the column titles, rows 1..N the data, row N+1 the
// totals. An empty table has row count 2: titles and one empty row.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Stat_rows.h"

namespace tw {

struct CARRAY;

// Colours are 0xRRGGBB.
using Rgb = std::uint32_t;
inline constexpr Rgb kInfoBackground = 0xFFFFE1;  // the tooltip background of the tables and tree
inline constexpr Rgb kSelectedRowColour = 0x000080;

struct PieSlice {
  double Value = 0;
  Rgb Colour = 0;
};

struct LinePoint {
  double X = 0;
  double Y = 0;
  std::string Label;
};

struct LineSeries {
  Rgb Colour = 0;
  std::vector<LinePoint> Points;
};

// The series of Chart1: one pie, or four line series, or none.
struct ChartSeries {
  bool HasPie = false;
  std::vector<PieSlice> Pie;
  std::vector<LineSeries> Lines;
  bool AxesVisible = false;
  bool Empty() const { return !HasPie && Lines.empty(); }
};

// The cells of StringGrid1. Data cells are produced from the rows when they
// are read, so a report of a million rows costs no million strings.
class StatGrid {
 public:
  int ColCount() const { return col_count_; }
  int RowCount() const;
  // The text of a cell; empty outside the table.
  std::string Cell(int col, int row) const;

  std::vector<int> ColWidths;  // one per column, pixels
  int Row = 1;                 // the current row

  // Empties the table to its title row and one empty row (keeps the column count).
  void Clear();
  // A count table over `rows` (ReportRow elements, already in display order).
  void SetCountTable(const std::string& header_text, const CARRAY* rows, std::int64_t total,
                     const std::string& totals_text);
  // A time table over a copy of `rows`.
  void SetTimeTable(const std::string& header_text, std::vector<TimeRow> rows,
                    const std::string& totals_text);

 private:
  int col_count_ = 4;
  std::vector<std::string> header_ = std::vector<std::string>(4);
  std::vector<std::string> totals_;
  const CARRAY* count_rows_ = nullptr;  // borrowed: the form's Rows
  std::int64_t total_ = 0;
  std::vector<TimeRow> time_rows_;
  bool time_mode_ = false;
};

}  // namespace tw
