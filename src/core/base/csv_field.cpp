#include "base/csv_field.h"

namespace tw {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// An optional sign, digits, optionally '.' and digits, optionally '%'.
bool IsPlainNumber(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  if (i < n && (text[i] == '-' || text[i] == '+')) ++i;
  const std::size_t whole = i;
  while (i < n && IsDigit(text[i])) ++i;
  if (i == whole) return false;
  if (i < n && text[i] == '.') {
    const std::size_t fraction = ++i;
    while (i < n && IsDigit(text[i])) ++i;
    if (i == fraction) return false;
  }
  if (i < n && text[i] == '%') ++i;
  return i == n;
}

void AppendQuoted(std::string& out, std::string_view text, bool guard) {
  out += '"';
  if (guard) out += '\'';
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

}  // namespace

bool LooksLikeFormula(std::string_view cell) {
  if (cell.empty()) return false;
  switch (cell.front()) {
    case '=':
    case '+':
    case '-':
    case '@':
    case '\t':
    case '\r':
      return cell != "-" && !IsPlainNumber(cell);
    default:
      return false;
  }
}

void AppendCsvField(std::string& line, std::string_view cell) {
  AppendQuoted(line, cell, LooksLikeFormula(cell));
  line += ';';
}

std::string CsvTitleLine(std::string_view text) {
  const bool guard = LooksLikeFormula(text);
  if (!guard && text.find_first_of("\";\r\n") == std::string_view::npos) return std::string(text);
  std::string line;
  AppendQuoted(line, text, guard);
  return line;
}

}  // namespace tw
