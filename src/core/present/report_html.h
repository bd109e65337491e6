#pragma once

// Reports as one self-contained HTML5 page to share: no request leaves it,
// the style and the few lines of script are inline, each chart inline SVG.
//
//   heading: the logs (format, records, rejected), the period and choices
//   contents: a link to each report
//   one section a report: its title and subject, its chart, its table with
//   every row (numbers right-aligned, totals below); rows past the first
//   1,000 are folded behind a "show all" switch that works without script;
//   a click on a column title sorts by it (the page reads fully without it).
//
// The page's own words come from the language pack (ids html1..html12), with
// English where the pack has none. UTF-8.

#include <string>
#include <vector>

#include "analysis/report_result.h"
#include "base/language.h"
#include "present/report_json.h"

namespace tw {

// Rows shown before the "show all" switch.
inline constexpr int kHtmlFoldAfter = 1000;

// The page of `reports`, in order. May throw std::bad_alloc.
std::string ReportsHtml(const OutputHeader& header, const std::vector<const ReportResult*>& reports,
                        const LanguagePack& lang);

}  // namespace tw
