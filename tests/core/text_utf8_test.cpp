#include "base/utf8.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text_direction.h"
#include "show_bytes.h"

namespace tw {
namespace {

using namespace std::string_literals;  // "...\0..."s keeps the zero byte
using testing::Show;

TEST(IsUtf8, AcceptsOnlyWellFormedCharacters) {
  const std::string valid[] = {
      "",
      "plain ASCII text longer than eight bytes",
      "caf\xC3\xA9",                      // é
      "\xCE\xA3\xCE\xB1\xCF\x82",         // Σας
      "\xE4\xB8\xAD\xE6\x96\x87",         // 中文
      "\xD8\xB9\xD8\xB1\xD8\xA8\xD9\x8A", // عربي
      "\xF0\x9F\x98\x80",                 // 😀
      "\xF4\x8F\xBF\xBF",                 // U+10FFFF, the last code point
      "ab\0\x01\x1F"s,                    // control characters are characters
      "12345678\xD0\x9F",                 // after a whole ASCII word
  };
  for (const auto& s : valid) EXPECT_TRUE(IsUtf8(s)) << Show(s);
  const std::string invalid[] = {
      "\xCF\xF0\xE8",          // Windows-1251 "При"
      "\x80", "\xBF",          // a continuation byte alone
      "\xD0", "\xE2\x82",      // cut short
      "\xD0\x41",              // a lead byte before ASCII
      "\xC0\x80", "\xC1\xBF",  // overlong forms of one byte
      "\xE0\x80\xAF",          // overlong form of '/'
      "\xF0\x82\x82\xAC",      // overlong form of €
      "\xED\xA0\x80", "\xED\xBF\xBF",  // surrogates
      "\xF4\x90\x80\x80",      // past U+10FFFF
      "\xF8\x88\x80\x80\x80", "\xFE", "\xFF",
      "12345678\xE9",          // after a whole ASCII word
      "\0\xE9"s,
  };
  for (const auto& s : invalid) EXPECT_FALSE(IsUtf8(s)) << Show(s);
}

TEST(AsUtf8, KeepsUtf8AndConvertsAnythingElseWhole) {
  const struct {
    std::string bytes;
    std::string utf8;
  } cases[] = {
      {"", ""},
      {"/index.html", "/index.html"},
      {"caf\xC3\xA9", "café"},
      {"\xCF\xF0\xE8\xE2\xE5\xF2", "Привет"},
      {"\xA8\xEB\xEA\xE0 \xB8", "Ёлка ё"},
      {"\x88\xB9", "€№"},
      {"\xC3\xA9\xE9", "Г©й"},           // one bad byte: all of it as the code page
      {"\xC0\x80", "А\xD0\x82"},         // overlong: А and Ђ
      {"\xED\xA0\x80", "н\xC2\xA0Ђ"},    // a surrogate: н, no-break space, Ђ
      {"\x98", "\xEF\xBF\xBD"},          // the page's one unassigned byte
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Show(AsUtf8(c.bytes)), Show(c.utf8)) << Show(c.bytes);
    std::string scratch = "left over";
    const std::string_view got = AsUtf8(c.bytes, scratch);
    EXPECT_EQ(Show(got), Show(c.utf8)) << Show(c.bytes);
    // A text that is UTF-8 is handed back itself, with no copy.
    EXPECT_EQ(got.data() == c.bytes.data(), c.bytes == c.utf8) << Show(c.bytes);
  }
}

TEST(Utf8PrefixLength, CountsCharactersNotBytes) {
  const struct {
    std::string text;
    std::size_t count, bytes;
  } cases[] = {
      {"abc", 2, 2},       {"abc", 5, 3},   {"", 3, 0},
      {"ёжик", 2, 4},      {"中文x", 2, 6}, {"😀a", 1, 4},
      {"\xE9\xE9x", 2, 2},  // a byte that starts no character is one
      {"a\xE4\xB8", 2, 2},  // ... and so is each byte of a cut character
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8PrefixLength(c.text, c.count), c.bytes) << Show(c.text) << " count " << c.count;
  }
}

// The first letter with a direction decides; paths and addresses read left to right.
TEST(TextDirection, FollowsTheFirstLetterWithADirectionExceptInPaths) {
  const struct {
    const char* text;
    bool rtl;
  } cases[] = {
      {"مرحبا بالعالم", true},        {"שלום", true},
      {"«مرحبا»", true},              {"123 שלום", true},
      {"a مرحبا", false},             {"/عربي.html", false},
      {"https://مثال.com/", false},   {"中文", false},
      {"", false},                    {"\xFF\xFE", false},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadsRightToLeft(c.text), c.rtl) << c.text;
}

}  // namespace
}  // namespace tw
