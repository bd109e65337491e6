#include "Loggen_calendar.h"

#include <cstdio>

namespace tw::loggen {

// Howard Hinnant's algorithms: eras of 400 years, months counted from March.
std::int64_t DaysFromCivil(CivilDate date) {
  const std::int64_t y = date.year - (date.month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t mp = (date.month + 9) % 12;
  const std::int64_t doy = (153 * mp + 2) / 5 + date.day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

CivilDate CivilFromDays(std::int64_t days) {
  const std::int64_t z = days + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
  return {year, month, day};
}

int WeekdayFromDays(std::int64_t days) {
  const std::int64_t w = (days + 4) % 7;  // 1970-01-01 was a Thursday
  return static_cast<int>(w < 0 ? w + 7 : w);
}

void AppendLogTime(std::string& out, std::int64_t seconds, const char* zone) {
  static constexpr const char* kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::int64_t days = seconds / 86400;
  std::int64_t rest = seconds % 86400;
  if (rest < 0) rest += 86400, --days;
  const CivilDate d = CivilFromDays(days);
  char buf[48];
  const int n = std::snprintf(buf, sizeof buf, "[%02d/%s/%04d:%02d:%02d:%02d %s]", d.day, kMonths[d.month - 1],
                              d.year, static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60),
                              static_cast<int>(rest % 60), zone);
  out.append(buf, static_cast<std::size_t>(n));
}

}  // namespace tw::loggen
