#pragma once

// The analysed period: the calendar days from First to Last, both included.
// A record lies in the period when its date is a calendar date between them;
// a record dated day 0 or 31 April lies in no period.
//
//   MonthPeriod(2013, 2)  ->  01.02.2013 - 28.02.2013, 28 days
//   {30.12.2012, 02.01.2013}: 4 days; 31.12.2012 is day index 1

#include <cstdint>
#include <string>
#include <vector>
#include <string_view>

#include "base/calendar_date.h"
#include "log/record.h"

namespace tw {

struct Period {
  CalendarDate First;
  CalendarDate Last;
  friend bool operator==(const Period&, const Period&) = default;
};

// Days since 1970-01-01 of a Gregorian date, and back.
std::int64_t DayNumber(const CalendarDate& date);
CalendarDate DateOfDayNumber(std::int64_t days);
bool IsValidDate(const CalendarDate& date);
int DaysInMonth(int year, int month);
// Chronological order: negative, 0 or positive.
int CompareDates(const CalendarDate& a, const CalendarDate& b);

// The whole calendar month. REQUIRES: month 1-12.
Period MonthPeriod(int year, int month);
// The period without a log: January 2008.
Period EmptyLogPeriod();

// Days of the period; 0 when Last lies before First.
int PeriodDayCount(const Period& period);
// The date of day `index` (0 is First).
CalendarDate PeriodDay(const Period& period, int index);
// The index of the record's day in the period, or -1 when it lies outside.
int PeriodDayIndex(const Period& period, LogTime t);
inline bool PeriodContains(const Period& period, LogTime t) {
  return PeriodDayIndex(period, t) >= 0;
}

// PeriodDayIndex for many records: the answer for every possible date is
// worked out once, so each record costs one look-up of its date bits.
class PeriodDays {
 public:
  explicit PeriodDays(const Period& period);
  int IndexOf(LogTime t) const { return index_[t & kDateMask]; }
  bool Contains(LogTime t) const { return IndexOf(t) >= 0; }

 private:
  static constexpr LogTime kDateMask = 0x7FFF;  // day, month and year bits
  std::vector<std::int32_t> index_;
};

// The part of `period` between `earliest` and `latest`.
Period ClipPeriod(const Period& period, const CalendarDate& earliest, const CalendarDate& latest);

// "01.03.2013 - 31.03.2013", as the information box shows the log's dates.
std::string FormatPeriod(const Period& period);

// "2013-03-05" and "2013-03"; false for anything else or a date not in the calendar.
bool ParseIsoDate(std::string_view text, CalendarDate* date);
bool ParseIsoMonth(std::string_view text, int* year, int* month);

}  // namespace tw
