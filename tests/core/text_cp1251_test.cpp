#include "base/cp1251.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>

namespace tw {
namespace {

std::string Hex(const std::string& s) {
  std::string out;
  char buf[4];
  for (unsigned char c : s) {
    std::snprintf(buf, sizeof buf, "%02X ", c);
    out += buf;
  }
  return out;
}

// Every upper-case letter of Windows-1251 with its small letter, as iconv maps
// the page to Unicode and Unicode folds it. Bytes not listed stay unchanged.
const std::map<unsigned char, unsigned char>& UpperToLower() {
  static const std::map<unsigned char, unsigned char> table = [] {
    std::map<unsigned char, unsigned char> t = {
        {0x80, 0x90},  // Ђ ђ
        {0x81, 0x83},  // Ѓ ѓ
        {0x8A, 0x9A},  // Љ љ
        {0x8C, 0x9C},  // Њ њ
        {0x8D, 0x9D},  // Ќ ќ
        {0x8E, 0x9E},  // Ћ ћ
        {0x8F, 0x9F},  // Џ џ
        {0xA1, 0xA2},  // Ў ў
        {0xA3, 0xBC},  // Ј ј
        {0xA5, 0xB4},  // Ґ ґ
        {0xA8, 0xB8},  // Ё ё
        {0xAA, 0xBA},  // Є є
        {0xAF, 0xBF},  // Ї ї
        {0xB2, 0xB3},  // І і
        {0xBD, 0xBE},  // Ѕ ѕ
    };
    for (int c = 'A'; c <= 'Z'; ++c) t[static_cast<unsigned char>(c)] = static_cast<unsigned char>(c + 32);
    for (int c = 0xC0; c <= 0xDF; ++c) t[static_cast<unsigned char>(c)] = static_cast<unsigned char>(c + 32);
    return t;
  }();
  return table;
}

TEST(TextCp1251, LowersEveryCapitalAndLeavesEveryOtherByte) {
  const auto& table = UpperToLower();
  for (int b = 0; b < 256; ++b) {
    const auto c = static_cast<unsigned char>(b);
    const auto it = table.find(c);
    const unsigned char expected = it == table.end() ? c : it->second;
    EXPECT_EQ(LowerCp1251(c), expected) << "byte 0x" << std::hex << b;
  }
  EXPECT_EQ(table.size(), 26u + 32u + 15u);
}

TEST(TextCp1251, LowerCp1251InPlaceFoldsWholeText) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"", ""},
      {"/Index.HTML?Q=X", "/index.html?q=x"},
      {"\xCF\xF0\xE8\xE2\xE5\xF2", "\xEF\xF0\xE8\xE2\xE5\xF2"},          // Привет
      {"\xA8\xCB\xCA\xC0", "\xB8\xEB\xEA\xE0"},                          // ЁЛКА
      {"\x80\xA1\xA3\xA5\xAA\xAF\xB2\xBD", "\x90\xA2\xBC\xB4\xBA\xBF\xB3\xBE"},
      {"\x88\xB9\xAB\xBB", "\x88\xB9\xAB\xBB"},                          // € № « »
  };
  for (const auto& c : cases) {
    std::string buf = c.in;
    LowerCp1251InPlace(buf.data(), buf.size());
    EXPECT_EQ(buf, c.out) << Hex(c.in);
  }
}

