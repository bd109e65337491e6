#include "log/record.h"

#include <gtest/gtest.h>

#include <string>

namespace tw {
namespace {

LogTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  return PackLogTime({day, month, year, hour, minute, second});
}

TEST(LogTime, EachFieldSitsInItsOwnBits) {
  struct Case {
    LogTimeFields fields;
    LogTime word;
  } cases[] = {
      {{0, 0, 1970, 0, 0, 0}, 0u},
      {{31, 0, 1970, 0, 0, 0}, 0x1Fu},
      {{0, 15, 1970, 0, 0, 0}, 0xFu << 5},
      {{0, 0, 2033, 0, 0, 0}, 63u << 9},
      {{0, 0, 1970, 31, 0, 0}, 31u << 15},
      {{0, 0, 1970, 0, 63, 0}, 63u << 20},
      {{0, 0, 1970, 0, 0, 63}, 63u << 26},
      {{31, 15, 2033, 31, 63, 63}, 0xFFFFFFFFu},
      {{5, 3, 2008, 7, 4, 9}, 5u | 3u << 5 | 38u << 9 | 7u << 15 | 4u << 20 | 9u << 26},
  };
  for (const auto& c : cases) {
    const LogTimeFields& f = c.fields;
    const std::string name = FormatLogTime(c.word);
    EXPECT_EQ(PackLogTime(f), c.word) << name;
    const LogTimeFields back = UnpackLogTime(c.word);
    EXPECT_EQ(back.Day, f.Day) << name;
    EXPECT_EQ(back.Month, f.Month) << name;
    EXPECT_EQ(back.Year, f.Year) << name;
    EXPECT_EQ(back.Hour, f.Hour) << name;
    EXPECT_EQ(back.Minute, f.Minute) << name;
    EXPECT_EQ(back.Second, f.Second) << name;
  }
}

TEST(LogTime, RoundTripsEveryValueOfEveryField) {
  // Each field runs over its whole range while the others hold their extremes,
  // so a field that spills into its neighbour shows up.
  for (const bool others_max : {false, true}) {
    const LogTimeFields base = others_max ? LogTimeFields{31, 15, 2033, 31, 63, 63} : LogTimeFields{0, 0, 1970, 0, 0, 0};
    for (int v = 0; v < 64; ++v) {
      LogTimeFields f[6] = {base, base, base, base, base, base};
      const bool in_range[6] = {v <= 31, v <= 15, true, v <= 31, true, true};
      f[0].Day = v, f[1].Month = v, f[2].Year = 1970 + v, f[3].Hour = v, f[4].Minute = v, f[5].Second = v;
      for (int k = 0; k < 6; ++k) {
        if (!in_range[k]) continue;
        const LogTimeFields g = UnpackLogTime(PackLogTime(f[k]));
        const bool same = g.Day == f[k].Day && g.Month == f[k].Month && g.Year == f[k].Year &&
                          g.Hour == f[k].Hour && g.Minute == f[k].Minute && g.Second == f[k].Second;
        EXPECT_TRUE(same) << "field " << k << " value " << v << " others " << (others_max ? "max" : "min");
      }
    }
  }
}

TEST(LogRecord, FitsInSixtyFourBytesAndItsFlagsHoldTheirRanges) {
  EXPECT_LE(sizeof(LogRecord), 64u);
  LogRecord r;
  r.ReferrerKind = RefSearchEngine;
  r.EngineIndex = 32767;
  r.IsCrawler = 1;
  EXPECT_EQ(r.ReferrerKind, RefSearchEngine);
  EXPECT_EQ(r.EngineIndex, 32767);
  EXPECT_EQ(r.IsCrawler, 1u);
  r.ReferrerKind = -1;  // the kind is a signed 8-bit field
  EXPECT_EQ(r.ReferrerKind, -1);
  EXPECT_EQ(r.EngineIndex, 32767);
}

TEST(FormatIp, WritesFourOctetsMostSignificantFirst) {
  struct Case {
    std::uint32_t ip;
    const char* text;
  } cases[] = {
      {0u, "0.0.0.0"},
      {4294967295u, "255.255.255.255"},
      {0x7F000001u, "127.0.0.1"},
      {0x01020304u, "1.2.3.4"},
      {0xC0A80AFEu, "192.168.10.254"},
      {0x80000000u, "128.0.0.0"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatIp(c.ip), c.text) << std::hex << c.ip;
}

TEST(FormatLogTime, WritesDayMonthYearAndTime) {
  struct Case {
    LogTime t;
    const char* text;
  } cases[] = {
      {At(2008, 3, 1), "01/03/2008:00:00:00"},
      {At(2008, 3, 5, 7, 4, 9), "05/03/2008:07:04:09"},
      {At(1970, 1, 1), "01/01/1970:00:00:00"},
      {At(2032, 12, 31, 23, 59, 59), "31/12/2032:23:59:59"},
      {At(2025, 3, 0), "00/03/2025:00:00:00"},  // day 0 passes the parser
  };
  for (const auto& c : cases) EXPECT_EQ(FormatLogTime(c.t), c.text) << c.text;
}

TEST(CompareLogTime, OrdersByYearMonthDayHourMinuteSecond) {
  // Each pair differs in one field while every later field of the first time
  // is larger, which the raw word order gets wrong.
  struct Case {
    LogTime earlier;
    LogTime later;
  } cases[] = {
      {At(2024, 12, 31, 23, 59, 59), At(2025, 1, 1, 0, 0, 0)},
      {At(2025, 1, 31, 23, 59, 59), At(2025, 2, 1, 0, 0, 0)},
      {At(2025, 3, 1, 23, 59, 59), At(2025, 3, 2, 0, 0, 0)},
      {At(2025, 3, 2, 10, 59, 59), At(2025, 3, 2, 11, 0, 0)},
      {At(2025, 3, 2, 10, 10, 59), At(2025, 3, 2, 10, 11, 0)},
      {At(2025, 3, 2, 10, 10, 58), At(2025, 3, 2, 10, 10, 59)},
      {At(1970, 1, 1), At(2033, 15, 31, 31, 63, 63)},
  };
  for (const auto& c : cases) {
    const std::string name = FormatLogTime(c.earlier) + " < " + FormatLogTime(c.later);
    EXPECT_LT(CompareLogTime(c.earlier, c.later), 0) << name;
    EXPECT_GT(CompareLogTime(c.later, c.earlier), 0) << name;
    EXPECT_EQ(CompareLogTime(c.earlier, c.earlier), 0) << name;
  }
}

TEST(IsCalendarDate, AcceptsOnlyRealDays) {
  struct Case {
    LogTime t;
    bool real;
  } cases[] = {
      {At(2025, 3, 1), true},    {At(2025, 3, 0), false},  {At(2025, 3, 31), true},
      {At(2025, 4, 30), true},   {At(2025, 4, 31), false}, {At(2025, 6, 31), false},
      {At(2025, 9, 31), false},  {At(2025, 11, 31), false}, {At(2025, 12, 31), true},
      {At(2025, 1, 31), true},   {At(2025, 0, 1), false},  {At(2025, 13, 1), false},
      {At(2025, 15, 1), false},  {At(2024, 2, 29), true},  {At(2025, 2, 29), false},
      {At(2025, 2, 28), true},   {At(2000, 2, 29), true},  {At(2024, 2, 30), false},
      {At(1970, 1, 1), true},    {At(2032, 2, 29), true},  {At(2033, 2, 29), false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsCalendarDate(c.t), c.real) << FormatLogTime(c.t);
}

TEST(DayOfWeek, MatchesTheCalendar) {
  struct Case {
    LogTime t;
    int day;  // 0 Sunday
  } cases[] = {
      {At(1970, 1, 1), 4},   {At(2000, 2, 29), 2}, {At(2008, 3, 1), 6},
      {At(2008, 3, 5), 3},   {At(2024, 2, 29), 4}, {At(2025, 3, 1), 6},
      {At(2025, 3, 2), 0},   {At(2032, 12, 31), 5}, {At(2025, 1, 1, 23, 59, 59), 3},
  };
  for (const auto& c : cases) EXPECT_EQ(DayOfWeek(c.t), c.day) << FormatLogTime(c.t);
}

TEST(CompareTextBytes, OrdersUnsignedBytesAndPrefixFirst) {
  struct Case {
    const char* a;
    const char* b;
    int sign;
  } cases[] = {
      {"", "", 0},
      {"abc", "abc", 0},
      {"a", "b", -1},
      {"", "a", -1},
      {"ab", "abc", -1},      // a prefix comes first
      {"A", "a", -1},         // letter case counts
      {"z", "\xC0", -1},      // bytes from 128 up sort after ASCII
      {"\x7F", "\x80", -1},
      {"\xFE", "\xFF", -1},
      {"/a\xFF", "/a\x01", 1},
  };
  auto sign = [](int v) { return (v > 0) - (v < 0); };
  for (const auto& c : cases) {
    EXPECT_EQ(sign(CompareTextBytes(c.a, c.b)), c.sign) << c.a << " vs " << c.b;
    EXPECT_EQ(sign(CompareTextBytes(c.b, c.a)), -c.sign) << c.b << " vs " << c.a;
  }
}

}  // namespace
}  // namespace tw
