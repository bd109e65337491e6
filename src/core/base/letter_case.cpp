#include "base/letter_case.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <array>
#include <cstring>

namespace tw {
namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
constexpr UChar32 kEnd = -1;
// A byte that starts no character reads as this plus the byte: past every code point.
constexpr UChar32 kStrayByte = 0x110000;

inline unsigned char LowerAscii(unsigned char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}

// Lower-cases eight ASCII bytes at once: 0x20 is added to exactly the bytes 'A'..'Z'.
// REQUIRES: no byte of `word` is 0x80 or above.
inline std::uint64_t LowerAsciiWord(std::uint64_t word) {
  const std::uint64_t above_z = word + 0x2525252525252525ULL;  // high bit set for bytes > 'Z'
  const std::uint64_t from_a = word + 0x3F3F3F3F3F3F3F3FULL;   // high bit set for bytes >= 'A'
  const std::uint64_t upper = (from_a ^ above_z) & kHighBits;
  return word | (upper >> 2);
}

// The character at `p` and its length: kStrayByte + byte and 1 for a byte that
// starts none. REQUIRES: p < end, *p >= 0x80.
inline UChar32 DecodeHigh(const unsigned char* p, const unsigned char* end, std::size_t* length) {
  // Latin, Greek and Cyrillic letters are two bytes: read them without the library.
  if (*p >= 0xC2 && *p <= 0xDF && end - p >= 2 && (p[1] & 0xC0) == 0x80) {
    *length = 2;
    return (*p & 0x1F) << 6 | (p[1] & 0x3F);
  }
  // One character at a time, so the library's 32-bit offsets hold in a text of any length.
  const auto window = static_cast<std::int32_t>(end - p < 4 ? end - p : 4);
  std::int32_t i = 0;
  UChar32 c = 0;
  U8_NEXT(p, i, window, c);
  if (c < 0) {
    *length = 1;
    return kStrayByte + *p;
  }
  *length = static_cast<std::size_t>(i);
  return c;
}

UChar32 FoldOne(UChar32 c) { return u_foldCase(c, U_FOLD_CASE_DEFAULT); }
UChar32 LowerOne(UChar32 c) { return u_tolower(c); }

// The mapping of every character below U+0800 (Latin, Greek, Cyrillic,
// Armenian, Hebrew, Arabic: most letters beyond ASCII that logs hold), asked
// of the library once. Every one maps into the Basic Multilingual Plane.
template <UChar32 (*Map)(UChar32)>
const std::array<char16_t, 0x800>& BelowU800() {
  static const std::array<char16_t, 0x800> table = [] {
    std::array<char16_t, 0x800> t{};
    for (UChar32 c = 0; c < 0x800; ++c) t[static_cast<std::size_t>(c)] = static_cast<char16_t>(Map(c));
    return t;
  }();
  return table;
}

// A character mapped, its table looked up once per text by the caller.
template <UChar32 (*Map)(UChar32)>
inline UChar32 Mapped(const std::array<char16_t, 0x800>& below, UChar32 c) {
  return c < 0x800 ? below[static_cast<std::size_t>(c)] : Map(c);
}

// Reads a text character by character, each folded.
class FoldedReader {
 public:
  explicit FoldedReader(std::string_view text)
      : p_(reinterpret_cast<const unsigned char*>(text.data())), end_(p_ + text.size()),
        below_(BelowU800<FoldOne>()) {}
  UChar32 Next() {
    if (p_ == end_) return kEnd;
    if (*p_ < 0x80) return LowerAscii(*p_++);
    std::size_t length = 0;
    const UChar32 c = DecodeHigh(p_, end_, &length);
    p_ += length;
    return c >= kStrayByte ? c : Mapped<FoldOne>(below_, c);
  }