TEST(TextCp1251, Utf8ToCp1251ConvertsWellFormedText) {
  struct Case {
    const char* utf8;
    const char* cp1251;
  } cases[] = {
      {"", ""},
      {"plain ASCII /?a=1&b=2", "plain ASCII /?a=1&b=2"},
      {"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, \xD0\xBC\xD0\xB8\xD1\x80", "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0"},
      {"\xD0\x81\xD0\x9B\xD0\x9A\xD0\x90 \xD1\x91\xD0\xBB\xD0\xBA\xD0\xB0", "\xA8\xCB\xCA\xC0 \xB8\xEB\xEA\xE0"},
      {"\xE2\x82\xAC \xE2\x84\x96 \xC2\xAB\xC2\xBB", "\x88 \xB9 \xAB\xBB"},
      {"\xD0\x82\xD1\x92 \xD0\x8E\xD1\x9E \xD0\x88\xD1\x98 \xD2\x90\xD2\x91 \xD0\x84\xD1\x94 \xD0\x87\xD1\x97 "
       "\xD0\x86\xD1\x96 \xD0\x85\xD1\x95",
       "\x80\x90 \xA1\xA2 \xA3\xBC \xA5\xB4 \xAA\xBA \xAF\xBF \xB2\xB3 \xBD\xBE"},
      {"\xC2\xA0", "\xA0"},  // no-break space
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToCp1251(c.utf8), c.cp1251) << Hex(c.utf8);
}

TEST(TextCp1251, Utf8ToCp1251MarksEachBadOrMissingCharacterWithOneQuestionMark) {
  struct Case {
    std::string utf8;
    std::string cp1251;
  } cases[] = {
      {"caf\xC3\xA9", "caf?"},                            // é is not in the page
      {"\xE4\xB8\xAD\xE6\x96\x87", "??"},                 // two CJK characters
      {"a\xF0\x9F\x98\x80" "b", "a?b"},                   // a 4-byte character
      {"\xF4\x8F\xBF\xBF", "?"},                          // U+10FFFF, the last code point
      {"\xF4\x90\x80\x80", "?"},                          // past U+10FFFF
      {"\xC0\xAF", "?"},                                  // overlong '/'
      {"\xC1\xBF", "?"},                                  // overlong U+007F
      {"\xE0\x80\xAF", "?"},                              // overlong '/' in three bytes
      {"\xE0\x9F\xBF", "?"},                              // overlong U+07FF
      {"\xF0\x80\x80\xAF", "?"},                          // overlong '/' in four bytes
      {"\xED\xA0\x80", "?"},                              // high surrogate
      {"\xED\xBF\xBF", "?"},                              // low surrogate
      {"\xED\x9F\xBF", "?"},                              // U+D7FF, just below: valid, not in the page
      {"\xD0", "?"},                                      // truncated at the end
      {"\xE2\x82", "?"},
      {"\xF0\x9F\x98", "?"},
      {"\xD0" "A", "?A"},                                 // truncated, the next byte kept
      {"\xE2\x82" "A\xD0\x90", "?A\xC0"},
      {"\xD0\xD0\x90", "?\xC0"},                          // a lead byte ends a truncated one
      {"\x80", "?"},                                      // stray continuation bytes
      {"\xBF\xBF" "x", "??x"},
      {"\xF8\x88\x80\x80\x80", "?????"},                  // five-byte forms are not UTF-8
      {"\xFF\xFE", "??"},
      {std::string("a\0b", 3), std::string("a\0b", 3)},   // a zero byte is an ordinary character
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Hex(Utf8ToCp1251(c.utf8)), Hex(c.cp1251)) << "input " << Hex(c.utf8);
    // In place, as the parser converts: every byte is read before it is overwritten.
    std::string text = c.utf8;
    text.resize(Utf8ToCp1251(text, text.data()));
    EXPECT_EQ(Hex(text), Hex(c.cp1251)) << "in place, input " << Hex(c.utf8);
  }
}

