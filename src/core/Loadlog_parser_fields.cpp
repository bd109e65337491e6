#include "Loadlog_parser_fields.h"

namespace tw {
namespace {

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
constexpr int kCap = 1000000;
bool ScanInt(const char*& p, const char* end, std::size_t width, int* value) {
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

bool Expect(const char*& p, const char* end, char c) {
  if (p >= end || *p != c) return false;
  ++p;
  return true;
}

// A dotted quad of decimal octets with no leading zeros, as the last 32 bits of
// an IPv6 address.
bool IsDottedQuad(std::string_view text) {
  std::size_t i = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0 && (i >= text.size() || text[i++] != '.')) return false;
    const std::size_t start = i;
    int v = 0;
    while (i < text.size() && IsDigit(text[i]) && i - start < 3) v = v * 10 + (text[i++] - '0');
    if (i == start || v > 255 || (i - start > 1 && text[start] == '0')) return false;
  }
  return i == text.size();
}

constexpr char kMonths[12][4] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Month 1 to 12 of a three-letter abbreviation, or 0.
int MonthNumber(const char* m) {
  for (int i = 0; i < 12; ++i) {
    if (m[0] == kMonths[i][0] && m[1] == kMonths[i][1] && m[2] == kMonths[i][2]) return i + 1;
  }
  return 0;
}

inline int Two(const char* p) { return (p[0] - '0') * 10 + (p[1] - '0'); }

// The time as every server writes it, "[dd/Mon/yyyy:hh:mm:ss", read without the
// general scan; gives the same fields the scan would.
bool ReadFixedTime(std::string_view text, LogTimeFields* f) {
  if (text.size() < 21) return false;
  const char* t = text.data();
  static constexpr int kDigits[] = {1, 2, 8, 9, 10, 11, 13, 14, 16, 17, 19, 20};
  for (int i : kDigits) {
    if (!IsDigit(t[i])) return false;
  }
  if (t[0] != '[' || t[3] != '/' || t[7] != '/' || t[12] != ':' || t[15] != ':' || t[18] != ':') {
    return false;
  }
  f->Day = Two(t + 1);
  f->Year = Two(t + 8) * 100 + Two(t + 10);
  f->Hour = Two(t + 13);
  f->Minute = Two(t + 16);
  f->Second = Two(t + 19);
  return true;
}

}  // namespace

int ParseIp(std::string_view text, std::uint32_t* ip) {
  const char* p = text.data();
  const char* end = p + text.size();
  int octets[4] = {0, 0, 0, 0};
  for (int i = 0; i < 4; ++i) {
    if (i > 0 && !Expect(p, end, '.')) break;
    if (!ScanInt(p, end, static_cast<std::size_t>(-1), &octets[i])) break;
  }
  std::uint32_t result = 0;
  for (int octet : octets) {
    if (static_cast<unsigned>(octet) >= 256) return -1;
    result = result << 8 | static_cast<std::uint32_t>(octet);
  }
  *ip = result;
  return 0;
}

int ParseIp(const char* text, std::uint32_t* ip) {
  if (text == nullptr) return -1;
  return ParseIp(std::string_view(text), ip);
}

bool IsIpv6Address(std::string_view text) {
  const std::size_t n = text.size();
  if (n < 2) return false;
  std::size_t i = 0;
  int bytes = 0;
  bool gap = false;  // "::" seen
  if (text[0] == ':') {
    if (text[1] != ':') return false;
    gap = true;
    i = 2;
    if (i == n) return true;
  }
  for (;;) {
    const std::size_t start = i;
    while (i < n && IsHexDigit(text[i]) && i - start < 5) ++i;
    if (i < n && text[i] == '.') {  // an IPv4 tail ends the address
      if (!IsDottedQuad(text.substr(start))) return false;
      bytes += 4;
      break;
    }
    if (i == start || i - start > 4) return false;
    bytes += 2;
    if (bytes > 16) return false;
    if (i == n) break;
    if (text[i] != ':') return false;
    if (++i == n) return false;  // a single ':' at the end
    if (text[i] == ':') {
      if (gap) return false;
      gap = true;
      if (++i == n) break;
    }
  }
  return gap ? bytes <= 14 : bytes == 16;
}

int ParseLogTime(std::string_view text, LogTime* time) {
  LogTimeFields f;
  const char* month = text.data() + 4;
  if (!ReadFixedTime(text, &f)) {
    const char* p = text.data();
    const char* end = p + text.size();
    if (!Expect(p, end, '[') || !ScanInt(p, end, 2, &f.Day) || !Expect(p, end, '/')) return -1;
    if (end - p < 3) return -1;
    month = p;
    p += 3;
    if (!Expect(p, end, '/') || !ScanInt(p, end, 4, &f.Year) || !Expect(p, end, ':') ||
        !ScanInt(p, end, 2, &f.Hour) || !Expect(p, end, ':') || !ScanInt(p, end, 2, &f.Minute) ||
        !Expect(p, end, ':') || !ScanInt(p, end, 2, &f.Second)) {
      return -1;
    }
  }
  if (f.Day < 0 || f.Day > 31 || f.Year < 1970 || f.Year > 2032 || f.Hour < 0 || f.Hour > 23 ||
      f.Minute < 0 || f.Minute > 59 || f.Second < 0 || f.Second > 59) {
    return -1;
  }
  f.Month = MonthNumber(month);
  if (f.Month == 0) return -1;
  *time = PackLogTime(f);
  return 0;
}

bool ParseLogNumber(std::string_view token, std::int32_t* value) {
  if (token.empty()) {
    *value = 0;
    return true;
  }
  const char* p = token.data();
  const char* end = p + token.size();
  while (p < end && IsSpace(*p)) ++p;
  bool negative = false;
  if (p < end && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  if (p == end) return false;
  std::int64_t v = 0;
  for (; p < end; ++p) {
    if (!IsDigit(*p)) return false;
    if (v <= INT32_MAX + std::int64_t{1}) v = v * 10 + (*p - '0');
  }
  if (negative) v = -v;
  if (v > INT32_MAX) v = INT32_MAX;
  if (v < INT32_MIN) v = INT32_MIN;
  *value = static_cast<std::int32_t>(v);
  return true;
}

}  // namespace tw
