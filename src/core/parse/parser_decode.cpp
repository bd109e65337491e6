#include "parse/parser_decode.h"

#include <array>
#include <cstring>

#include "base/cp1251.h"

namespace tw {
namespace {

constexpr std::array<signed char, 256> MakeHexTable() {
  std::array<signed char, 256> t{};
  for (auto& v : t) v = -1;
  for (int c = '0'; c <= '9'; ++c) t[c] = static_cast<signed char>(c - '0');
  for (int c = 'a'; c <= 'f'; ++c) t[c] = static_cast<signed char>(c - 'a' + 10);
  for (int c = 'A'; c <= 'F'; ++c) t[c] = static_cast<signed char>(c - 'A' + 10);
  return t;
}
constexpr std::array<signed char, 256> kHex = MakeHexTable();

inline int HexValue(char c) { return kHex[static_cast<unsigned char>(c)]; }

// Length of the UTF-8 sequence a lead byte starts, or 0 for a byte that starts none.
inline int SequenceLength(unsigned char b) {
  if (b < 0x80) return 1;
  if ((b & 0xE0) == 0xC0) return 2;
  if ((b & 0xF0) == 0xE0) return 3;
  if ((b & 0xF8) == 0xF0) return 4;
  return 0;
}

// Converts the UTF-8 text in [begin, end) to Windows-1251 in place; returns the
// new end. REQUIRES: IsUtf8 holds for the range.
char* Utf8ToCp1251InPlace(char* begin, char* end) {
  char* write = begin;
  for (char* read = begin; read < end;) {
    const auto b = static_cast<unsigned char>(*read);
    const int length = SequenceLength(b);
    if (length == 1) {
      *write++ = *read++;
      continue;
    }
    if (length == 2) {  // the Russian alphabet, U+0410 to U+044F, directly
      const unsigned cp = (b & 0x1Fu) << 6 | (static_cast<unsigned char>(read[1]) & 0x3Fu);
      if (cp >= 0x410 && cp <= 0x44F) {
        *write++ = static_cast<char>(cp - 0x410 + 0xC0);
        read += 2;
        continue;
      }
    }
    // One well-formed sequence gives exactly one character; read before written.
    char one[4];
    const std::size_t n = Utf8ToCp1251(std::string_view(read, static_cast<std::size_t>(length)), one);
    *write++ = n == 0 ? '?' : one[0];
    read += length;
  }
  return write;
}

}  // namespace

bool IsUtf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  while (p < end && *p != 0) {
    const int length = SequenceLength(*p);
    if (length == 0 || end - p < length) return false;
    for (int k = 1; k < length; ++k) {
      if ((p[k] & 0xC0) != 0x80) return false;
    }
    p += length;
  }
  return true;
}

std::string_view DecodeUrl(std::string_view text, std::string& scratch) {
  if (const void* nul = std::memchr(text.data(), 0, text.size())) {
    text = text.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()));
  }
  const char* p = text.data();
  const char* end = p + text.size();
  const auto* percent = static_cast<const char*>(std::memchr(p, '%', text.size()));
  if (percent == nullptr) return text;

  // The result is never longer than the text: three characters give one byte,
  // and UTF-8 shrinks into the code page.
  if (scratch.size() < text.size()) scratch.resize(text.size());
  char* out = scratch.data();
  std::memcpy(out, p, static_cast<std::size_t>(percent - p));
  out += percent - p;
  p = percent;
  while (p < end) {
    if (*p != '%') {
      const auto* next =
          static_cast<const char*>(std::memchr(p, '%', static_cast<std::size_t>(end - p)));
      if (next == nullptr) next = end;
      std::memcpy(out, p, static_cast<std::size_t>(next - p));
      out += next - p;
      p = next;
      continue;
    }
    char* run = out;
    bool high = false;
    while (end - p >= 3 && p[0] == '%' && HexValue(p[1]) >= 0 && HexValue(p[2]) >= 0) {
      const auto byte = static_cast<unsigned char>(HexValue(p[1]) << 4 | HexValue(p[2]));
      high |= byte >= 0x80;
      *out++ = static_cast<char>(byte);
      p += 3;
    }
    if (out == run) {  // a '%' without two hex digits stays
      *out++ = *p++;
      continue;
    }
    // The result ends at its first zero byte.
    const auto* zero =
        static_cast<const char*>(std::memchr(run, 0, static_cast<std::size_t>(out - run)));
    if (zero != nullptr) out = run + (zero - run);
    if (high && IsUtf8(std::string_view(run, static_cast<std::size_t>(out - run)))) {
      out = Utf8ToCp1251InPlace(run, out);
    }
    if (zero != nullptr) break;
  }
  return std::string_view(scratch.data(), static_cast<std::size_t>(out - scratch.data()));
}

std::string DecodeUrl(std::string_view text) {
  std::string scratch;
  return std::string(DecodeUrl(text, scratch));
}

}  // namespace tw
