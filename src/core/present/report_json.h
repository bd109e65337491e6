#pragma once

// Reports as one JSON document for scripts, UTF-8, keys in a fixed order:
//
// The document on one line, ended by a line feed; here laid out to be read:
//
//   {"program": "Quelmark Tallyweave", "version": "1.4.0.0",
//    "logs": [{"path": "access_log", "format": "combined", "compression": "",
//              "records": 9814, "rejected": 186}],
//    "records": 9814, "rejected": 186,
//    "rejected_by_reason": {"empty_line": 0, "field_count": 186, ...},
//    "reports": [{"report": "pages", "title": "...", "subject": "...",
//                 "choices": {"requests": "html", "crawlers": false, "section": "/",
//                             "from": "2013-03-01", "to": "2013-03-31"},
//                 "columns": ["Requested page", "Hits", "Share"],
//                 "rows": [{"label": "/a", "hits": 2, "share": 0.6667}, ...],
//                 "totals": {"rows": 2, "hits": 3}}]}
//
// Rows of a time report carry "hits", "good_hits", "hosts" and "visits", and
// so do its totals. "crawlers" is true when crawler requests were counted.
// A text that is not valid UTF-8 (a path) has its bad bytes as U+FFFD.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/report_result.h"
#include "parse/reject_reason.h"

namespace tw {

// What a shared output says of the log behind its reports.
struct OutputHeader {
  struct Log {
    std::string path;
    std::string format;       // "combined", ..., or the LogFormat string
    std::string compression;  // "gzip", ..., or "" for a plain file
    std::int64_t records = 0;
    std::int64_t rejected = 0;
  };
  std::string program;
  std::string version;
  std::vector<Log> logs;
  std::int64_t records = 0;
  std::int64_t rejected = 0;
  RejectCounts reasons{};
};

// A report title as shared outputs show it: without the spaces the language
// pack pads it with for the window.
std::string_view TrimmedTitle(std::string_view title);

// The document of `reports`, in order. May throw std::bad_alloc.
std::string ReportsJson(const OutputHeader& header, const std::vector<const ReportResult*>& reports);

}  // namespace tw
