#include "base/delimited.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "show_bytes.h"

namespace tw {
namespace {

using Items = std::vector<std::string>;

struct SplitCase {
  std::string text;
  char delimiter;
  Items items;
};

using testing::Show;

void ExpectSplits(const std::vector<SplitCase>& cases) {
  for (const auto& c : cases) {
    EXPECT_EQ(SplitDelimited(c.text, c.delimiter), c.items)
        << "text " << Show(c.text) << " delimiter '" << c.delimiter << "'";
  }
}

TEST(DelimitedText, SplitsPlainItems) {
  ExpectSplits({
      {"", ';', {}},
      {" \t\r\n", ';', {}},
      {"a", ';', {"a"}},
      {"a;b;c", ';', {"a", "b", "c"}},
      {"Google;q=", ';', {"Google", "q="}},
      {"a, b ,c", ',', {"a", "b", "c"}},
      {"1.2.3.4 - - [01/Mar/2025:00:00:01 +0300]", ' ',
       {"1.2.3.4", "-", "-", "[01/Mar/2025:00:00:01", "+0300]"}},
      {"a   b", ' ', {"a", "b"}},  // a run of blanks is one separator
  });
}

TEST(DelimitedText, SkipsControlCharactersAroundItems) {
  ExpectSplits({
      {"\x01\x02\t\r\n a;b", ';', {"a", "b"}},
      {"a \t; \x1F b", ';', {"a", "b"}},
      {"a\tb", ';', {"a", "b"}},   // a control character ends an unquoted item
      {"a b;c", ';', {"a", "b", "c"}},  // so does a blank
      {"  a  ", ' ', {"a"}},
  });
}

TEST(DelimitedText, EmptyItemsComeFromDelimiters) {
  ExpectSplits({
      {"a;;b", ';', {"a", "", "b"}},
      {"a; ;b", ';', {"a", "", "b"}},
      {";a", ';', {"", "a"}},
      {"a;", ';', {"a", ""}},
      {";", ';', {"", ""}},
      {";;", ';', {"", "", ""}},
      {"a,,", ',', {"a", "", ""}},
      // Only a delimiter that is the very last character gives an empty last item.
      {"a; ", ';', {"a"}},
      {"a;\t", ';', {"a"}},
      // With the blank as delimiter the blanks are skipped first: no empty items.
      {"a  ", ' ', {"a"}},
  });
}

TEST(DelimitedText, QuotedItemsKeepDelimitersAndBlanks) {
  ExpectSplits({
      {R"("a;b";c)", ';', {"a;b", "c"}},
      {R"("GET / HTTP/1.1" 200)", ' ', {"GET / HTTP/1.1", "200"}},
      {R"("say ""hi""";x)", ';', {"say \"hi\"", "x"}},
      {R"("""")", ';', {"\""}},
      {R"("";a)", ';', {"", "a"}},
      {R"( "a" ; "b" )", ';', {"a", "b"}},
      {R"("a"b)", ';', {"a", "b"}},  // text after the closing quote is the next item
      {R"(a"b";c)", ';', {"a\"b\"", "c"}},  // a quote inside an unquoted item is plain
      {R"( a; "b;""c" ;;d;)", ';', {"a", "b;\"c", "", "d", ""}},
  });
}

TEST(DelimitedText, UnclosedQuoteTakesTheRestWithoutItsLastCharacter) {
  ExpectSplits({
      {R"("abc)", ';', {"ab"}},
      {R"(x;"abc)", ';', {"x", "ab"}},
      {R"("a;b c)", ';', {"a;b "}},
      {R"("a)", ';', {""}},
      {R"(")", ';', {""}},
      {"\"Mozilla/5.0 (X11", ' ', {"Mozilla/5.0 (X1"}},
  });
}

TEST(DelimitedText, HighBytesBelongToItems) {
  ExpectSplits({
      {"\xC0\xFF;\xA8", ';', {"\xC0\xFF", "\xA8"}},
      {"\xA0\x98 \x80", ' ', {"\xA0\x98", "\x80"}},  // 0xA0 is no blank here
      {"\"\xCF\xF0\xE8\"\";\"", ';', {"\xCF\xF0\xE8\";"}},
  });
}

TEST(DelimitedText, ZeroByteEndsTheText) {
  ExpectSplits({
      {std::string("a;b\0c;d", 7), ';', {"a", "b"}},
      {std::string("a;\0b", 4), ';', {"a", ""}},
      {std::string("\0a", 2), ';', {}},
      {std::string("\"ab\0c\"", 6), ';', {"a"}},  // the quote is left open at the zero
  });
}

TEST(DelimitedText, ReaderReusesTheCallersBuffer) {
  DelimitedReader reader("first;x", ';');
  std::string item = "left over";
  ASSERT_TRUE(reader.Next(item));
  EXPECT_EQ(item, "first");
  ASSERT_TRUE(reader.Next(item));
  EXPECT_EQ(item, "x");
  EXPECT_FALSE(reader.Next(item));
  EXPECT_FALSE(reader.Next(item));  // stays at the end
}

TEST(SetCommaText, FillsCellsFromTheFirstAndStoresEmptyItemsAsABlank) {
  struct Case {
    const char* text;
    std::size_t cells;
    Items expected;
  } cases[] = {
      {"a,b,c", 3, {"a", "b", "c"}},
      {"a,,c", 3, {"a", " ", "c"}},
      {"a,", 3, {"a", " ", ""}},
      {"x", 3, {"x", "", ""}},
      {"", 3, {"", "", ""}},
      {"a,b,c,d,e", 3, {"a", "b", "c"}},  // items beyond the last cell are dropped
      {R"("1,5","q ""w""")", 2, {"1,5", "q \"w\""}},
      {"a,b", 0, {}},
  };
  for (const auto& c : cases) {
    Items cells(c.cells, "old");  // every cell is emptied first
    SetCommaText(cells, c.text);
    EXPECT_EQ(cells, c.expected) << "text " << Show(c.text) << " into " << c.cells << " cells";
  }
}

}  // namespace
}  // namespace tw
