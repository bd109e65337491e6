#pragma once

// A report saved as the table file: semicolon-separated text, by default in
// Windows-1251, where a character the code page lacks becomes '?'.
//
//   Pages of the site
//   для http://site.example/  01.03.2013 - 31.03.2013
//   "";"Page";"Hits";"Share";        <- cells 1.. of each table row, CRLF ends
//   ...
//
// In UTF-8 the core's texts are written as they are, every character kept.

#include <functional>
#include <string>
#include <string_view>

#include "analysis/report_result.h"

namespace tw {

enum class TableEncoding { kWindows1251, kUtf8 };

// Whether a UTF-8 table begins with the byte-order mark EF BB BF, by which
// spreadsheets tell UTF-8 from the system's code page. A Windows-1251 table
// never has one.
enum class ByteOrderMark { kOmit, kWrite };

// The file's bytes in pieces, in order, to `write`; stops at the first piece
// `write` refuses (returns false) and then returns false.
bool WriteReportCsv(const ReportResult& result,
                    const std::function<bool(std::string_view)>& write,
                    TableEncoding encoding = TableEncoding::kWindows1251,
                    ByteOrderMark mark = ByteOrderMark::kOmit);

// Writes the file whole or not at all; a UTF-8 file begins with the
// byte-order mark. Returns 0, or the error number of the step that failed
// (ENOMEM when memory ran out); an existing file is then left as it was.
int SaveReportCsv(const ReportResult& result, const std::string& path,
                  TableEncoding encoding = TableEncoding::kWindows1251);

}  // namespace tw
