#include "log/string_pool.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace tw {
namespace {

TEST(StringPool, KeepsTheFirstSpelling) {
  struct Case {
    const char* first;
    const char* later;
  } cases[] = {
      {"/News/", "/news/"},
      {"Mozilla/5.0", "MOZILLA/5.0"},
      {"Ёлка", "ёЛКА"},
      {"ёлка", "ЁЛКА"},
      {"Привет", "пРИвет"},
      {"ЂЎЈҐЄЇІЅ", "ђўјґєїіѕ"},
      {"/Café/Ελλάδα", "/CAFÉ/ΕΛΛΆΔΑ"},
      {"/ΣΑΣ", "/σας"},
      {"\xE2\x84\xAA-meter", "k-METER"},  // the Kelvin sign is three bytes, k one
  };
  for (const auto& c : cases) {
    StringPool pool;
    const char* a = pool.Intern(c.first);
    const char* b = pool.Intern(c.later);
    EXPECT_EQ(a, b) << c.first;
    EXPECT_STREQ(b, c.first) << c.first;
    EXPECT_EQ(pool.Count(), 1u) << c.first;
    EXPECT_NE(a, c.first) << "the pool keeps its own copy of " << c.first;
  }
}

TEST(StringPool, SamePointerExactlyWhenTextsAreEqualIgnoringCase) {
  struct Case {
    std::string a;
    std::string b;
    bool same;
  } cases[] = {
      {"", "", true},
      {"/index.html", "/INDEX.HTML", true},
      {"/index.html", "/index.htm", false},
      {"/index.html", "/index.html ", false},
      {"A", "А", false},  // Latin A, Cyrillic А
      {"Ё", "Е", false},
      {"Ё", "ё", true},
      {"/STRASSE", "/straße", false},  // simple folding only
      {"/中文.html", "/文中.html", false},
      {"-", "", false},
      {"ab", std::string("ab\0cd", 5), true},   // a text ends at its first zero byte
      {std::string("\0x", 2), "", true},
  };
  for (const auto& c : cases) {
    StringPool pool;
    const char* pa = pool.Intern(c.a);
    const char* pb = pool.Intern(c.b);
    EXPECT_EQ(pa == pb, c.same) << "[" << c.a.c_str() << "] [" << c.b.c_str() << "]";
    EXPECT_EQ(pool.Count(), c.same ? 1u : 2u) << "[" << c.a.c_str() << "] [" << c.b.c_str() << "]";
  }
}

TEST(StringPool, StoresTheTextUpToItsFirstZeroByte) {
  StringPool pool;
  const char* p = pool.Intern(std::string_view("abc\0def", 7));
  EXPECT_STREQ(p, "abc");
  EXPECT_EQ(pool.Intern("ABC"), p);
}

TEST(StringPool, StoredCopiesNeverMoveOrChange) {
  StringPool pool;
  struct Kept {
    std::string text;
    const char* copy;
  };
  std::vector<Kept> kept;
  for (const char* t : {"-", "/", "/index.html", "Привет"}) kept.push_back({t, pool.Intern(t)});
  const std::string long_text(100000, 'x');  // longer than a storage block's quarter
  kept.push_back({long_text, pool.Intern(long_text)});

  constexpr int kTexts = 200000;
  std::vector<const char*> copies(kTexts);
  for (int i = 0; i < kTexts; ++i) {
    copies[i] = pool.Intern("/page/" + std::to_string(i) + "/АБ");
  }
  EXPECT_EQ(pool.Count(), kept.size() + kTexts);

  for (const auto& k : kept) {
    EXPECT_EQ(std::strcmp(k.copy, k.text.c_str()), 0) << k.text.substr(0, 20);
    EXPECT_EQ(pool.Intern(k.text), k.copy) << k.text.substr(0, 20);
  }
  int wrong = 0;
  for (int i = 0; i < kTexts; ++i) {
    const std::string text = "/page/" + std::to_string(i) + "/АБ";
    if (std::strcmp(copies[i], text.c_str()) != 0) ++wrong;
    // The same text in other letter case finds the same copy after all the growth.
    if (pool.Intern("/PAGE/" + std::to_string(i) + "/аб") != copies[i]) ++wrong;
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(pool.Count(), kept.size() + kTexts);
}

TEST(StringPool, MarksBelongToOneTextAndOutliveGrowth) {
  StringPool pool;
  const std::string very_long(200 * 1024, 'x');  // stored in a block of its own
  const char* texts[] = {pool.Intern(""), pool.Intern("a"), pool.Intern(very_long),
                         pool.Intern("b")};
  for (const char* t : texts) EXPECT_EQ(StringPool::Mark(t), 0u) << "a new text's mark";
  for (std::size_t i = 0; i < std::size(texts); ++i) {
    StringPool::SetMark(texts[i], static_cast<std::uint8_t>(i + 250));
  }
  for (int i = 0; i < 5000; ++i) pool.Intern("filler " + std::to_string(i));  // the table grows
  EXPECT_EQ(pool.Intern("A"), texts[1]);
  for (std::size_t i = 0; i < std::size(texts); ++i) {
    EXPECT_EQ(StringPool::Mark(texts[i]), i + 250) << "text " << i;
  }
  EXPECT_EQ(std::strlen(texts[2]), very_long.size()) << "the mark is not part of the text";
  EXPECT_STREQ(texts[1], "a");
}

}  // namespace
}  // namespace tw