// What iconv -f CP1251 -t UTF-8 gives for 0x80..0xFF, sixteen bytes a row;
// 0x98, which iconv refuses, is shown as U+FFFD.
constexpr const char* kHighHalfUtf8[8] = {
    "\xD0\x82\xD0\x83\xE2\x80\x9A\xD1\x93\xE2\x80\x9E\xE2\x80\xA6\xE2\x80\xA0\xE2\x80\xA1\xE2\x82\xAC\xE2\x80\xB0"
    "\xD0\x89\xE2\x80\xB9\xD0\x8A\xD0\x8C\xD0\x8B\xD0\x8F",
    "\xD1\x92\xE2\x80\x98\xE2\x80\x99\xE2\x80\x9C\xE2\x80\x9D\xE2\x80\xA2\xE2\x80\x93\xE2\x80\x94\xEF\xBF\xBD"
    "\xE2\x84\xA2\xD1\x99\xE2\x80\xBA\xD1\x9A\xD1\x9C\xD1\x9B\xD1\x9F",
    "\xC2\xA0\xD0\x8E\xD1\x9E\xD0\x88\xC2\xA4\xD2\x90\xC2\xA6\xC2\xA7\xD0\x81\xC2\xA9\xD0\x84\xC2\xAB\xC2\xAC"
    "\xC2\xAD\xC2\xAE\xD0\x87",
    "\xC2\xB0\xC2\xB1\xD0\x86\xD1\x96\xD2\x91\xC2\xB5\xC2\xB6\xC2\xB7\xD1\x91\xE2\x84\x96\xD1\x94\xC2\xBB\xD1\x98"
    "\xD0\x85\xD1\x95\xD1\x97",
    "\xD0\x90\xD0\x91\xD0\x92\xD0\x93\xD0\x94\xD0\x95\xD0\x96\xD0\x97\xD0\x98\xD0\x99\xD0\x9A\xD0\x9B\xD0\x9C"
    "\xD0\x9D\xD0\x9E\xD0\x9F",
    "\xD0\xA0\xD0\xA1\xD0\xA2\xD0\xA3\xD0\xA4\xD0\xA5\xD0\xA6\xD0\xA7\xD0\xA8\xD0\xA9\xD0\xAA\xD0\xAB\xD0\xAC"
    "\xD0\xAD\xD0\xAE\xD0\xAF",
    "\xD0\xB0\xD0\xB1\xD0\xB2\xD0\xB3\xD0\xB4\xD0\xB5\xD0\xB6\xD0\xB7\xD0\xB8\xD0\xB9\xD0\xBA\xD0\xBB\xD0\xBC"
    "\xD0\xBD\xD0\xBE\xD0\xBF",
    "\xD1\x80\xD1\x81\xD1\x82\xD1\x83\xD1\x84\xD1\x85\xD1\x86\xD1\x87\xD1\x88\xD1\x89\xD1\x8A\xD1\x8B\xD1\x8C"
    "\xD1\x8D\xD1\x8E\xD1\x8F",
};

TEST(TextCp1251, Cp1251ToUtf8MatchesIconvForTheUpperHalf) {
  for (int row = 0; row < 8; ++row) {
    std::string bytes;
    for (int k = 0; k < 16; ++k) bytes.push_back(static_cast<char>(0x80 + row * 16 + k));
    EXPECT_EQ(Hex(Cp1251ToUtf8(bytes)), Hex(kHighHalfUtf8[row])) << "row 0x" << std::hex << 0x80 + row * 16;
  }
}

TEST(TextCp1251, Cp1251ToUtf8KeepsAsciiAsIs) {
  std::string ascii;
  for (int b = 1; b < 0x80; ++b) ascii.push_back(static_cast<char>(b));
  EXPECT_EQ(Cp1251ToUtf8(ascii), ascii);
}

TEST(TextCp1251, EveryAssignedByteSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 1; b < 256; ++b) {
    if (b == 0x98) continue;
    const std::string one(1, static_cast<char>(b));
    EXPECT_EQ(Hex(Utf8ToCp1251(Cp1251ToUtf8(one))), Hex(one)) << "byte 0x" << std::hex << b;
    all += one;
  }
  EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
  // The unassigned byte comes back as the replacement character, which the page lacks.
  EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8("\x98")), "?");
}

}  // namespace
}  // namespace tw
