#include "analysis/report_run.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

#include "analysis/report_colours.h"
#include "analysis/report_day.h"
#include "analysis/report_kinds.h"
#include "analysis/selection.h"
#include "base/delimited.h"
#include "base/language.h"
#include "base/text_format.h"

namespace tw {

namespace {

constexpr int kCountColumns = 4;
constexpr int kTimeColumns = 6;

// Cells of a comma text in a row of `columns` cells.
std::vector<std::string> Cells(const std::string& comma_text, int columns) {
  std::vector<std::string> cells(static_cast<std::size_t>(columns));
  SetCommaText(cells, comma_text);
  return cells;
}

// The count table: sorted by count where the kind says so (equal counts keep
// the report's order), totals, and the pie of the first rows plus the rest.
void PresentCountTable(const LanguagePack& lang, const std::string& header_text,
                       bool sort_by_count, ReportResult& out) {
  out.columns = Cells(header_text, kCountColumns);
  if (out.rows.empty()) return;
  if (sort_by_count) {
    std::stable_sort(out.rows.begin(), out.rows.end(),
                     [](const ReportRow& a, const ReportRow& b) { return a.Count > b.Count; });
  }
  out.sorted_by_count = sort_by_count;
  out.slice_count = std::min<int>(static_cast<int>(out.rows.size()), MaxSlices);
  std::int64_t top = 0;
  for (std::size_t i = 0; i < out.rows.size(); ++i) {
    out.total += out.rows[i].Count;
    if (i < static_cast<std::size_t>(out.slice_count)) top += out.rows[i].Count;
  }
  const std::string totals = FormatText(lang.Get("id1001"),
                                        {static_cast<int>(out.rows.size()),
                                         static_cast<long long>(out.total), 100.0});
  out.totals = Cells(totals, kCountColumns);

  out.chart.HasPie = true;
  for (int i = 0; i < out.slice_count; ++i) {
    out.chart.Pie.push_back({static_cast<double>(out.rows[static_cast<std::size_t>(i)].Count),
                             SliceColours[static_cast<std::size_t>(i)]});
  }
  out.chart.Pie.push_back({static_cast<double>(out.total - top), kRemainderSliceColour});
}

// The time table: totals of the four figures and one line series each.
void PresentTimeTable(const LanguagePack& lang, const std::string& header_text,
                      ReportResult& out) {
  out.columns = Cells(header_text, kTimeColumns);
  const std::vector<TimeRow>& rows = out.time_rows;
  if (rows.empty()) return;
  long long hits = 0, good_hits = 0, hosts = 0, visits = 0;
  for (const TimeRow& row : rows) {
    hits += row.Hits;
    good_hits += row.GoodHits;
    hosts += row.Hosts;
    visits += row.Visits;
  }
  const std::string totals = FormatText(lang.Get("id1000"),
                                        {static_cast<int>(rows.size()), hits, good_hits, hosts,
                                         visits});
  out.totals = Cells(totals, kTimeColumns);

  out.chart.AxesVisible = true;
  out.chart.Lines.resize(kTimeLineColours.size());
  for (std::size_t s = 0; s < kTimeLineColours.size(); ++s) {
    LineSeries& series = out.chart.Lines[s];
    series.Colour = kTimeLineColours[s];
    series.Points.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const TimeRow& row = rows[i];
      const std::int32_t values[] = {row.Hits, row.GoodHits, row.Hosts, row.Visits};
      series.Points.push_back({static_cast<double>(i + 1), static_cast<double>(values[s]),
                               std::to_string(i + 1)});
    }
  }
}

// The title and subject every report starts with.
ReportResult BeginReport(const AnalysisInput& in) {
  ReportResult out;
  out.kind = in.choice.kind;
  out.choice = in.choice;
  const LanguagePack& lang = *in.context.lang;
  out.title = lang.Get(out.kind != nullptr ? out.kind->TitleId : "stat0");
  const bool any = in.records != nullptr && in.records->Count() > 0;
  out.subject = !any ? lang.Get("mes1")
                     : "http://" + std::string(in.site_name) + in.choice.selection.section + "  " +
                           FormatPeriod(in.choice.selection.period);
  out.columns.assign(kCountColumns, std::string());
  return out;
}

void Present(const AnalysisInput& in, ReportResult& out) {
  const ReportKindInfo* kind = out.kind;
  if (kind == nullptr) return;
  PresentReport(*in.context.lang, in.context.lang->Get(kind->HeaderId),
                kind->Rows != nullptr && kind->Rows->SortByCount, out);
}

}  // namespace

void PresentReport(const LanguagePack& lang, const std::string& header_text, bool sort_by_count,
                   ReportResult& out) {
  if (out.time_table) {
    PresentTimeTable(lang, header_text, out);
  } else {
    PresentCountTable(lang, header_text, sort_by_count, out);
  }
}

ReportResult RunReport(const AnalysisInput& in) {
  std::vector<const LogRecord*> selected;
  if (in.records != nullptr) selected = SelectRecordsOf(*in.records, in.choice.selection);
  return RunReportOn(in, std::move(selected));
}

ReportResult RunReportOn(const AnalysisInput& in, std::vector<const LogRecord*> selected) {
  ReportResult out = BeginReport(in);
  out.selected = std::move(selected);
  const ReportKindInfo* kind = in.choice.kind;
  if (kind == nullptr) return out;
  if (kind->Rows != nullptr) {
    CountRowReport(in.context, *kind->Rows, out);
  } else if (kind->Report != nullptr) {
    kind->Report(in, out);
  }
  Present(in, out);
  return out;
}

ReportResult DayReportOf(const AnalysisInput& in, std::vector<const LogRecord*> selected,
                         std::vector<TimeRow> day_rows) {
  ReportResult out = BeginReport(in);
  out.selected = std::move(selected);
  out.time_rows = std::move(day_rows);
  out.time_table = true;
  NameDayRows(in, out.time_rows);
  Present(in, out);
  return out;
}

}  // namespace tw