namespace tw {
namespace {

// Repeats, other spellings and texts cut at a zero byte, one after another:
// the shortcut for a text just returned must give what a full look-up gives.
TEST(StringPool, RepeatedTextsGiveWhatAFullLookUpGives) {
  const std::string with_zero("/a\0b", 4);
  const std::string_view sequence[] = {"/News/", "/News/", "/news/", "/news/", "/NEWS/", "/News/",
                                       with_zero, "/a", with_zero, "", "", "/b", "/a"};
  StringPool pool;
  std::vector<const char*> got;
  for (const std::string_view text : sequence) got.push_back(pool.Intern(text));
  EXPECT_EQ(pool.Count(), 4u);  // "/News/", "/a", "", "/b"
  for (std::size_t i = 0; i < std::size(sequence); ++i) {
    StringPool fresh;  // the same texts, each looked up for the first time after the first
    for (std::size_t j = 0; j < i; ++j) fresh.Intern(sequence[j]);
    EXPECT_STREQ(got[i], fresh.Intern(sequence[i])) << i;
  }
  EXPECT_EQ(got[0], got[2]);
  EXPECT_STREQ(got[4], "/News/");
  EXPECT_EQ(got[6], got[7]);
  EXPECT_STREQ(got[8], "/a");
}

}  // namespace
}  // namespace tw

namespace tw {
namespace {

// Every pooled text, of either role and of any length, a long one in a block
// of its own included, can be named by a record's 32-bit ref and read back.
TEST(TextArena, EveryPooledTextRoundTripsThroughItsRef) {
  EXPECT_EQ(RefOfText(nullptr), 0u);
  EXPECT_EQ(TextOfRef(0), nullptr);
  for (const StringPool::Role role : {StringPool::Role::kShared, StringPool::Role::kChunk}) {
    StringPool pool(role);
    std::vector<std::string> texts;
    for (std::size_t length : {0, 1, 7, 8, 9, 63, 64, 65, 1000, 70000, 300000}) {
      texts.push_back(std::string(length, 'a') + std::to_string(length));
    }
    for (int i = 0; i < 20000; ++i) texts.push_back("/page/" + std::to_string(i));  // many blocks
    std::vector<const char*> pooled;
    for (const std::string& t : texts) pooled.push_back(pool.Intern(t));
    for (std::size_t i = 0; i < texts.size(); ++i) {
      ASSERT_TRUE(IsArenaText(pooled[i])) << i;
      const TextRef ref = RefOfText(pooled[i]);
      ASSERT_NE(ref, 0u);
      ASSERT_EQ(TextOfRef(ref), pooled[i]);
      ASSERT_EQ(std::string(TextOfRef(ref)), texts[i]);
    }
  }
}

TEST(TextArena, FreedBlocksAreReusedAndTooLargeOnesRefused) {
  const std::size_t in_use = TextArena::BytesInUse();
  char* first = TextArena::Allocate(256 * 1024);
  EXPECT_EQ(TextArena::BytesInUse(), in_use + 256 * 1024);
  std::memset(first, 'x', 256 * 1024);
  TextArena::Free(first, 256 * 1024);
  EXPECT_EQ(TextArena::BytesInUse(), in_use);
  char* again = TextArena::Allocate(256 * 1024);
  EXPECT_EQ(again, first);
  EXPECT_EQ(again[0], 0) << "freed pages come back empty";
  TextArena::Free(again, 256 * 1024);
  EXPECT_THROW(TextArena::Allocate(std::size_t{1} << 40), std::bad_alloc);
  {
    ArenaBlock block(100);
    EXPECT_TRUE(IsArenaText(block.Data()));
    ArenaBlock moved = std::move(block);
    EXPECT_EQ(block.Data(), nullptr);
  }
}

// Texts beyond ASCII are found again by their bytes once pooled; every
// spelling still meets the first, and a cleared chunk pool forgets them all.
TEST(StringPool, TextsBeyondAsciiGiveWhatTheirFirstSpellingGives) {
  const std::pair<const char*, const char*> spellings[] = {  // text, the spelling kept
      {"/Москва", "/Москва"}, {"/МОСКВА", "/Москва"}, {"/москва", "/Москва"},
      {"/ΣΑΣ", "/ΣΑΣ"},       {"/σας", "/ΣΑΣ"},       {"/σασ", "/ΣΑΣ"}};
  for (const auto role : {StringPool::Role::kShared, StringPool::Role::kChunk}) {
    StringPool pool(role);
    std::string scratch;
    for (int round = 0; round < 2; ++round) {
      for (const auto& [text, first] : spellings) {
        EXPECT_STREQ(pool.Intern(text), first) << text;
        EXPECT_STREQ(pool.InternUtf8(text, scratch), first) << text;
      }
      pool.Intern("/between");  // so that no lookup is the last text's again
      EXPECT_EQ(pool.Count(), 3u);
    }
    // Windows-1251 bytes meet the UTF-8 they stand for.
    EXPECT_STREQ(pool.InternUtf8("/\xCC\xCE\xD1\xCA\xC2\xC0", scratch), "/Москва");
    pool.Clear();
    EXPECT_EQ(pool.Count(), 0u);
    EXPECT_STREQ(pool.Intern("/МОСКВА"), "/МОСКВА");
  }
}

}  // namespace
}  // namespace tw
