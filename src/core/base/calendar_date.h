#pragma once

// A day of the Gregorian calendar, as the period, the date pickers and the
// platform's today all name it.

namespace tw {

struct CalendarDate {
  int Year = 2000;
  int Month = 1;  // 1-12
  int Day = 1;    // 1-31
  friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};

}  // namespace tw
