#include "base/delimited.h"

#include <cstring>

namespace tw {
namespace {
inline bool IsSkippable(char c) {  // codes 1 to 32
  const auto u = static_cast<unsigned char>(c);
  return u >= 1 && u <= 32;
}
}  // namespace

DelimitedReader::DelimitedReader(std::string_view text, char delimiter)
    : p_(text.data()), end_(text.data() + text.size()), delimiter_(delimiter) {
  if (const void* nul = std::memchr(text.data(), 0, text.size())) {
    end_ = static_cast<const char*>(nul);
  }
  while (p_ < end_ && IsSkippable(*p_)) ++p_;
}

bool DelimitedReader::Next(std::string& item) {
  item.clear();
  if (pending_empty_) {
    pending_empty_ = false;
    return true;
  }
  if (p_ >= end_) return false;

  if (*p_ == '"') {
    const char* q = p_ + 1;
    bool closed = false;
    while (q < end_) {
      if (*q == '"') {
        if (q + 1 < end_ && q[1] == '"') {
          item.push_back('"');
          q += 2;
          continue;
        }
        closed = true;
        ++q;
        break;
      }
      item.push_back(*q++);
    }
    if (!closed && !item.empty()) item.pop_back();  // the rest without its last character
    p_ = q;
  } else {
    const char* q = p_;
    while (q < end_ && static_cast<unsigned char>(*q) > 32 && *q != delimiter_) ++q;
    item.assign(p_, q);
    p_ = q;
  }

  while (p_ < end_ && IsSkippable(*p_)) ++p_;
  if (p_ < end_ && *p_ == delimiter_) {
    if (p_ + 1 == end_) pending_empty_ = true;
    ++p_;
    while (p_ < end_ && IsSkippable(*p_)) ++p_;
  }
  return true;
}

std::vector<std::string> SplitDelimited(std::string_view text, char delimiter) {
  std::vector<std::string> items;
  DelimitedReader reader(text, delimiter);
  std::string item;
  while (reader.Next(item)) items.push_back(item);
  return items;
}

void SetCommaText(std::vector<std::string>& cells, std::string_view text) {
  for (auto& c : cells) c.clear();
  DelimitedReader reader(text, ',');
  std::string item;
  std::size_t next = 0;
  while (reader.Next(item)) {
    while (next < cells.size() && !cells[next].empty()) ++next;
    if (next >= cells.size()) break;
    cells[next++] = item.empty() ? std::string(" ") : item;
  }
}

}  // namespace tw
