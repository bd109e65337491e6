#pragma once

// The row reports (requests, status codes, addresses, cities, countries,
// browsers and the five referrer reports) share one shape: count the selected
// records that the report counts by their key, make one ReportRow per key,
// and show the rows as the count table. Each report is one RowReport value;
// this walk is the only code that groups.
//
//   requests: Text = &LogRecord::UrlRef, every record counted, label = the
//   pooled Url. "/a" x2, "/b" x1  ->  rows {"/a", 2}, {"/b", 1}.
//
// Rows come in order of the optional Major number ascending (signed), then
// the key: a pooled text byte-wise ascending (an absent text first), or a
// number ascending as unsigned (32-bit with a Major key, else 64-bit). A row's
// label is made from its first record in the selection, whose place the row
// keeps; the selection itself is left as it is.

#include <cstdint>
#include <string_view>
#include <vector>

#include "analysis/report_input.h"
#include "analysis/report_labels.h"
#include "log/record.h"

namespace tw {

struct ReportResult;

struct RowReport {
  bool SortByCount = true;  // the table sorts the rows by count, largest first

  // Sorted first by this (null: no major key).
  std::int32_t (*Major)(const LogRecord&) = nullptr;
  // Grouped by identity of this pooled text (equal refs) ...
  TextRef LogRecord::*Text = nullptr;
  // ... or, when Text is null, by this number; below 2^32 when Major is set.
  std::uint64_t (*Number)(const ReportContext&, const LogRecord&) = nullptr;

  // Which records the report counts (null: every record).
  bool (*Counts)(const ReportContext&, const LogRecord&) = nullptr;
  // The label of a group, made from one of its records (null: the pooled Text
  // itself). A label the report makes goes into `labels`; one it borrows
  // (the engine list's names) must outlive the result.
  std::string_view (*MakeLabel)(const ReportContext&, const LogRecord&,
                                LabelStore& labels) = nullptr;
};

// Groups the result's selection and appends one ReportRow per counted group
// to result.rows in the report's order (not yet sorted by count).
void CountRowReport(const ReportContext& context, const RowReport& report, ReportResult& result);

// The records of one row of a row report: those the report counts whose key
// is the key of the record standing for the row.
class RowMembers {
 public:
  RowMembers(const ReportContext& context, const RowReport& report, const LogRecord& first);
  bool Contains(const LogRecord& record) const;

 private:
  const ReportContext& context_;
  const RowReport& report_;
  TextRef text_ = 0;
  std::uint64_t key_ = 0;
};

}  // namespace tw
