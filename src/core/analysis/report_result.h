#pragma once

// A report as a value: everything one analysis run found, as every output
// reads it (the window's table and chart, the details, the saved CSV).
//
// The table: row 0 the column titles, rows 1..N the data, row N+1 the totals;
// an empty report has row count 2, titles and one empty row.
//
//   pages, "/a" x2, "/b" x1  ->  rows {"/a", 2}, {"/b", 1}; total 3;
//   Cell(1, 1) "/a", Cell(2, 1) "2", Cell(3, 1) "66.67%", Cell(1, 3) the totals' label
//
// Lifetime: a count row's label views either the labels the result owns (valid
// as long as the result) or the loaded log's pools and the engine list (valid
// as long as the log and the list the run read). `selected` points into the
// log's records. Drop the result before the log it was run on.

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/period.h"
#include "analysis/report_chart.h"
#include "analysis/report_input.h"
#include "analysis/report_labels.h"
#include "analysis/report_rows.h"
#include "log/record.h"

namespace tw {

struct ReportKindInfo;

struct ReportResult {
  const ReportKindInfo* kind = nullptr;  // null: no report was chosen
  std::string title;                     // the report's title
  std::string subject;  // what was analysed: "http://site/section  01.03.2013 - 31.03.2013"
  AnalysisChoice choice;                 // the choices it was run with

  bool time_table = false;               // rows are time_rows, else count rows
  bool sorted_by_count = false;          // count rows largest first
  std::vector<std::string> columns;      // one title per column, column 0 the legend's
  std::vector<ReportRow> rows;           // count rows, in display order
  std::vector<TimeRow> time_rows;        // time rows, in display order
  std::int64_t total = 0;                // the count rows' counts added up
  std::vector<std::string> totals;       // the totals row's cells; empty without rows
  int slice_count = 0;                   // count rows that own a pie slice
  ChartSeries chart;

  std::vector<const LogRecord*> selected;  // the records the report covered, in file order
  LabelStore labels;

  int DataRows() const;
  int ColCount() const { return static_cast<int>(columns.size()); }
  int RowCount() const { return DataRows() + 2; }
  // The text of a cell as the table shows it; empty outside the table.
  std::string Cell(int col, int row) const;
};

}  // namespace tw
