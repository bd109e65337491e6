#pragma once

// The delimited-text rule, used with ';' for engines.lst, with the blank for
// log lines and with ',' for table rows. The quote character is always '"'.
//
//   SplitDelimited(R"( a; "b;""c" ;;d;)", ';')  ->  {"a", "b;\"c", "", "d", ""}
//   SplitDelimited("x y", ';')                   ->  {"x", "y"}   (a blank ends an item)
//
// - Characters with codes 1 to 32 at the start are skipped.
// - An item that starts with '"' runs to the next '"' that is not doubled; two
//   quotes inside stand for one. Without a closing quote the item is the rest
//   of the text without its last character.
// - Any other item runs up to the delimiter or a character with code 0 to 32.
//   Bytes from 128 up belong to the item.
// - After an item, codes 1 to 32 are skipped; a delimiter is then passed over
//   together with the codes 1 to 32 after it. A delimiter that is the very last
//   character yields an empty last item. An empty text yields no items.
// - The text ends at its first zero byte.

#include <string>
#include <string_view>
#include <vector>

namespace tw {

// Reads the items of one text one at a time, reusing the caller's buffer.
class DelimitedReader {
 public:
  DelimitedReader(std::string_view text, char delimiter);

  // Stores the next item in `item` and returns true, or returns false at the end.
  bool Next(std::string& item);

 private:
  const char* p_;
  const char* end_;
  char delimiter_;
  bool pending_empty_ = false;  // a delimiter ended the text
};

std::vector<std::string> SplitDelimited(std::string_view text, char delimiter);

// Comma text into one table row: the row's cells are emptied, the items go
// into the cells from the first on, an empty item is stored as a single blank,
// items beyond the last cell are dropped.
void SetCommaText(std::vector<std::string>& cells, std::string_view text);

}  // namespace tw
