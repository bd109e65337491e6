#pragma once

// Civil dates for the log generator: seconds since 1970-01-01 00:00:00 in the
// server's local time (the log carries the time as written, with a fixed zone).

#include <cstdint>
#include <string>

namespace tw::loggen {

struct CivilDate {
  int year;
  int month;  // 1-12
  int day;    // 1-31
};

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar, and back.
std::int64_t DaysFromCivil(CivilDate date);
CivilDate CivilFromDays(std::int64_t days);

// 0 Sunday ... 6 Saturday.
int WeekdayFromDays(std::int64_t days);

// Appends "[05/Mar/2025:07:04:09 +0300]" for `seconds` with the zone text `zone`.
void AppendLogTime(std::string& out, std::int64_t seconds, const char* zone);

}  // namespace tw::loggen
