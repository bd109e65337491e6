#include "base/utf8.h"

#include <unicode/utf8.h>

#include <cstdint>
#include <cstring>

#include "base/cp1251.h"

namespace tw {
namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

// Length of the well-formed character at `p`, or 0 when none starts there.
// REQUIRES: p < end.
inline std::size_t CharacterLength(const unsigned char* p, const unsigned char* end) {
  if (*p < 0x80) return 1;
  // Latin, Greek and Cyrillic letters are two bytes, C2..DF and 80..BF: told
  // without the library.
  if (*p >= 0xC2 && *p <= 0xDF) return end - p >= 2 && (p[1] & 0xC0) == 0x80 ? 2 : 0;
  // Never more than one character is read, so a window of four bytes keeps the
  // library's 32-bit offsets safe in a text of any length.
  const auto window = static_cast<std::int32_t>(end - p < 4 ? end - p : 4);
  std::int32_t i = 0;
  UChar32 c = 0;
  U8_NEXT(p, i, window, c);
  return c < 0 ? 0 : static_cast<std::size_t>(i);
}

}  // namespace

bool IsUtf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* end = p + bytes.size();
  while (p < end) {
    if (*p < 0x80) {
      // Most texts are ASCII: eight bytes at a time until a high bit shows.
      std::uint64_t word;
      if (end - p >= 8 && (std::memcpy(&word, p, 8), (word & kHighBits) == 0)) {
        p += 8;
      } else {
        ++p;
      }
      continue;
    }
    const std::size_t length = CharacterLength(p, end);
    if (length == 0) return false;
    p += length;
  }
  return true;
}

bool IsAscii(std::string_view bytes) {
  const char* p = bytes.data();
  const char* end = p + bytes.size();
  std::uint64_t high = 0;
  for (; end - p >= 8; p += 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    high |= word;
  }
  for (; p < end; ++p) high |= static_cast<unsigned char>(*p);
  return (high & kHighBits) == 0;
}

std::string_view AsUtf8(std::string_view bytes, std::string& scratch) {
  if (IsUtf8(bytes)) return bytes;
  // Every byte of the code page takes at most three in UTF-8.
  if (scratch.size() < bytes.size() * 3) scratch.resize(bytes.size() * 3);
  return std::string_view(scratch.data(), Cp1251ToUtf8(bytes, scratch.data()));
}

std::string AsUtf8(std::string_view bytes) {
  std::string scratch;
  return std::string(AsUtf8(bytes, scratch));
}

std::size_t Utf8PrefixLength(std::string_view text, std::size_t count) {
  if (text.size() <= count) return text.size();  // no character is shorter than a byte
  const auto* begin = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = begin + text.size();
  const unsigned char* p = begin;
  for (; count > 0 && p < end; --count) {
    const std::size_t length = CharacterLength(p, end);
    p += length == 0 ? 1 : length;
  }
  return static_cast<std::size_t>(p - begin);
}

}  // namespace tw
