#pragma once

// One analysis run as a function: an input in, a report out. It reads the
// input's records and lists and changes nothing, so it may run on any thread
// while nothing else changes them.
//
//   ReportResult day = RunReport(input);  // input.choice.kind: the by-day entry
//   day.Cell(1, 1);                       // "01 March 2013"

#include <string>
#include <vector>

#include "analysis/report_input.h"
#include "analysis/report_result.h"
#include "analysis/report_rows.h"

namespace tw {

class LanguagePack;

// The report of the input's choice: its title and subject, the chosen records
// and the table, totals and chart of the chosen kind (an empty table without
// a kind). REQUIRES: in.context.lang is set; a kind that reads the places
// has in.context.places set, or counts every client as unknown.
ReportResult RunReport(const AnalysisInput& in);

// RunReport on records already chosen: `selected` is what SelectRecordsOf
// gives for in.choice.selection, so that several kinds run on one choice
// select once; the result holds it as its `selected`.
ReportResult RunReportOn(const AnalysisInput& in, std::vector<const LogRecord*> selected);

// The by-day report of records already chosen and counted elsewhere (a load's
// thread): the same result RunReport gives for the same input.
// REQUIRES: in.choice.kind is the by-day kind; `selected` and `day_rows` are
// what its selection and counting give for in.choice.
ReportResult DayReportOf(const AnalysisInput& in, std::vector<const LogRecord*> selected,
                         std::vector<TimeRow> day_rows);

// The table's titles (a comma text), totals and chart from the result's rows,
// or its time rows when time_table is set; count rows are first sorted by
// count, largest first, when `sort_by_count` (equal counts keep their order).
void PresentReport(const LanguagePack& lang, const std::string& header_text, bool sort_by_count,
                   ReportResult& out);

}  // namespace tw
