#pragma once

// Reading numbers the way the C library's "%d" scan does, shared by the readers
// of addresses and of log fields. Inline: the parser calls these per field.

#include <cstddef>

namespace tw::scan {

inline bool IsSpace(char c) {  // white space of the C locale
  return c == ' ' || (c >= '\t' && c <= '\r');
}
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Reads one number as "%<width>d" does at p: white space skipped without counting,
// then at most `width` characters of sign and digits. Values beyond kCap stay
// at kCap, which is out of every range checked here. Moves p past what was read.
inline constexpr int kCap = 1000000;
inline bool ScanInt(const char*& p, const char* end, std::size_t width, int* value) {
  const char* q = p;
  if (q < end && IsDigit(*q)) {  // the usual case: plain digits
    int v = *q++ - '0';
    while (q < end && IsDigit(*q) && static_cast<std::size_t>(q - p) < width) {
      v = v * 10 + (*q++ - '0');
      if (v > kCap) v = kCap;
    }
    p = q;
    *value = v;
    return true;
  }
  while (q < end && IsSpace(*q)) ++q;
  const char* limit = static_cast<std::size_t>(end - q) > width ? q + width : end;
  bool negative = false;
  if (q < limit && (*q == '+' || *q == '-')) {
    negative = *q == '-';
    ++q;
  }
  if (q >= limit || !IsDigit(*q)) return false;
  int v = 0;
  while (q < limit && IsDigit(*q)) {
    v = v * 10 + (*q - '0');
    if (v > kCap) v = kCap;
    ++q;
  }
  p = q;
  *value = negative ? -v : v;
  return true;
}

inline bool Expect(const char*& p, const char* end, char c) {
  if (p >= end || *p != c) return false;
  ++p;
  return true;
}

}  // namespace tw::scan
