#pragma once

// A report saved as the table file: semicolon-separated text, Windows-1251
// unless UTF-8 is asked for.
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

// The table file's character set: Windows-1251 as spreadsheets and scripts
// have always read it (a character it lacks becomes "?"), or UTF-8, which
// keeps every text.
enum class TableEncoding { kWindows1251, kUtf8 };

// The file's bytes in pieces, in order, to `write`; stops at the first piece
// `write` refuses (returns false) and then returns false. No byte-order mark.
bool WriteReportCsv(const ReportResult& result,
                    const std::function<bool(std::string_view)>& write,
                    TableEncoding encoding = TableEncoding::kWindows1251);

// Writes the file whole or not at all; in UTF-8 it begins with the byte-order
// mark, so that spreadsheets read it as UTF-8. Returns 0, or the error number
// of the step that failed (ENOMEM when memory ran out); an existing file is
// then left as it was.
int SaveReportCsv(const ReportResult& result, const std::string& path,
                  TableEncoding encoding = TableEncoding::kWindows1251);

}  // namespace tw
