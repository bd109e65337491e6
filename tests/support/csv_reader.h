#pragma once

// An RFC 4180 reader for tests, written apart from the writers it checks:
// fields split at `delimiter`, records at CR LF or LF, a quoted field may
// hold delimiters, line ends and doubled quotes. `ok` turns false on a quote
// that is not closed or a stray quote inside an unquoted field.

#include <string>
#include <string_view>
#include <vector>

namespace tw::testing {

inline std::vector<std::vector<std::string>> ReadCsv(std::string_view text, char delimiter, bool& ok) {
  std::vector<std::vector<std::string>> records;
  std::vector<std::string> record;
  std::string field;
  ok = true;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '"' && field.empty()) {
      for (++i;; ++i) {
        if (i >= text.size()) return ok = false, records;
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            field += '"';
            ++i;
          } else {
            ++i;
            break;
          }
        } else {
          field += text[i];
        }
      }
    }
    if (i >= text.size()) break;
    const char c = text[i];
    if (c == delimiter) {
      record.push_back(std::move(field));
      field.clear();
      ++i;
    } else if (c == '\r' || c == '\n') {
      record.push_back(std::move(field));
      field.clear();
      records.push_back(std::move(record));
      record.clear();
      i += c == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
    } else {
      if (c == '"') ok = false;
      field += c;
      ++i;
    }
  }
  if (!field.empty() || !record.empty()) {
    record.push_back(std::move(field));
    records.push_back(std::move(record));
  }
  return records;
}

}  // namespace tw::testing
