#pragma once

// The registry of report kinds: each kind with everything that belongs to it.
// The analysis driver, the details command, the command-line report names and
// the window's report buttons all read this one table, so a new kind is one
// new entry (and its report). An analysis run takes the first checked button
// in the order of kReportKinds.
//
//   kind 1   "day"   RadioButton1   "stat1"   "statheader1"   ReportByDay    rows by day
//   kind 5   "status" RadioButton5  "stat5"   "statheader5"   ReportStatusCodes rows by number
//   kind 14  "browsers" RadioButton17 "stat14" "statheader14" ReportBrowsers rows by text
//
// A kind whose report is null produces no rows: the table stays as
// ClearReport left it, and its details list nothing.

#include <cstdint>
#include <string_view>
#include <vector>

#include "Geo_find.h"
#include "Loadlog_record.h"
#include "Main_controls.h"
#include "Main_form.h"
#include "Report_input.h"
#include "Stat_period.h"
#include "Stat_row_report.h"

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

struct ReportKindInfo {
  int Kind;
  const char* CliName;           // the name after --report; null: not offered there
  Control TSDIAppForm::*Button;  // the radio button that chooses the kind
  const char* TitleId;           // language id of the frame title
  const char* HeaderId;          // language id of the column titles
  // How the kind counts: a report of its own shape, or a row report (Rows).
  ReportFunction Report;
  // The details rule: a time report's row test, or the row report whose
  // grouping finds a row's records. Both null: details list nothing.
  TimeRowRule TimeRow;
  const RowReport* Rows;
  // Whether the report reads a record's referrer, its domain, kind, engine or
  // search phrase; a load for this report alone may leave them out when false.
  bool ReadsReferrers;
  // What it needs of the location database; the location table of the
  // clients' places is built for it.
  GeoLevel Places;
};

inline constexpr ReportKindInfo kReportKinds[] = {
    {1, "day", &TSDIAppForm::RadioButton1, "stat1", "statheader1", &ReportByDay, &DayRowLists,
     nullptr, false, GeoLevel::kNone},
    {2, "hour", &TSDIAppForm::RadioButton2, "stat2", "statheader2", &ReportByHour, &HourRowLists,
     nullptr, false, GeoLevel::kNone},
    {3, "weekday", &TSDIAppForm::RadioButton3, "stat3", "statheader3", &ReportByDayOfWeek,
     &WeekdayRowLists, nullptr, false, GeoLevel::kNone},
    {4, "pages", &TSDIAppForm::RadioButton4, "stat4", "statheader4", nullptr, nullptr,
     &kRequestsReport, false, GeoLevel::kNone},
    {5, "status", &TSDIAppForm::RadioButton5, "stat5", "statheader5", nullptr, nullptr,
     &kStatusCodesReport, false, GeoLevel::kNone},
    {6, "addresses", &TSDIAppForm::RadioButton6, "stat6", "statheader6", nullptr, nullptr,
     &kAddressesReport, false, GeoLevel::kNone},
    {7, "cities", &TSDIAppForm::RadioButton7, "stat7", "statheader7", nullptr, nullptr,
     &kCitiesReport, false, GeoLevel::kCities},
    {8, "countries", &TSDIAppForm::RadioButton8, "stat8", "statheader8", nullptr, nullptr,
     &kCountriesReport, false, GeoLevel::kCountries},
    {9, "domains", &TSDIAppForm::RadioButton9, "stat9", "statheader9", nullptr, nullptr,
     &kReferrerDomainsReport, true, GeoLevel::kNone},
    {10, "referrers", &TSDIAppForm::RadioButton10, "stat10", "statheader10", nullptr, nullptr,
     &kReferrerPagesReport, true, GeoLevel::kNone},
    {11, "catalogues", &TSDIAppForm::RadioButton11, "stat11", "statheader11", nullptr, nullptr,
     &kCataloguesReport, true, GeoLevel::kNone},
    {12, "engines", &TSDIAppForm::RadioButton12, "stat12", "statheader12", nullptr, nullptr,
     &kSearchEnginesReport, true, GeoLevel::kNone},
    {13, "phrases", &TSDIAppForm::RadioButton13, "stat13", "statheader13", nullptr, nullptr,
     &kSearchPhrasesReport, true, GeoLevel::kNone},
    {14, "browsers", &TSDIAppForm::RadioButton17, "stat14", "statheader14", nullptr, nullptr,
     &kBrowsersReport, false, GeoLevel::kNone},
};

// The entry of `kind`, or null for 0 and numbers outside 1 to 14.
constexpr const ReportKindInfo* FindReportKind(int kind) {
  for (const ReportKindInfo& info : kReportKinds) {
    if (info.Kind == kind) return &info;
  }
  return nullptr;
}

// The entry offered on the command line as `name`, or null.
constexpr const ReportKindInfo* FindReportKindByName(std::string_view name) {
  for (const ReportKindInfo& info : kReportKinds) {
    if (info.CliName != nullptr && name == info.CliName) return &info;
  }
  return nullptr;
}

}  // namespace tw
