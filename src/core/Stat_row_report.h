#pragma once

// The row reports (requests, status codes, addresses, cities, countries,
// browsers and the five referrer reports) share one shape: count the selected
// records that the report counts by their key, make one ReportRow per key,
// and show the rows as the count table. Each report is one RowReport value;
// this walk is the only code that groups.
//
//   ReportRequests: Text = &LogRecord::UrlRef, every record counted, label = the
//   pooled Url. "/a" x2, "/b" x1  ->  Rows {"/a", 2}, {"/b", 1}.
//
// Rows come in order of the optional Major number ascending (signed), then
// the key: a pooled text byte-wise ascending (an absent text first), or a
// number ascending as unsigned (32-bit with a Major key, else 64-bit). A row's
// label is made from its first record in `selected`; the selection itself is
// left as it is.

#include <cstdint>
#include <string_view>
#include <vector>

#include "Loadlog_record.h"

namespace tw {

class TSDIAppForm;

// The kind's column titles come from the kinds table (Stat_kinds.h), and so
// does whether its rows own their labels (KindOwnsRowLabels): such labels are
// new char[] copies freed by ClearReport; all others are borrowed from the
// pools or the engine list and outlive the rows.
struct RowReport {
  int Kind = 0;
  bool SortByCount = true;  // the table sorts the rows by count, largest first

  // Sorted first by this (null: no major key).
  std::int32_t (*Major)(const LogRecord&) = nullptr;
  // Grouped by identity of this pooled text (equal refs) ...
  TextRef LogRecord::*Text = nullptr;
  // ... or, when Text is null, by this number; below 2^32 when Major is set.
  std::uint64_t (*Number)(const TSDIAppForm&, const LogRecord&) = nullptr;

  // Which records the report counts (null: every record).
  bool (*Counts)(const TSDIAppForm&, const LogRecord&) = nullptr;
  // The label of a group, made from one of its records (null: the pooled Text
  // itself). For a kind that owns its labels, a new char[] text.
  const char* (*MakeLabel)(const TSDIAppForm&, const LogRecord&) = nullptr;
  // For the details list: reads a row's label back as the Number key of its
  // records; false when the label does not read (nothing is listed). Only
  // for reports grouped by Number; a Text row's records carry the label itself.
  bool (*LabelKey)(const TSDIAppForm&, const char* label, std::uint64_t* key) = nullptr;
};

// The report of each kind. Each lives in the unit of its report.
extern const RowReport kRequestsReport;         // 4
extern const RowReport kStatusCodesReport;      // 5
extern const RowReport kAddressesReport;        // 6
extern const RowReport kCitiesReport;           // 7
extern const RowReport kCountriesReport;        // 8
extern const RowReport kReferrerDomainsReport;  // 9
extern const RowReport kReferrerPagesReport;    // 10
extern const RowReport kCataloguesReport;       // 11
extern const RowReport kSearchEnginesReport;    // 12
extern const RowReport kSearchPhrasesReport;    // 13
extern const RowReport kBrowsersReport;         // 14

// The row report of a kind, or null for the time reports and kind 0.
const RowReport* FindRowReport(int kind);

// Groups the first `count` entries of `selected` (clamped to its size),
// appends one ReportRow per counted group to form.Rows in the report's order and
// shows the table with the kind's column titles and the report's sort flag.
// REQUIRES: form.Rows was created for ReportRow elements.
void RunRowReport(TSDIAppForm& form, const RowReport& report,
                  std::vector<const LogRecord*>& selected, std::int32_t count);

// A new char[] copy of `text`, zero-terminated, for a label the row owns.
char* NewLabel(std::string_view text);

// The records the details command lists under the row labelled `label`:
// those the report counts that belong to that row. The label is read once.
class RowMembers {
 public:
  RowMembers(const TSDIAppForm& form, const RowReport& report, const char* label);
  bool Contains(const LogRecord& record) const;

 private:
  const TSDIAppForm& form_;
  const RowReport& report_;
  const char* label_;
  bool readable_ = true;  // false: the label names no key, nothing is listed
  std::uint64_t key_ = 0;
};

}  // namespace tw
