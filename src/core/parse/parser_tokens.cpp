#include "parse/parser_tokens.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tw {
namespace {

inline bool IsSkippable(char c) {  // codes 1 to 32
  return static_cast<unsigned char>(static_cast<unsigned char>(c) - 1) < 32;
}

// The first character with a code from 0 to 32 in [p, end), or end. Eight bytes
// at a time: (x - 0x21...) & ~x & 0x80... marks the bytes below 0x21, and the
// lowest mark is exact because a borrow only starts at a marked byte.
const char* FindBreak(const char* p, const char* end) {
  if constexpr (std::endian::native == std::endian::little) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
    while (end - p >= 8) {
      std::uint64_t x;
      std::memcpy(&x, p, 8);
      const std::uint64_t marks = (x - kOnes * 0x21) & ~x & kHighs;
      if (marks != 0) return p + (std::countr_zero(marks) >> 3);
      p += 8;
    }
  }
  while (p<end&& static_cast<unsigned char>(*p)> 32) ++p;
  return p;
}

// The token that starts after the opening quote at `start`; folds doubled quotes
// in place. Returns where scanning goes on.
char* ReadQuoted(char* start, char* end, std::string_view* token) {
  auto* quote = static_cast<char*>(std::memchr(start, '"', static_cast<std::size_t>(end - start)));
  if (quote != nullptr && (quote + 1 == end || quote[1] != '"')) {  // the usual case: no "" inside
    *token = std::string_view(start, static_cast<std::size_t>(quote - start));
    return quote + 1;
  }
  char* write = quote != nullptr ? quote : end;
  char* read = write;
  bool closed = false;
  while (read < end) {
    if (*read == '"') {
      if (read + 1 < end && read[1] == '"') {
        *write++ = '"';
        read += 2;
        continue;
      }
      closed = true;
      ++read;
      break;
    }
    *write++ = *read++;
  }
  if (!closed && write > start) --write;  // the rest of the text without its last character
  *token = std::string_view(start, static_cast<std::size_t>(write - start));
  return read;
}

}  // namespace

std::size_t TokenizeInPlace(char* text, std::size_t length, std::string_view* tokens,
                            std::size_t capacity) {
  char* p = text;
  char* end = text + length;
  std::size_t count = 0;
  while (p < end && IsSkippable(*p)) ++p;
  while (p < end && count < capacity) {
    if (*p == '"') {
      p = ReadQuoted(p + 1, end, &tokens[count++]);
    } else {
      char* start = p;
      p += FindBreak(p, end) - p;
      tokens[count++] = std::string_view(start, static_cast<std::size_t>(p - start));
    }
    while (p < end && IsSkippable(*p)) ++p;
  }
  return count;
}

namespace {

// Copies `in` to `out` up to the first zero byte or backslash, and returns how
// many bytes come before it (n when there is none). May write up to n bytes.
// Sets *high when a byte it copies is 0x80 or above (or perhaps one of the few
// after them, which at worst sends an ASCII line down the slower road).
std::size_t CopyPlainRun(const char* in, std::size_t n, char* out, bool* high) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i backslash = _mm_set1_epi8('\\');
  __m128i all = zero;
  for (; i + 16 <= n; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), v);
    const int marks = _mm_movemask_epi8(
        _mm_or_si128(_mm_cmpeq_epi8(v, zero), _mm_cmpeq_epi8(v, backslash)));
    all = _mm_or_si128(all, v);
    if (marks != 0) {
      *high = _mm_movemask_epi8(all) != 0;
      return i + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(marks)));
    }
  }
#endif
  for (; i < n && in[i] != 0 && in[i] != '\\'; ++i) out[i] = in[i];
#if defined(__SSE2__)
  if (i >= 16) {  // the last sixteen bytes copied cover the tail
    all = _mm_or_si128(all, _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i - 16)));
    *high = _mm_movemask_epi8(all) != 0;
    return i;
  }
#endif
  unsigned seen = 0;
  for (std::size_t k = 0; k < i; ++k) seen |= static_cast<unsigned char>(in[k]);
  *high = (seen & 0x80u) != 0;
  return i;
}

bool AllAscii(const char* text, std::size_t n) {
  unsigned seen = 0;
  for (std::size_t i = 0; i < n; ++i) seen |= static_cast<unsigned char>(text[i]);
  return (seen & 0x80u) == 0;
}

}  // namespace

std::size_t CopyLineResolvingEscapes(std::string_view line, char* out, std::size_t* kept,
                                     bool* ascii) {
  bool high = false;
  const std::size_t plain = CopyPlainRun(line.data(), line.size(), out, &high);
  if (plain == line.size() || line[plain] == 0) {  // the usual line: no escape before its end
    *kept = plain;
    if (ascii != nullptr) *ascii = !high;
    return plain;
  }
  const void* nul = std::memchr(line.data() + plain, 0, line.size() - plain);
  *kept = nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - line.data())
                         : line.size();
  const std::size_t length = ResolveEscapes(line.substr(0, *kept), out);
  if (ascii != nullptr) *ascii = AllAscii(out, length);
  return length;
}

std::size_t ResolveEscapes(std::string_view line, char* out) {
  const char* in = line.data();
  const std::size_t n = line.size();
  const void* first = std::memchr(in, '\\', n);
  if (first == nullptr) {
    std::memcpy(out, in, n);
    return n;
  }
  std::size_t i = static_cast<std::size_t>(static_cast<const char*>(first) - in);
  std::memcpy(out, in, i);
  std::size_t o = i;
  while (i < n) {
    const char c = in[i];
    if (c == '\\' && i + 1 < n && (in[i + 1] == '\\' || in[i + 1] == '"')) {
      if (in[i + 1] == '\\') {
        out[o++] = '\\';
        out[o++] = '\\';
      } else {
        out[o++] = '\'';
      }
      i += 2;
    } else {
      out[o++] = c;
      ++i;
    }
  }
  return o;
}

}  // namespace tw
