#include "analysis/period.h"

#include <charconv>

#include "base/text_format.h"

namespace tw {

std::int64_t DayNumber(const CalendarDate& date) {
  int y = date.Year - (date.Month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = static_cast<int>(y - era * 400);
  const int doy = (153 * (date.Month + (date.Month > 2 ? -3 : 9)) + 2) / 5 + date.Day - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

CalendarDate DateOfDayNumber(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int doe = static_cast<int>(z - era * 146097);
  const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int mp = (5 * doy + 2) / 153;
  const int d = doy - (153 * mp + 2) / 5 + 1;
  const int m = mp + (mp < 10 ? 3 : -9);
  return CalendarDate{static_cast<int>(yoe + era * 400) + (m <= 2 ? 1 : 0), m, d};
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return kDays[month] + (month == 2 && leap ? 1 : 0);
}

bool IsValidDate(const CalendarDate& date) {
  return date.Day >= 1 && date.Day <= DaysInMonth(date.Year, date.Month);
}

int CompareDates(const CalendarDate& a, const CalendarDate& b) {
  if (a.Year != b.Year) return a.Year < b.Year ? -1 : 1;
  if (a.Month != b.Month) return a.Month < b.Month ? -1 : 1;
  if (a.Day != b.Day) return a.Day < b.Day ? -1 : 1;
  return 0;
}

Period MonthPeriod(int year, int month) {
  return Period{CalendarDate{year, month, 1}, CalendarDate{year, month, DaysInMonth(year, month)}};
}

Period EmptyLogPeriod() { return MonthPeriod(2008, 1); }

int PeriodDayCount(const Period& period) {
  const std::int64_t days = DayNumber(period.Last) - DayNumber(period.First) + 1;
  return days > 0 ? static_cast<int>(days) : 0;
}

CalendarDate PeriodDay(const Period& period, int index) {
  return DateOfDayNumber(DayNumber(period.First) + index);
}

int PeriodDayIndex(const Period& period, LogTime t) {
  if (!IsCalendarDate(t)) return -1;
  const CalendarDate date{LogYear(t), LogMonth(t), LogDay(t)};
  if (CompareDates(date, period.First) < 0 || CompareDates(date, period.Last) > 0) return -1;
  return static_cast<int>(DayNumber(date) - DayNumber(period.First));
}

PeriodDays::PeriodDays(const Period& period) : index_(std::size_t{kDateMask} + 1) {
  for (LogTime date = 0; date <= kDateMask; ++date) index_[date] = PeriodDayIndex(period, date);
}

Period ClipPeriod(const Period& period, const CalendarDate& earliest, const CalendarDate& latest) {
  Period clipped = period;
  if (CompareDates(clipped.First, earliest) < 0) clipped.First = earliest;
  if (CompareDates(clipped.Last, latest) > 0) clipped.Last = latest;
  return clipped;
}

std::string FormatPeriod(const Period& period) {
  return FormatText("%2.2d.%2.2d.%4d - %2.2d.%2.2d.%4d",
                    {period.First.Day, period.First.Month, period.First.Year, period.Last.Day,
                     period.Last.Month, period.Last.Year});
}

namespace {

// Exactly `digits` decimal digits.
bool ReadDigits(std::string_view text, std::size_t digits, int* value) {
  if (text.size() != digits) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  std::from_chars(text.data(), text.data() + text.size(), *value);
  return true;
}

}  // namespace

bool ParseIsoMonth(std::string_view text, int* year, int* month) {
  if (text.size() != 7 || text[4] != '-') return false;
  int y = 0, m = 0;
  if (!ReadDigits(text.substr(0, 4), 4, &y) || !ReadDigits(text.substr(5, 2), 2, &m)) return false;
  if (m < 1 || m > 12) return false;
  *year = y;
  *month = m;
  return true;
}

bool ParseIsoDate(std::string_view text, CalendarDate* date) {
  if (text.size() != 10 || text[7] != '-') return false;
  CalendarDate d;
  if (!ParseIsoMonth(text.substr(0, 7), &d.Year, &d.Month)) return false;
  if (!ReadDigits(text.substr(8, 2), 2, &d.Day) || !IsValidDate(d)) return false;
  *date = d;
  return true;
}

}  // namespace tw
