#include "parse/parser_fields.h"

#include "base/number_scan.h"

namespace tw {
namespace {

using scan::Expect;
using scan::IsDigit;
using scan::IsSpace;
using scan::ScanInt;

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
