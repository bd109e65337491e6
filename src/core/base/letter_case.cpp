#include "base/letter_case.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

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

UChar32 Fold(UChar32 c) { return u_foldCase(c, U_FOLD_CASE_DEFAULT); }
UChar32 Lower(UChar32 c) { return u_tolower(c); }

// Reads a text character by character, each folded.
class FoldedReader {
 public:
  explicit FoldedReader(std::string_view text)
      : p_(reinterpret_cast<const unsigned char*>(text.data())), end_(p_ + text.size()) {}
  UChar32 Next() {
    if (p_ == end_) return kEnd;
    if (*p_ < 0x80) return LowerAscii(*p_++);
    std::size_t length = 0;
    const UChar32 c = DecodeHigh(p_, end_, &length);
    p_ += length;
    return c >= kStrayByte ? c : Fold(c);
  }

 private:
  const unsigned char* p_;
  const unsigned char* end_;
};

template <UChar32 (*Map)(UChar32)>
void AppendMapped(std::string& out, std::string_view text) {
  const std::size_t start = out.size();
  out.resize(start + text.size() * 2);  // mapped characters grow by half at most
  auto* write = reinterpret_cast<unsigned char*>(out.data() + start);
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = p + text.size();
  while (p < end) {
    if (*p < 0x80) {
      *write++ = LowerAscii(*p++);
      continue;
    }
    std::size_t length = 0;
    const UChar32 c = DecodeHigh(p, end, &length);
    if (c >= kStrayByte) {
      *write++ = *p;
    } else {
      std::int32_t n = 0;
      U8_APPEND_UNSAFE(write, n, Map(c));
      write += n;
    }
    p += length;
  }
  out.resize(static_cast<std::size_t>(reinterpret_cast<char*>(write) - out.data()));
}

inline std::uint64_t MixWord(std::uint64_t h, std::uint64_t word) {
  h = (h ^ word) * 0x100000001b3ULL;
  return h ^ (h >> 29);
}

// Eight bytes from `at`, their ASCII letters lowered. A word with a byte of
// 0x80 or above comes back as it is, and *high is set.
inline std::uint64_t LoweredWord(const char* at, bool* high) {
  std::uint64_t word;
  std::memcpy(&word, at, 8);
  if ((word & kHighBits) == 0) return LowerAsciiWord(word);
  *high = true;
  return word;
}

// FNV-1a over the bytes with their ASCII letters lowered, sixteen at a time in
// two independent lanes where possible (the multiplications of one lane need
// not wait for the other's), then eight, then one, and a final mix. For a text
// that is ASCII or already folded this is the hash of its folding; *high says
// whether the text had any byte of 0x80 or above.
std::uint64_t HashLowered(std::string_view text, bool* high) {
  const std::size_t n = text.size();
  std::uint64_t h = 0xcbf29ce484222325ULL ^ n;
  std::uint64_t g = 0x84222325cbf29ce4ULL;
  std::size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    h = MixWord(h, LoweredWord(text.data() + i, high));
    g = MixWord(g, LoweredWord(text.data() + i + 8, high));
  }
  h ^= g * 0x9E3779B97F4A7C15ULL;
  if (i + 8 <= n) {
    h = MixWord(h, LoweredWord(text.data() + i, high));
    i += 8;
  }
  for (; i < n; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    *high |= c >= 0x80;
    h = (h ^ LowerAscii(c)) * 0x100000001b3ULL;
  }
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdULL;
  h ^= h >> 33;
  return h;
}

}  // namespace

void AppendFolded(std::string& out, std::string_view text) { AppendMapped<Fold>(out, text); }

std::string FoldCase(std::string_view text) {
  std::string out;
  AppendFolded(out, text);
  return out;
}

void AppendLower(std::string& out, std::string_view text) { AppendMapped<Lower>(out, text); }

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

std::uint64_t HashNoCase(std::string_view text) {
  bool high = false;
  const std::uint64_t h = HashLowered(text, &high);
  if (!high) return h;
  // Beyond ASCII the folding may change the length, so the folded text is
  // made and hashed; its ASCII letters are lower case already.
  thread_local std::string folded;
  folded.clear();
  AppendFolded(folded, text);
  return HashLowered(folded, &high);
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
