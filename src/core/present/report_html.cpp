#include "present/report_html.h"

#include "analysis/report_kinds.h"
#include "base/text_direction.h"
#include "base/text_format.h"
#include "present/svg_chart.h"

namespace tw {
namespace {

constexpr std::string_view kStyle =
    "body{font:14px/1.4 'DejaVu Sans',Arial,sans-serif;margin:1.5em;color:#202020}"
    "h1{font-size:1.5em}h2{font-size:1.2em;margin-top:2em;border-bottom:1px solid #c0c0c0}"
    "table.r{border-collapse:collapse;margin:.5em 0}"
    "table.r th,table.r td{border:1px solid #d0d0d0;padding:2px 8px}"
    "table.r th{background:#ffffe1;cursor:pointer}table.r td+td,table.r th+th{text-align:right}"
    "table.r tfoot td{font-weight:bold;background:#f4f4f4}"
    "table.r td:first-child{max-width:60em;overflow-wrap:anywhere}table.r td[dir=rtl]{text-align:right}"
    "tr.more{display:none}input.all:checked~table tr.more{display:table-row}"
    "svg{max-width:900px;display:block}svg text{font-size:12px}"
    "svg .tick{text-anchor:end}svg .xtick{text-anchor:middle}svg .grid{stroke:#e0e0e0}"
    "dl.log{display:grid;grid-template-columns:max-content auto;gap:2px 1em}dd{margin:0}";

// Sorts a table by the clicked column, numbers as numbers; the first rows
// (kHtmlFoldAfter, between the two parts) stay shown.
constexpr std::string_view kScriptHead =
    "document.querySelectorAll('table.r th').forEach(function(th,i){"
    "th.addEventListener('click',function(){"
    "var b=th.closest('table').tBodies[0],rows=Array.prototype.slice.call(b.rows),"
    "d=th.dataset.d=th.dataset.d==='1'?'-1':'1',n=i>0;"
    "rows.sort(function(x,y){var a=x.cells[i].textContent,c=y.cells[i].textContent;"
    "if(n){a=parseFloat(a);c=parseFloat(c);}return (a>c?1:a<c?-1:0)*d;});"
    "rows.forEach(function(r,k){r.className=k<";
constexpr std::string_view kScriptTail = "?'':'more';b.appendChild(r);});});});";

struct PageTexts {
  std::string title, contents, logs, period, records, rejected, requests, crawlers, section,
      show_all, other, yes, no;
  std::string request_kinds[3];
};

PageTexts TextsOf(const LanguagePack& lang) {
  const auto t = [&](const char* id, const char* english) { return std::string(TrimmedTitle(lang.GetOr(id, english))); };
  return {t("html1", "Log report"), t("html2", "Contents"), t("html3", "Logs"),
          t("html4", "Period"), t("html5", "Records loaded"), t("html6", "Lines rejected"),
          t("html7", "Requests"), t("html8", "Crawler requests counted"), t("html9", "Site section"),
          t("html10", "Show all %s rows"), t("html11", "other"), t("html12", "yes"), t("html13", "no"),
          {t("html14", "pages"), t("html15", "all but graphics"), t("html16", "all requests")}};
}

std::string Esc(std::string_view report_text) { return HtmlEscaped(report_text); }

std::string DateText(const CalendarDate& d) {
  return FormatText("%04d-%02d-%02d", {d.Year, d.Month, d.Day});
}

void AppendHeading(std::string& page, const OutputHeader& header, const ReportResult* first,
                   const PageTexts& t) {
  page += "<h1>" + HtmlEscaped(t.title) + "</h1><dl class=\"log\"><dt>" + HtmlEscaped(t.logs) + "</dt><dd>";
  for (const OutputHeader::Log& log : header.logs) {
    page += HtmlEscaped(log.path) + " (" + HtmlEscaped(log.format) +
            (log.compression.empty() ? "" : ", " + log.compression) + ")<br>";
  }
  page += "</dd><dt>" + HtmlEscaped(t.records) + "</dt><dd>" + std::to_string(header.records) +
          "</dd><dt>" + HtmlEscaped(t.rejected) + "</dt><dd>" + std::to_string(header.rejected) + "</dd>";
  if (first != nullptr) {
    const SelectionChoice& s = first->choice.selection;
    const int kind = s.request_filter >= 1 && s.request_filter <= 3 ? s.request_filter - 1 : 0;
    page += "<dt>" + HtmlEscaped(t.period) + "</dt><dd>" + DateText(s.period.First) + " \xE2\x80\x93 " +
            DateText(s.period.Last) + "</dd><dt>" + HtmlEscaped(t.requests) + "</dt><dd>" +
            HtmlEscaped(t.request_kinds[kind]) + "</dd><dt>" + HtmlEscaped(t.crawlers) + "</dt><dd>" +
            HtmlEscaped(s.skip_crawlers ? t.no : t.yes) + "</dd><dt>" + HtmlEscaped(t.section) +
            "</dt><dd>" + Esc(s.section) + "</dd>";
  }
  page += "</dl>";
}

std::string SectionId(const ReportResult& r, std::size_t index) {
  return r.kind != nullptr ? std::string("r-") + r.kind->CliName : "r-" + std::to_string(index);
}

// A row's cells; a label that reads right to left says so, so that it is
// laid out from the cell's right edge.
void AppendRow(std::string& page, const ReportResult& r, int row, const char* cell) {
  for (int c = 1; c < r.ColCount(); ++c) {
    const std::string text = r.Cell(c, row);
    page += c == 1 && ReadsRightToLeft(text) ? std::string(cell).insert(3, " dir=\"rtl\"") : cell;
    page += Esc(text);
  }
}

void AppendTable(std::string& page, const ReportResult& r, const std::string& id, const PageTexts& t) {
  const int rows = r.DataRows();
  if (rows > kHtmlFoldAfter) {
    page += "<input type=\"checkbox\" class=\"all\" id=\"" + id + "-all\"><label for=\"" + id +
            "-all\">" + HtmlEscaped(FormatText(t.show_all, {std::to_string(rows)})) + "</label>";
  }
  page += "<table class=\"r\"><thead><tr>";
  AppendRow(page, r, 0, "<th>");
  page += "</thead><tbody>";
  for (int row = 1; row <= rows; ++row) {
    page += row > kHtmlFoldAfter ? "<tr class=\"more\">" : "<tr>";
    AppendRow(page, r, row, "<td>");  // no line end: it would join the last cell's text
  }
  page += "</tbody>";
  if (rows > 0) {
    page += "<tfoot><tr>";
    AppendRow(page, r, rows + 1, "<td>");
    page += "</tfoot>";
  }
  page += "</table>";
}

ChartNames NamesOf(const ReportResult& r, const PageTexts& t) {
  ChartNames names;
  names.other = t.other;
  if (r.time_table) {
    for (std::size_t c = 2; c < r.columns.size(); ++c) names.names.push_back(r.columns[c]);
  } else {
    for (int i = 0; i < r.slice_count; ++i) names.names.emplace_back(r.rows[static_cast<std::size_t>(i)].Label);
  }
  return names;
}

}  // namespace

std::string ReportsHtml(const OutputHeader& header, const std::vector<const ReportResult*>& reports,
                        const LanguagePack& lang) {
  const PageTexts t = TextsOf(lang);
  std::string page = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>" +
                     HtmlEscaped(t.title) + "</title><style>";
  page += kStyle;
  page += "</style></head><body>";
  AppendHeading(page, header, reports.empty() ? nullptr : reports.front(), t);
  page += "<nav><h2>" + HtmlEscaped(t.contents) + "</h2><ul>";
  for (std::size_t i = 0; i < reports.size(); ++i) {
    page += "<li><a href=\"#" + SectionId(*reports[i], i) + "\">" + Esc(TrimmedTitle(reports[i]->title)) + "</a>";
  }
  page += "</ul></nav>";
  for (std::size_t i = 0; i < reports.size(); ++i) {
    const ReportResult& r = *reports[i];
    const std::string id = SectionId(r, i);
    page += "<section id=\"" + id + "\"><h2>" + Esc(TrimmedTitle(r.title)) + "</h2><p>" + Esc(r.subject) + "</p>";
    page += SvgChart(r, NamesOf(r, t));
    AppendTable(page, r, id, t);
    page += "</section>\n";
  }
  page += "<script>";
  page += kScriptHead;
  page += std::to_string(kHtmlFoldAfter);
  page += kScriptTail;
  page += "</script></body></html>\n";
  return page;
}

}  // namespace tw
