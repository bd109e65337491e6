#pragma once

// A report as a plain table for scripts and spreadsheets: one header row of
// column names, one row per table row, no title lines and no totals, UTF-8
// without a byte-order mark.
//
//   csv:  Requested page,Hits,Share          tsv:  Requested page<TAB>Hits<TAB>Share
//         /a,2,0.6667                              /a<TAB>2<TAB>0.6667
//         "/b,c",1,0.3333                          /b,c<TAB>1<TAB>0.3333
//
// CSV is RFC 4180: comma-separated, CR LF line ends, a field quoted only when
// it holds a comma, a double quote, CR or LF (quotes inside doubled). TSV ends
// lines in LF and writes a tab, CR, LF and backslash inside a text as \t, \r,
// \n and \\. Either way a text a spreadsheet would run as a formula gets a
// leading apostrophe, as in the table file. Counts are plain numbers; the
// share is a decimal fraction with four places. Time tables have the four
// figures: hits, good hits, hosts, visits.

#include <functional>
#include <string_view>

#include "analysis/report_result.h"

namespace tw {

enum class TableDialect { kCsv, kTsv };

// The table's bytes in pieces, in order, to `write`; stops at the first piece
// `write` refuses (returns false) and then returns false.
bool WriteReportTable(const ReportResult& result, TableDialect dialect,
                      const std::function<bool(std::string_view)>& write);

}  // namespace tw
