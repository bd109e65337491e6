#pragma once

// The outputs people share and scripts read, each written from report results:
// CSV and TSV of one report's table, JSON and the HTML page of any number.

#include <functional>
#include <string_view>
#include <vector>

#include "analysis/report_result.h"
#include "base/language.h"
#include "present/report_json.h"

namespace tw {

enum class SharedFormat { kCsv, kTsv, kJson, kHtml };

// Writes `reports` (CSV and TSV: the first only) in `format` to `write`;
// false when `write` refused a piece. May throw std::bad_alloc.
// REQUIRES: reports is not empty for CSV and TSV.
bool WriteSharedOutput(SharedFormat format, const OutputHeader& header,
                       const std::vector<const ReportResult*>& reports, const LanguagePack& lang,
                       const std::function<bool(std::string_view)>& write);

// Writes the output to `path` whole or not at all. Returns 0, or the error
// number of the step that failed (ENOMEM when memory ran out).
int SaveSharedOutput(SharedFormat format, const OutputHeader& header,
                     const std::vector<const ReportResult*>& reports, const LanguagePack& lang,
                     const std::string& path);

}  // namespace tw
