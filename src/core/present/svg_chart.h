#pragma once

// A report's chart as inline SVG, drawn from its series as the window draws
// them: the four lines of a time report over its rows, with value ticks, or
// the pie of a count report's first rows and the rest. Texts are UTF-8 and
// escaped for HTML.
//
//   <svg viewBox="0 0 900 260" role="img" aria-label="Hits, Good hits, ...">
//     <polyline stroke="#008000" points="60,230 80,201 ..."/> ...
//   </svg>

#include <string>
#include <vector>

#include "analysis/report_result.h"

namespace tw {

// What the legend calls each line (the time table's column titles) or slice
// (the first rows' labels, then `other`), already UTF-8.
struct ChartNames {
  std::vector<std::string> names;
  std::string other;
};

// The SVG of the result's chart; "" when it has none.
std::string SvgChart(const ReportResult& result, const ChartNames& names);

// `text` with &, <, >, " and ' as HTML entities.
std::string HtmlEscaped(std::string_view text);

}  // namespace tw
