#pragma once

// What one analysis run reads: the loaded log, the choices, and the lists and
// tables that name what the records hold. Plain values and borrowed pointers,
// so a run is a function of its input and can run on any thread.
//
//   AnalysisInput in{&records, "site.example", context,
//                    {FindReportKindByName("pages"), {period, 1, true, "/news"}}};
//   ReportResult result = RunReport(in);

#include <string_view>

#include "analysis/selection.h"

namespace tw {

class GeoTable;
class Ipv6AddressTable;
class LanguagePack;
class VirtualHostColumn;
struct EngineList;
struct ReportKindInfo;

// What a report's keys and labels read besides the record. Every pointer is
// borrowed and must outlive the run; the details of its result read them too.
struct ReportContext {
  const Ipv6AddressTable* ipv6 = nullptr;  // the log's IPv6 clients; null: none
  const GeoTable* places = nullptr;        // the clients' places; null: all unknown
  const EngineList* engines = nullptr;     // null: no engine is known
  const LanguagePack* lang = nullptr;      // REQUIRES: set
  // The records' virtual hosts; null: no record names one.
  const VirtualHostColumn* virtual_hosts = nullptr;
  std::string_view site_name;  // the own site, of the records without a virtual host
};

// The user's choices: the report kind and which records it counts.
struct AnalysisChoice {
  const ReportKindInfo* kind = nullptr;  // null: no report, an empty table
  SelectionChoice selection;
  friend bool operator==(const AnalysisChoice&, const AnalysisChoice&) = default;
};

struct AnalysisInput {
  const RecordArray* records = nullptr;  // null: no log is loaded
  std::string_view site_name;            // the site the log is of
  ReportContext context;
  AnalysisChoice choice;
};

}  // namespace tw
