#pragma once

// The report kinds as data: which radio button chooses a kind, which report
// produces it and which language id holds its column titles. An analysis run
// takes the first checked button in the order of kReportKinds.
//
//   kind 1   RadioButton1   ReportByDay    "statheader1"
//   kind 7   RadioButton7   (no report)    (no titles)   -> the table stays empty
//   kind 14  RadioButton17  ReportBrowsers "statheader14"
//
// The frame title of a kind is the language text "stat" + kind. A kind whose
// report is null produces no rows: the table stays as ClearReport left it.

#include <cstdint>
#include <vector>

#include "Loadlog_record.h"
#include "Main_controls.h"
#include "Main_form.h"

namespace tw {

using ReportFunction = void (TSDIAppForm::*)(std::vector<const LogRecord*>& selected,
                                             std::int32_t count);

struct ReportKindInfo {
  int Kind;
  Control TSDIAppForm::*Button;  // the radio button that chooses the kind
  ReportFunction Report;         // null: the kind shows nothing
  const char* HeaderId;          // language id of the column titles; null without a report
};

inline constexpr ReportKindInfo kReportKinds[] = {
    {1, &TSDIAppForm::RadioButton1, &TSDIAppForm::ReportByDay, "statheader1"},
    {2, &TSDIAppForm::RadioButton2, &TSDIAppForm::ReportByHour, "statheader2"},
    {3, &TSDIAppForm::RadioButton3, &TSDIAppForm::ReportByDayOfWeek, "statheader3"},
    {4, &TSDIAppForm::RadioButton4, &TSDIAppForm::ReportRequests, "statheader4"},
    {5, &TSDIAppForm::RadioButton5, &TSDIAppForm::ReportStatusCodes, "statheader5"},
    {6, &TSDIAppForm::RadioButton6, &TSDIAppForm::ReportAddresses, "statheader6"},
    {7, &TSDIAppForm::RadioButton7, nullptr, nullptr},
    {8, &TSDIAppForm::RadioButton8, nullptr, nullptr},
    {9, &TSDIAppForm::RadioButton9, &TSDIAppForm::ReportReferrerDomains, "statheader9"},
    {10, &TSDIAppForm::RadioButton10, &TSDIAppForm::ReportReferrerPages, "statheader10"},
    {11, &TSDIAppForm::RadioButton11, &TSDIAppForm::ReportCatalogues, "statheader11"},
    {12, &TSDIAppForm::RadioButton12, &TSDIAppForm::ReportSearchEngines, "statheader12"},
    {13, &TSDIAppForm::RadioButton13, &TSDIAppForm::ReportSearchPhrases, "statheader13"},
    {14, &TSDIAppForm::RadioButton17, &TSDIAppForm::ReportBrowsers, "statheader14"},
};

// The entry of `kind`, or null for 0 and numbers outside 1 to 14.
inline const ReportKindInfo* FindReportKind(int kind) {
  for (const ReportKindInfo& info : kReportKinds) {
    if (info.Kind == kind) return &info;
  }
  return nullptr;
}

// Kinds whose rows own their labels (new char[] copies): status codes and addresses.
inline constexpr bool KindOwnsRowLabels(int kind) { return kind == 5 || kind == 6; }

}  // namespace tw
