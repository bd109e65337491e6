#include "present/report_json.h"

#include <nlohmann/json.hpp>

#include <cstdio>

#include "analysis/report_kinds.h"

namespace tw {
namespace {

using Json = nlohmann::ordered_json;

// The reasons' keys, in the order of RejectReason from kEmptyLine on.
constexpr const char* kReasonKeys[kRejectReasonCount - 1] = {
    "empty_line", "field_count", "client_address", "time", "request_line",
    "status",     "size",        "glued_lines",    "damaged_data",
};

std::string IsoDate(const CalendarDate& d) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.Year, d.Month, d.Day);
  return text;
}

Json Choices(const SelectionChoice& s) {
  static const char* const kRequests[] = {"html", "no-graphics", "all"};
  const int filter = s.request_filter >= 1 && s.request_filter <= 3 ? s.request_filter : 1;
  Json j;
  j["requests"] = kRequests[filter - 1];
  j["crawlers"] = !s.skip_crawlers;
  j["section"] = std::string(s.section);
  j["from"] = IsoDate(s.period.First);
  j["to"] = IsoDate(s.period.Last);
  return j;
}

Json TimeFigures(long long hits, long long good_hits, long long hosts, long long visits) {
  Json j;
  j["hits"] = hits;
  j["good_hits"] = good_hits;
  j["hosts"] = hosts;
  j["visits"] = visits;
  return j;
}

void AddRows(const ReportResult& r, Json& report) {
  Json rows = Json::array();
  Json totals;
  if (r.time_table) {
    long long sums[4] = {};
    for (const TimeRow& row : r.time_rows) {
      Json j;
      j["label"] = std::string(row.Label);
      j.update(TimeFigures(row.Hits, row.GoodHits, row.Hosts, row.Visits));
      rows.push_back(std::move(j));
      sums[0] += row.Hits, sums[1] += row.GoodHits, sums[2] += row.Hosts, sums[3] += row.Visits;
    }
    totals["rows"] = r.time_rows.size();
    totals.update(TimeFigures(sums[0], sums[1], sums[2], sums[3]));
  } else {
    for (const ReportRow& row : r.rows) {
      Json j;
      j["label"] = std::string(row.Label);
      j["hits"] = row.Count;
      j["share"] = r.total < 1 ? 0.0 : static_cast<double>(row.Count) / static_cast<double>(r.total);
      rows.push_back(std::move(j));
    }
    totals["rows"] = r.rows.size();
    totals["hits"] = r.total;
  }
  report["rows"] = std::move(rows);
  report["totals"] = std::move(totals);
}

Json ReportObject(const ReportResult& r) {
  Json report;
  report["report"] = r.kind != nullptr ? r.kind->CliName : "";
  report["title"] = std::string(TrimmedTitle(r.title));
  report["subject"] = std::string(r.subject);
  report["choices"] = Choices(r.choice.selection);
  Json columns = Json::array();
  for (std::size_t c = 1; c < r.columns.size(); ++c) columns.push_back(std::string(r.columns[c]));
  report["columns"] = std::move(columns);
  AddRows(r, report);
  return report;
}

}  // namespace

std::string_view TrimmedTitle(std::string_view title) {
  const std::size_t first = title.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return title.substr(first, title.find_last_not_of(' ') - first + 1);
}

std::string ReportsJson(const OutputHeader& header, const std::vector<const ReportResult*>& reports) {
  Json doc;
  doc["program"] = header.program;
  doc["version"] = header.version;
  Json logs = Json::array();
  for (const OutputHeader::Log& l : header.logs) {
    Json j;
    j["path"] = l.path;
    j["format"] = l.format;
    j["compression"] = l.compression;
    j["records"] = l.records;
    j["rejected"] = l.rejected;
    logs.push_back(std::move(j));
  }
  doc["logs"] = std::move(logs);
  doc["records"] = header.records;
  doc["rejected"] = header.rejected;
  Json reasons;
  for (std::size_t i = 1; i < kRejectReasonCount; ++i) reasons[kReasonKeys[i - 1]] = header.reasons[i];
  doc["rejected_by_reason"] = std::move(reasons);
  Json list = Json::array();
  for (const ReportResult* r : reports) list.push_back(ReportObject(*r));
  doc["reports"] = std::move(list);
  return doc.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace tw
