#include "log/record.h"

#include <cstdio>

namespace tw {

LogTime PackLogTime(const LogTimeFields& f) {
  return static_cast<LogTime>(f.Day & 0x1F) | static_cast<LogTime>(f.Month & 0x0F) << 5 |
         static_cast<LogTime>((f.Year - 1970) & 0x3F) << 9 |
         static_cast<LogTime>(f.Hour & 0x1F) << 15 | static_cast<LogTime>(f.Minute & 0x3F) << 20 |
         static_cast<LogTime>(f.Second & 0x3F) << 26;
}

LogTimeFields UnpackLogTime(LogTime t) {
  return {LogDay(t), LogMonth(t), LogYear(t), LogHour(t), LogMinute(t), LogSecond(t)};
}

int CompareLogTime(LogTime a, LogTime b) {
  // Rearranged so that the most significant field sits highest: one compare.
  auto key = [](LogTime t) {
    return static_cast<std::uint32_t>(LogYear(t) - 1970) << 26 |
           static_cast<std::uint32_t>(LogMonth(t)) << 22 |
           static_cast<std::uint32_t>(LogDay(t)) << 17 |
           static_cast<std::uint32_t>(LogHour(t)) << 12 |
           static_cast<std::uint32_t>(LogMinute(t)) << 6 | static_cast<std::uint32_t>(LogSecond(t));
  };
  const std::uint32_t ka = key(a), kb = key(b);
  return ka < kb ? -1 : (ka > kb ? 1 : 0);
}

namespace {
bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }
}  // namespace

bool IsCalendarDate(LogTime t) {
  static constexpr int kDays[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const int month = LogMonth(t), day = LogDay(t), year = LogYear(t);
  if (month < 1 || month > 12 || day < 1) return false;
  const int days = kDays[month] + (month == 2 && IsLeapYear(year) ? 1 : 0);
  return day <= days;
}

int DayOfWeek(LogTime t) {
  // Sakamoto's method for the Gregorian calendar.
  static constexpr int kOffsets[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  int y = LogYear(t);
  const int m = LogMonth(t), d = LogDay(t);
  if (m < 3) y -= 1;
  return (y + y / 4 - y / 100 + y / 400 + kOffsets[m - 1] + d) % 7;
}

std::string FormatIp(std::uint32_t ip) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%u.%u.%u.%u", ip >> 24, (ip >> 16) & 255, (ip >> 8) & 255,
                ip & 255);
  return buf;
}

std::string FormatLogTime(LogTime t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%04d:%02d:%02d:%02d", LogDay(t), LogMonth(t),
                LogYear(t), LogHour(t), LogMinute(t), LogSecond(t));
  return buf;
}

int CompareTextBytes(const char* a, const char* b) {
  const auto* x = reinterpret_cast<const unsigned char*>(a);
  const auto* y = reinterpret_cast<const unsigned char*>(b);
  while (*x != 0 && *x == *y) ++x, ++y;
  return static_cast<int>(*x) - static_cast<int>(*y);
}

}  // namespace tw
