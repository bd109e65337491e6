#pragma once

// The registry of report kinds: each kind with everything that belongs to it,
// and the kind's only identity. The analysis run, the details, the command
// line's report names, the window's report buttons and their places all read
// this one table, so a new kind is its report, one entry here and its
// language texts. An analysis run takes the first checked button in the
// order of kReportKinds.
//
//   "pages"  group kPages, order 0  "RadioButton4" text "6"  title "stat4"
//            columns "statheader4"  rows kRequestsReport    details by row
//   "hour"   group kTime, order 1   "RadioButton2" text "3"  title "stat2"
//            columns "statheader2"  ReportByHour            details HourRowLists

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "analysis/period.h"
#include "analysis/report_input.h"
#include "analysis/row_report.h"
#include "geo/find.h"
#include "log/record.h"

namespace tw {

struct ReportResult;

// A report of its own shape: fills the result's rows or time rows from its
// selection.
using ReportFunction = void (*)(const AnalysisInput& in, ReportResult& out);

void ReportByDay(const AnalysisInput& in, ReportResult& out);
void ReportByHour(const AnalysisInput& in, ReportResult& out);
void ReportByDayOfWeek(const AnalysisInput& in, ReportResult& out);

// The row reports, each in the unit of its report.
extern const RowReport kRequestsReport;
extern const RowReport kStatusCodesReport;
extern const RowReport kAddressesReport;
extern const RowReport kCitiesReport;
extern const RowReport kCountriesReport;
extern const RowReport kReferrerDomainsReport;
extern const RowReport kReferrerPagesReport;
extern const RowReport kCataloguesReport;
extern const RowReport kSearchEnginesReport;
extern const RowReport kSearchPhrasesReport;
extern const RowReport kBrowsersReport;
extern const RowReport kNotFoundReport;
extern const RowReport kVirtualHostsReport;

// What a time report's details rule sees of the chosen table row.
struct TimeRowQuery {
  Period period;
  int row = 0;                // the table row, 1 the first under the titles
  std::int32_t entries = 0;   // count rows of the result
};
// Whether `record` belongs to the queried row of a time report.
using TimeRowRule = bool (*)(const TimeRowQuery& query, const LogRecord& record);

// Row Y of the day report is day Y of the period.
inline bool DayRowLists(const TimeRowQuery& q, const LogRecord& r) {
  return PeriodDayIndex(q.period, r.LogTime) == q.row - 1;
}
// Row Y of the hour report is hour Y - 1.
inline bool HourRowLists(const TimeRowQuery& q, const LogRecord& r) {
  return LogHour(r.LogTime) == q.row - 1;
}
// Row 1 of the weekday report is Sunday; its rows are count rows.
inline bool WeekdayRowLists(const TimeRowQuery& q, const LogRecord& r) {
  return q.row >= 1 && q.row <= q.entries && IsCalendarDate(r.LogTime) &&
         DayOfWeek(r.LogTime) + 1 == q.row;
}

// The groups of the window's report buttons, top to bottom, each under its heading.
enum class ReportGroup { kTime, kPages, kVisitors, kReferrers };
inline constexpr int kReportGroupCount = 4;
// Buttons of the visitors group stand two to a line; the others one.
constexpr int ReportGroupColumns(ReportGroup group) {
  return group == ReportGroup::kVisitors ? 2 : 1;
}

struct ReportKindInfo {
  const char* CliName;   // the name after --report, and in the tests
  // The button: its group, its place in the group (in reading order), its
  // object name and the language id of its text.
  ReportGroup Group;
  int Order;
  const char* ButtonName;
  const char* ButtonTextId;
  const char* TitleId;   // language id of the frame title
  const char* HeaderId;  // language id of the column titles
  // How the kind counts: a report of its own shape, or a row report (Rows).
  ReportFunction Report = nullptr;
  // The details rule: a time report's row test, or the row report whose
  // grouping finds a row's records. Both null: details list nothing.
  TimeRowRule TimeRow = nullptr;
  const RowReport* Rows = nullptr;
  // Whether the report reads a record's referrer, its domain, kind, engine or
  // search phrase; a load for this report alone may leave them out when false.
  bool ReadsReferrers = false;
  // What it needs of the location database; the location table of the
  // clients' places is built for it.
  GeoLevel Places = GeoLevel::kNone;
};

inline constexpr ReportKindInfo kReportKinds[] = {
    {.CliName = "day", .Group = ReportGroup::kTime, .Order = 0, .ButtonName = "RadioButton1",
     .ButtonTextId = "2", .TitleId = "stat1", .HeaderId = "statheader1",
     .Report = &ReportByDay, .TimeRow = &DayRowLists},
    {.CliName = "hour", .Group = ReportGroup::kTime, .Order = 1, .ButtonName = "RadioButton2",
     .ButtonTextId = "3", .TitleId = "stat2", .HeaderId = "statheader2",
     .Report = &ReportByHour, .TimeRow = &HourRowLists},
    {.CliName = "weekday", .Group = ReportGroup::kTime, .Order = 2, .ButtonName = "RadioButton3",
     .ButtonTextId = "4", .TitleId = "stat3", .HeaderId = "statheader3",
     .Report = &ReportByDayOfWeek, .TimeRow = &WeekdayRowLists},
    {.CliName = "pages", .Group = ReportGroup::kPages, .Order = 0, .ButtonName = "RadioButton4",
     .ButtonTextId = "6", .TitleId = "stat4", .HeaderId = "statheader4",
     .Rows = &kRequestsReport},
    {.CliName = "status", .Group = ReportGroup::kPages, .Order = 1, .ButtonName = "RadioButton5",
     .ButtonTextId = "7", .TitleId = "stat5", .HeaderId = "statheader5",
     .Rows = &kStatusCodesReport},
    {.CliName = "addresses", .Group = ReportGroup::kVisitors, .Order = 0, .ButtonName = "RadioButton6",
     .ButtonTextId = "9", .TitleId = "stat6", .HeaderId = "statheader6",
     .Rows = &kAddressesReport},
    {.CliName = "cities", .Group = ReportGroup::kVisitors, .Order = 1, .ButtonName = "RadioButton7",
     .ButtonTextId = "10", .TitleId = "stat7", .HeaderId = "statheader7",
     .Rows = &kCitiesReport, .Places = GeoLevel::kCities},
    {.CliName = "countries", .Group = ReportGroup::kVisitors, .Order = 3, .ButtonName = "RadioButton8",
     .ButtonTextId = "11", .TitleId = "stat8", .HeaderId = "statheader8",
     .Rows = &kCountriesReport, .Places = GeoLevel::kCountries},
    {.CliName = "domains", .Group = ReportGroup::kReferrers, .Order = 1, .ButtonName = "RadioButton9",
     .ButtonTextId = "14", .TitleId = "stat9", .HeaderId = "statheader9",
     .Rows = &kReferrerDomainsReport, .ReadsReferrers = true},
    {.CliName = "referrers", .Group = ReportGroup::kReferrers, .Order = 0, .ButtonName = "RadioButton10",
     .ButtonTextId = "15", .TitleId = "stat10", .HeaderId = "statheader10",
     .Rows = &kReferrerPagesReport, .ReadsReferrers = true},
    {.CliName = "catalogues", .Group = ReportGroup::kReferrers, .Order = 2, .ButtonName = "RadioButton11",
     .ButtonTextId = "16", .TitleId = "stat11", .HeaderId = "statheader11",
     .Rows = &kCataloguesReport, .ReadsReferrers = true},
    {.CliName = "engines", .Group = ReportGroup::kReferrers, .Order = 3, .ButtonName = "RadioButton12",
     .ButtonTextId = "17", .TitleId = "stat12", .HeaderId = "statheader12",
     .Rows = &kSearchEnginesReport, .ReadsReferrers = true},
    {.CliName = "phrases", .Group = ReportGroup::kReferrers, .Order = 4, .ButtonName = "RadioButton13",
     .ButtonTextId = "18", .TitleId = "stat13", .HeaderId = "statheader13",
     .Rows = &kSearchPhrasesReport, .ReadsReferrers = true},
    {.CliName = "browsers", .Group = ReportGroup::kVisitors, .Order = 2, .ButtonName = "RadioButton17",
     .ButtonTextId = "12", .TitleId = "stat14", .HeaderId = "statheader14",
     .Rows = &kBrowsersReport},
    {.CliName = "not-found", .Group = ReportGroup::kPages, .Order = 2, .ButtonName = "RadioButton18",
     .ButtonTextId = "29", .TitleId = "stat15", .HeaderId = "statheader15",
     .Rows = &kNotFoundReport},
    {.CliName = "vhosts", .Group = ReportGroup::kVisitors, .Order = 4, .ButtonName = "RadioButton19",
     .ButtonTextId = "30", .TitleId = "stat16", .HeaderId = "statheader16",
     .Rows = &kVirtualHostsReport},
};
inline constexpr std::size_t kReportKindCount = std::size(kReportKinds);

// The place of `kind` in kReportKinds. REQUIRES: `kind` is one of its entries.
constexpr std::size_t ReportKindIndex(const ReportKindInfo& kind) {
  return static_cast<std::size_t>(&kind - kReportKinds);
}

// The entry named `name` (on the command line, in the tests), or null.
constexpr const ReportKindInfo* FindReportKindByName(std::string_view name) {
  for (const ReportKindInfo& info : kReportKinds) {
    if (name == info.CliName) return &info;
  }
  return nullptr;
}

// The entry whose button is named `button`, or null.
constexpr const ReportKindInfo* FindReportKindByButton(std::string_view button) {
  for (const ReportKindInfo& info : kReportKinds) {
    if (button == info.ButtonName) return &info;
  }
  return nullptr;
}

}  // namespace tw
