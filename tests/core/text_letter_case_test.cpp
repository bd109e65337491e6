#include "base/letter_case.h"

#include <gtest/gtest.h>

#include <string>

#include "base/cp1251.h"
#include "show_bytes.h"

namespace tw {
namespace {

using testing::Show;

TEST(LetterCase, FoldsAndLowersEveryScript) {
  const struct {
    const char* text;
    const char* folded;
    const char* lower;
  } cases[] = {
      {"", "", ""},
      {"/Index.HTML?Q=X", "/index.html?q=x", "/index.html?q=x"},
      {"CAFÉ Ÿ", "café ÿ", "café ÿ"},
      {"ΣΑΣ σας", "σασ σασ", "σασ σας"},  // final sigma folds, but stays when lowered
      {"ПРИВЕТ ЁЖ Ґ Ї Ў Џ", "привет ёж ґ ї ў џ", "привет ёж ґ ї ў џ"},
      {"STRASSE straße ẞ", "strasse straße ß", "strasse straße ß"},  // one to one only
      {"中文 عربي 😀", "中文 عربي 😀", "中文 عربي 😀"},                 // no case
      {"\xE2\x84\xAA \xE2\x84\xA6", "k ω", "k ω"},                  // Kelvin and ohm signs
      {"µ", "μ", "µ"},                                             // micro sign
      {"Ⱥ", "ⱥ", "ⱥ"},                                             // two bytes become three
      {"A\xC3\x28Z\xFF", "a\xC3(z\xFF", "a\xC3(z\xFF"},            // bad bytes pass
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Show(FoldCase(c.text)), Show(c.folded)) << Show(c.text);
    EXPECT_EQ(Show(ToLower(c.text)), Show(c.lower)) << Show(c.text);
  }
}

TEST(LetterCase, EqualHashAndCompareAgreeWithFolding) {
  const struct {
    std::string a, b;
    bool equal;
  } cases[] = {
      {"", "", true},
      {"Mozilla/5.0 (Windows NT 10.0)", "MOZILLA/5.0 (windows nt 10.0)", true},
      {"/Новости/Спорт и ЁЖИКИ", "/новости/спорт и ёжики", true},
      {"ΣΑΣ", "σας", true},
      {"ΣΑΣ", "σασ", true},
      {"/Café", "/CAFÉ", true},
      {"\xE2\x84\xAA", "k", true},  // lengths differ
      {"STRASSE", "straße", false},
      {"/中文.html", "/文中.html", false},
      {"Ё", "Е", false},
      {"A", "А", false},  // Latin A is not Cyrillic А
      {"abc", "abcd", false},
      {std::string("a\0b", 3), std::string("A\0B", 3), true},
      {"\xE9", "\xC9", false},  // bad bytes equal only themselves
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EqualNoCase(c.a, c.b), c.equal) << Show(c.a) << " | " << Show(c.b);
    EXPECT_EQ(EqualNoCase(c.b, c.a), c.equal) << Show(c.b) << " | " << Show(c.a);
    EXPECT_EQ(CompareNoCase(c.a, c.b) == 0, c.equal) << Show(c.a) << " | " << Show(c.b);
    EXPECT_EQ(c.equal, FoldCase(c.a) == FoldCase(c.b)) << Show(c.a) << " | " << Show(c.b);
    if (c.equal) {
      EXPECT_EQ(HashNoCase(c.a), HashNoCase(c.b)) << Show(c.a) << " | " << Show(c.b);
    }
  }
}

TEST(LetterCase, CompareNoCaseOrdersByFoldedCodePoints) {
  // Each text orders before the next.
  const char* ascending[] = {"",      "/A",  "/a/b", "/B",  "/z",    "/é",  "/Ω",
                             "/а",    "/Я",  "/ё",   "/є",  "/中",   "/😀", "/\xFF"};
  for (std::size_t i = 0; i + 1 < std::size(ascending); ++i) {
    EXPECT_LT(CompareNoCase(ascending[i], ascending[i + 1]), 0) << ascending[i] << " < " << ascending[i + 1];
    EXPECT_GT(CompareNoCase(ascending[i + 1], ascending[i]), 0) << ascending[i + 1] << " > " << ascending[i];
  }
}

TEST(LetterCase, HashNoCaseSeparatesNearTexts) {
  // Not a promise of the contract, but a hash that ignored a position would
  // make every pool lookup slow.
  EXPECT_NE(HashNoCase("abcdefgh1"), HashNoCase("abcdefgh2"));
  EXPECT_NE(HashNoCase("1abcdefgh"), HashNoCase("2abcdefgh"));
  EXPECT_NE(HashNoCase("/страница-1"), HashNoCase("/страница-2"));
  EXPECT_NE(HashNoCase("/中文.html"), HashNoCase("/文中.html"));
  EXPECT_NE(HashNoCase(""), HashNoCase(std::string(1, '\0')));
}

// Logs in Windows-1251 read as before: a letter of the page lowered in the
// page and then converted is the letter converted and then lowered.
TEST(LetterCase, LowersTheCodePageAsTheCodePageDoes) {
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    std::string lowered = one;
    LowerCp1251InPlace(lowered.data(), lowered.size());
    EXPECT_EQ(Show(ToLower(Cp1251ToUtf8(one))), Show(Cp1251ToUtf8(lowered))) << "byte " << b;
  }
}

// AppendFolded and AppendLower promise a character grows by half at most.
TEST(LetterCase, NoCharacterGrowsByMoreThanHalf) {
  for (char32_t c = 0x80; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    char bytes[4];
    std::size_t n = 0;
    if (c < 0x800) {
      bytes[n++] = static_cast<char>(0xC0 | (c >> 6));
    } else if (c < 0x10000) {
      bytes[n++] = static_cast<char>(0xE0 | (c >> 12));
      bytes[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    } else {
      bytes[n++] = static_cast<char>(0xF0 | (c >> 18));
      bytes[n++] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      bytes[n++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    }
    bytes[n++] = static_cast<char>(0x80 | (c & 0x3F));
    const std::string one(bytes, n);
    ASSERT_LE(FoldCase(one).size() * 2, one.size() * 3) << "U+" << std::hex << unsigned(c);
    ASSERT_LE(ToLower(one).size() * 2, one.size() * 3) << "U+" << std::hex << unsigned(c);
  }
}

}  // namespace
}  // namespace tw
