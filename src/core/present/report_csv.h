#pragma once

// A report saved as the table file: semicolon-separated Windows-1251 text.
//
//   Pages of the site
//   для http://site.example/  01.03.2013 - 31.03.2013
//   "";"Page";"Hits";"Share";        <- cells 1.. of each table row, CRLF ends
//   ...

#include <functional>
#include <string>
#include <string_view>

#include "analysis/report_result.h"

namespace tw {

// The file's bytes in pieces, in order, to `write`; stops at the first piece
// `write` refuses (returns false) and then returns false.
bool WriteReportCsv(const ReportResult& result,
                    const std::function<bool(std::string_view)>& write);

// Writes the file whole or not at all. Returns 0, or the error number of the
// step that failed (ENOMEM when memory ran out); an existing file is then left
// as it was.
int SaveReportCsv(const ReportResult& result, const std::string& path);

}  // namespace tw
