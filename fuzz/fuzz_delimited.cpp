// The delimited-text rule on arbitrary bytes with several delimiters, and
// comma text into table rows of 4, 6 and 8 cells. Besides crashes it checks
// that the reader ends, that its items never hold more bytes than the text,
// and that a row takes the items in order with empty ones as a blank.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/delimited.h"
#include "fuzz_support.h"

namespace {

// ';' engines.lst, ' ' log lines, ',' table rows; the others are odd choices
// a caller could make: a tab, the quote itself, a high byte, a zero byte.
constexpr char kDelimiters[] = {';', ' ', ',', '\t', '"', '\xFF', '\0'};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string_view text = input.substr(0, input.find('\0'));

  std::vector<std::string> comma_items;
  for (char delimiter : kDelimiters) {
    tw::DelimitedReader reader(input, delimiter);
    std::vector<std::string> items;
    std::string item;
    std::size_t bytes = 0;
    while (reader.Next(item)) {
      items.push_back(item);
      bytes += item.size();
      // Every item takes at least one character, bar one empty item after a last delimiter.
      FUZZ_CHECK(items.size() <= text.size() + 1);
    }
    FUZZ_CHECK(bytes <= text.size());
    FUZZ_CHECK(!reader.Next(item));  // the end stays the end
    FUZZ_CHECK(tw::SplitDelimited(input, delimiter) == items);
    if (text.empty()) FUZZ_CHECK(items.empty());
    if (delimiter == ',') comma_items = items;
  }

  for (std::size_t n : {4u, 6u, 8u}) {
    std::vector<std::string> cells(n, "old");
    tw::SetCommaText(cells, input);
    FUZZ_CHECK(cells.size() == n);
    for (std::size_t i = 0; i < n; ++i) {
      if (i < comma_items.size()) {
        FUZZ_CHECK(cells[i] == (comma_items[i].empty() ? std::string(" ") : comma_items[i]));
      } else {
        FUZZ_CHECK(cells[i].empty());
      }
    }
  }
  return 0;
}
