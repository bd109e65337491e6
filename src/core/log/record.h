#pragma once

// One accepted line of the access log, and the helpers that turn its numeric
// fields into text.

#include <cstdint>
#include <string>
#include <string_view>

#include "base/text_arena.h"

namespace tw {

// Referrer kinds set by ClassifyReferrer.
enum ReferrerKinds : std::int8_t {
  RefExternal = 0,
  RefNone = 1,
  RefOwnSite = 2,
  RefSearchEngine = 3,
};

// The request time as written in the log, one 32-bit word of bit-fields, from
// bit 0: day (5), month (4), year - 1970 (6), hour (5), minute (6), second (6).
// Not in time order as a number: compare the fields.
using LogTime = std::uint32_t;

struct LogTimeFields {
  int Day = 0;
  int Month = 0;
  int Year = 1970;  // calendar year
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
};

// REQUIRES: day 0-31, month 0-15, year 1970-2033, hour 0-31, minute 0-63, second 0-63.
LogTime PackLogTime(const LogTimeFields& f);
LogTimeFields UnpackLogTime(LogTime t);

inline int LogDay(LogTime t) { return static_cast<int>(t & 0x1F); }
inline int LogMonth(LogTime t) { return static_cast<int>((t >> 5) & 0x0F); }
inline int LogYear(LogTime t) { return static_cast<int>((t >> 9) & 0x3F) + 1970; }
inline int LogHour(LogTime t) { return static_cast<int>((t >> 15) & 0x1F); }
inline int LogMinute(LogTime t) { return static_cast<int>((t >> 20) & 0x3F); }
inline int LogSecond(LogTime t) { return static_cast<int>((t >> 26) & 0x3F); }

// Chronological order: year, month, day, hour, minute, second. Negative, 0 or positive.
int CompareLogTime(LogTime a, LogTime b);

// Whether day/month/year name a real day of the Gregorian calendar.
bool IsCalendarDate(LogTime t);

// 0 Sunday ... 6 Saturday. REQUIRES: IsCalendarDate(t).
int DayOfWeek(LogTime t);

// The record is created only by the line parser and never changed afterwards.
// Its texts are in the five string pools of the loaded log, which live as
// long as the records do; the record names each by its TextRef, 4 bytes
// instead of a pointer's 8, and gives it back as a pointer.
struct LogRecord {
  TextRef UrlRef = 0;             // UrlPool
  TextRef ReferrerRef = 0;        // ReferrerPool
  TextRef UserAgentRef = 0;       // UserAgentPool
  TextRef SearchPhraseRef = 0;    // SearchPhrasePool, or 0 when absent
  TextRef ReferrerDomainRef = 0;  // ReferrerDomainPool
  // a.b.c.d as a<<24 | b<<16 | c<<8 | d; with IsIpv6, an index into the
  // loaded log's Ipv6AddressTable.
  std::uint32_t ClientIp = 0;
  std::int32_t Status = 0;
  std::int32_t Bytes = 0;
  ::tw::LogTime LogTime = 0;
  std::int32_t ReferrerKind : 8 = RefExternal;
  std::int32_t EngineIndex : 16 = 0;
  std::uint32_t IsCrawler : 1 = 0;
  std::uint32_t IsIpv6 : 1 = 0;

  const char* Url() const { return TextOfRef(UrlRef); }
  const char* Referrer() const { return TextOfRef(ReferrerRef); }
  const char* UserAgent() const { return TextOfRef(UserAgentRef); }
  const char* SearchPhrase() const { return TextOfRef(SearchPhraseRef); }
  const char* ReferrerDomain() const { return TextOfRef(ReferrerDomainRef); }
  // REQUIRES: each text is null or was returned by a StringPool.
  void SetUrl(const char* text) { UrlRef = RefOfText(text); }
  void SetReferrer(const char* text) { ReferrerRef = RefOfText(text); }
  void SetUserAgent(const char* text) { UserAgentRef = RefOfText(text); }
  void SetSearchPhrase(const char* text) { SearchPhraseRef = RefOfText(text); }
  void SetReferrerDomain(const char* text) { ReferrerDomainRef = RefOfText(text); }
};
static_assert(sizeof(LogRecord) <= 40, "a record must fit in 40 bytes");

// "%d.%d.%d.%d", most significant octet first.
std::string FormatIp(std::uint32_t ip);
// "%02d/%02d/%04d:%02d:%02d:%02d": day/month/year:hour:minute:second.
std::string FormatLogTime(LogTime t);

// Byte-wise order of texts as unsigned values; a prefix sorts before its extensions.
// Case-sensitive, unlike the pools.
int CompareTextBytes(const char* a, const char* b);

}  // namespace tw
