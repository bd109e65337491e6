#include "present/report_table.h"

#include <string>

#include "base/csv_field.h"
#include "base/text_format.h"

namespace tw {
namespace {

void AppendCsvText(std::string& line, std::string_view text) {
  const bool guard = LooksLikeFormula(text);
  if (!guard && text.find_first_of(",\"\r\n") == std::string_view::npos) {
    line += text;
    return;
  }
  const bool quote = text.find_first_of(",\"\r\n") != std::string_view::npos;
  if (quote) line += '"';
  if (guard) line += '\'';
  for (const char c : text) {
    if (c == '"') line += '"';
    line += c;
  }
  if (quote) line += '"';
}

void AppendTsvText(std::string& line, std::string_view text) {
  if (LooksLikeFormula(text)) line += '\'';
  for (const char c : text) {
    switch (c) {
      case '\t': line += "\\t"; break;
      case '\r': line += "\\r"; break;
      case '\n': line += "\\n"; break;
      case '\\': line += "\\\\"; break;
      default: line += c;
    }
  }
}

class TableLines {
 public:
  explicit TableLines(TableDialect dialect) : dialect_(dialect) {}

  void Text(std::string_view report_text) {
    Separate();
    dialect_ == TableDialect::kCsv ? AppendCsvText(line_, report_text) : AppendTsvText(line_, report_text);
  }
  void Number(long long n) {
    Separate();
    line_ += std::to_string(n);
  }
  void Fraction(double f) {
    Separate();
    line_ += FormatText("%.4f", {f});
  }
  // The finished line, and a fresh one begun.
  std::string_view End() {
    line_ += dialect_ == TableDialect::kCsv ? "\r\n" : "\n";
    done_.swap(line_);
    line_.clear();
    fields_ = 0;
    return done_;
  }

 private:
  void Separate() {
    if (fields_++ > 0) line_ += dialect_ == TableDialect::kCsv ? ',' : '\t';
  }
  TableDialect dialect_;
  std::string line_, done_;
  int fields_ = 0;
};

}  // namespace

bool WriteReportTable(const ReportResult& result, TableDialect dialect,
                      const std::function<bool(std::string_view)>& write) {
  TableLines line(dialect);
  for (int c = 1; c < result.ColCount(); ++c) line.Text(result.columns[static_cast<std::size_t>(c)]);
  if (!write(line.End())) return false;
  if (result.time_table) {
    for (const TimeRow& row : result.time_rows) {
      line.Text(row.Label);
      for (const std::int32_t figure : {row.Hits, row.GoodHits, row.Hosts, row.Visits}) line.Number(figure);
      if (!write(line.End())) return false;
    }
    return true;
  }
  for (const ReportRow& row : result.rows) {
    line.Text(row.Label);
    line.Number(row.Count);
    line.Fraction(result.total < 1 ? 0.0 : static_cast<double>(row.Count) / static_cast<double>(result.total));
    if (!write(line.End())) return false;
  }
  return true;
}

}  // namespace tw
