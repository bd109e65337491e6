#include "base/cp1251.h"

#include <array>
#include <cstring>

namespace tw {
namespace {

// Unicode code point of every byte from 0x80 up; 0 marks the unassigned 0x98.
constexpr char16_t kHighHalf[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8
};

constexpr std::array<unsigned char, 256> MakeLowerTable() {
  std::array<unsigned char, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = static_cast<unsigned char>(i);
  for (int c = 'A'; c <= 'Z'; ++c) t[c] = static_cast<unsigned char>(c + 32);
  for (int c = 0xC0; c <= 0xDF; ++c) t[c] = static_cast<unsigned char>(c + 32);
  // Upper-case letters outside the main block, each with its small letter.
  constexpr unsigned char pairs[][2] = {
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
  for (const auto& p : pairs) t[p[0]] = p[1];
  return t;
}


// Reverse of kHighHalf for the code points U+0400..U+04FF and the few others.
unsigned char UnicodeToCp1251(char32_t cp) {
  if (cp < 0x80) return static_cast<unsigned char>(cp);
  if (cp >= 0x0410 && cp <= 0x044F) return static_cast<unsigned char>(cp - 0x0410 + 0xC0);
  for (int i = 0; i < 64; ++i) {  // 0x80..0xBF: the irregular part of the page
    if (kHighHalf[i] == cp && cp != 0) return static_cast<unsigned char>(0x80 + i);
  }
  return '?';
}

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

// Lower-cases eight ASCII bytes at once: 0x20 is added to exactly the bytes 'A'..'Z'.
// REQUIRES: no byte of `word` is 0x80 or above.
std::uint64_t LowerAsciiWord(std::uint64_t word) {
  const std::uint64_t above_z = word + 0x2525252525252525ULL;  // high bit set for bytes > 'Z'
  const std::uint64_t from_a = word + 0x3F3F3F3F3F3F3F3FULL;   // high bit set for bytes >= 'A'
  const std::uint64_t upper = (from_a ^ above_z) & kHighBits;
  return word | (upper >> 2);
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

namespace detail {
constinit const std::array<unsigned char, 256> kLowerTable = MakeLowerTable();
}  // namespace detail

void LowerInPlace(char* text, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    text[i] = static_cast<char>(LowerCp1251(static_cast<unsigned char>(text[i])));
  }
}

std::string ToLowerCp1251(std::string_view text) {
  std::string out(text);
  LowerInPlace(out.data(), out.size());
  return out;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerCp1251(static_cast<unsigned char>(a[i])) != LowerCp1251(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

namespace {

// Eight bytes of `text` from `at`, folded.
std::uint64_t FoldedWord(const char* at) {
  std::uint64_t word;
  std::memcpy(&word, at, 8);
  if ((word & kHighBits) == 0) return LowerAsciiWord(word);
  word = 0;
  for (int k = 0; k < 8; ++k) {
    word |= static_cast<std::uint64_t>(LowerCp1251(static_cast<unsigned char>(at[k]))) << (8 * k);
  }
  return word;
}

std::uint64_t MixWord(std::uint64_t h, std::uint64_t word) {
  h = (h ^ word) * 0x100000001b3ULL;
  return h ^ (h >> 29);
}

}  // namespace

std::uint64_t HashNoCase(std::string_view text) {
  // FNV-1a over folded bytes, sixteen at a time in two independent lanes where
  // possible (the multiplications of one lane need not wait for the other's),
  // then eight, then one, and a final mix.
  const std::size_t n = text.size();
  std::uint64_t h = 0xcbf29ce484222325ULL ^ n;
  std::uint64_t g = 0x84222325cbf29ce4ULL;
  std::size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    h = MixWord(h, FoldedWord(text.data() + i));
    g = MixWord(g, FoldedWord(text.data() + i + 8));
  }
  h ^= g * 0x9E3779B97F4A7C15ULL;
  if (i + 8 <= n) {
    h = MixWord(h, FoldedWord(text.data() + i));
    i += 8;
  }
  for (; i < n; ++i) {
    h = (h ^ LowerCp1251(static_cast<unsigned char>(text[i]))) * 0x100000001b3ULL;
  }
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdULL;
  h ^= h >> 33;
  return h;
}

std::size_t Utf8ToCp1251(std::string_view utf8, char* out) {
  std::size_t written = 0;
  const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
  const std::size_t n = utf8.size();
  std::size_t i = 0;
  while (i < n) {
    const unsigned char b = s[i];
    if (b < 0x80) {
      out[written++] = (static_cast<char>(b));
      ++i;
      continue;
    }
    int extra = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((b & 0xE0) == 0xC0) {
      extra = 1, cp = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      extra = 2, cp = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      extra = 3, cp = b & 0x07, min = 0x10000;
    } else {
      out[written++] = ('?');  // a stray continuation byte or an invalid lead byte
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    bool ok = true;
    for (int k = 0; k < extra; ++k, ++j) {
      if (j >= n || (s[j] & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (s[j] & 0x3F);
    }
    if (!ok || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out[written++] = ('?');
    } else {
      out[written++] = (static_cast<char>(UnicodeToCp1251(cp)));
    }
    i = j;
  }
  return written;
}

std::string Utf8ToCp1251(std::string_view utf8) {
  std::string out(utf8.size(), '\0');
  out.resize(Utf8ToCp1251(utf8, out.data()));
  return out;
}

std::string Cp1251ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      out.push_back(ch);
    } else {
      const char32_t cp = kHighHalf[c - 0x80];
      AppendUtf8(out, cp == 0 ? U'\uFFFD' : cp);
    }
  }
  return out;
}

}  // namespace tw