 private:
  const unsigned char* p_;
  const unsigned char* end_;
  const std::array<char16_t, 0x800>& below_;
};

// Walks `text` and hands `put` the UTF-8 of each mapped character, or of eight
// ASCII bytes at once where it can: put(bytes, n), with eight bytes readable
// at `bytes` whatever n is.
template <UChar32 (*Map)(UChar32), typename Put>
[[gnu::always_inline]] inline void MapText(std::string_view text, Put&& put) {
  const std::array<char16_t, 0x800>& below = BelowU800<Map>();
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = p + text.size();
  unsigned char one[8] = {};
  while (p < end) {
    if (*p >= 0x80) {
      std::size_t length = 0;
      const UChar32 c = DecodeHigh(p, end, &length);
      std::int32_t n = 0;
      if (c >= kStrayByte) {
        one[n++] = *p;
      } else {
        U8_APPEND_UNSAFE(one, n, Mapped<Map>(below, c));
      }
      put(one, static_cast<std::size_t>(n));
      p += length;
      continue;
    }
    std::uint64_t word;
    if (end - p >= 8 && (std::memcpy(&word, p, 8), (word & kHighBits) == 0)) {
      word = LowerAsciiWord(word);
      put(reinterpret_cast<const unsigned char*>(&word), 8);
      p += 8;
    } else {
      one[0] = LowerAscii(*p++);
      put(one, 1);
    }
  }
}

template <UChar32 (*Map)(UChar32)>
void AppendMapped(std::string& out, std::string_view text) {
  const std::size_t start = out.size();
  // Mapped characters grow by half at most; eight bytes are written at a time.
  out.resize(start + text.size() * 2 + 8);
  char* write = out.data() + start;
  MapText<Map>(text, [&write](const unsigned char* bytes, std::size_t n) {
    std::memcpy(write, bytes, 8);
    write += n;
  });
  out.resize(static_cast<std::size_t>(write - out.data()));
}

inline std::uint64_t MixWord(std::uint64_t h, std::uint64_t word) {
  h = (h ^ word) * 0x100000001b3ULL;
  return h ^ (h >> 29);
}

// Eight bytes with their ASCII letters lowered. Bytes of 0x80 and above come
// out changed too, but always alike, so a text and its folding, which has no
// capitals, give the same words.
inline std::uint64_t LoweredWord(std::uint64_t word) {
  return LowerAsciiWord(word & ~kHighBits) | (word & kHighBits);
}

inline std::uint64_t LoadWord(const void* at) {
  std::uint64_t word;
  std::memcpy(&word, at, 8);
  return word;
}

constexpr std::uint64_t kLaneH = 0xcbf29ce484222325ULL;
constexpr std::uint64_t kLaneG = 0x84222325cbf29ce4ULL;

// The end of the hash of a text whose sixteen-byte blocks went into the lanes
// h and g: the last `rest` bytes (fewer than sixteen, at `tail`), the length
// and a final mix.
std::uint64_t FinishHash(std::uint64_t h, std::uint64_t g, const unsigned char* tail,
                         std::size_t rest, std::size_t length) {
  h ^= g * 0x9E3779B97F4A7C15ULL;
  std::size_t i = 0;
  if (rest >= 8) {
    h = MixWord(h, LoweredWord(LoadWord(tail)));
    i = 8;
  }
  for (; i < rest; ++i) h = (h ^ LowerAscii(tail[i])) * 0x100000001b3ULL;
  h = (h ^ length) * 0x100000001b3ULL;
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdULL;
  h ^= h >> 33;
  return h;
}

// Whether the last `rest` (< 16) bytes of a text of `length` at `text` are ASCII,
// the bytes before them known to be.
inline bool TailIsAscii(const unsigned char* text, std::size_t length, std::size_t rest) {
  if (length >= 8) {
    // Two words that may overlap cover the tail.
    const std::uint64_t seen =
        (rest > 8 ? LoadWord(text + length - rest) : 0) | LoadWord(text + length - 8);
    return (seen & kHighBits) == 0;
  }
  std::uint64_t seen = 0;
  for (std::size_t k = 0; k < length; ++k) seen |= text[k];
  return (seen & 0x80) == 0;
}

// FNV-1a over the bytes with their ASCII letters lowered (LoweredWord),
// sixteen at a time in two independent lanes (the multiplications of one lane
// need not wait for the other's), then FinishHash. For a text that is ASCII or
// already folded this is the hash of its folding. With `ascii_only` it
// returns false, having hashed nothing of use, at a byte of 0x80 or above.
template <bool ascii_only>
[[gnu::always_inline]] inline bool HashLowered(std::string_view text, std::uint64_t* hash) {
  const std::size_t n = text.size();
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  std::uint64_t h = kLaneH, g = kLaneG;
  std::size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    const std::uint64_t a = LoadWord(p + i), b = LoadWord(p + i + 8);
    if (ascii_only && ((a | b) & kHighBits) != 0) return false;
    h = MixWord(h, LoweredWord(a));
    g = MixWord(g, LoweredWord(b));
  }
  if (ascii_only && !TailIsAscii(p, n, n - i)) return false;
  *hash = FinishHash(h, g, p + i, n - i, n);
  return true;
}

}  // namespace

void AppendFolded(std::string& out, std::string_view text) { AppendMapped<FoldOne>(out, text); }

std::string FoldCase(std::string_view text) {
  std::string out;
  AppendFolded(out, text);
  return out;
}

void AppendLower(std::string& out, std::string_view text) { AppendMapped<LowerOne>(out, text); }

std::string ToLower(std::string_view text) {
  std::string out;
  AppendLower(out, text);
  return out;
}

void LowerAsciiInPlace(char* text, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    text[i] = static_cast<char>(LowerAscii(static_cast<unsigned char>(text[i])));
  }
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size()) == 0) return true;
  FoldedReader ra(a), rb(b);
  for (;;) {
    const UChar32 ca = ra.Next();
    if (ca != rb.Next()) return false;
    if (ca == kEnd) return true;
  }
}

bool HashNoCaseOfAscii(std::string_view text, std::uint64_t* hash) {
  return HashLowered<true>(text, hash);
}

std::uint64_t HashNoCase(std::string_view text) {
  std::uint64_t hash = 0;
  if (HashLowered<true>(text, &hash)) return hash;
  // Beyond ASCII the folding may change the length, so the folded text is
  // made and hashed.
  thread_local std::string folded;
  folded.clear();
  AppendFolded(folded, text);
  HashLowered<false>(folded, &hash);
  return hash;
}

int CompareNoCase(std::string_view a, std::string_view b) {
  FoldedReader ra(a), rb(b);
  for (;;) {
    const UChar32 ca = ra.Next();
    const UChar32 cb = rb.Next();
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == kEnd) return 0;
  }
}

}  // namespace tw
