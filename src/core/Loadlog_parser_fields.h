#pragma once

// The fields of a log line that are read as numbers: the client address, the
// request time, the status and the response size.

#include <cstdint>
#include <string_view>

#include "Loadlog_record.h"

namespace tw {

// Reads a dotted IPv4 address as "%d.%d.%d.%d" would: up to four decimal numbers
// separated by single dots, each after optional white space and a sign; reading
// stops at the first character that does not fit, numbers not read count as 0,
// and anything after the fourth number is ignored. Fails when a number is
// negative or above 255.
//   "127.0.0.1" -> 0x7F000001    "10.1" -> 0x0A010000    "example.com" -> 0
//   "256.1.1.1" and "-1.2.3.4"   -> failure
// Returns 0 and stores the address in *ip, or returns -1 and leaves *ip unchanged.
int ParseIp(std::string_view text, std::uint32_t* ip);
// The same for a zero-terminated text; an absent (null) text fails.
int ParseIp(const char* text, std::uint32_t* ip);

// Whether `text` is an IPv6 address in its textual form: eight groups of 1 to 4
// hex digits, one "::" standing for one or more zero groups, and an optional
// dotted IPv4 address in the last 32 bits ("2a02:6b8::1", "::ffff:1.2.3.4").
bool IsIpv6Address(std::string_view text);

// Reads the time token of a log line, "[10/Oct/2000:13:55:36" (the zone offset
// is a token of its own and is not used). The numbers are at most 2 characters
// (the year 4) after optional white space that does not count; a sign counts.
// The month is one of "Jan" ... "Dec", letter case as written. Accepted ranges:
// day 0-31, year 1970-2032, hour 0-23, minute and second 0-59. A day past the
// end of its month passes; IsCalendarDate tells such times apart.
// Returns 0 and stores the packed time in *time, or -1 and leaves *time unchanged.
int ParseLogTime(std::string_view text, LogTime* time);

// Reads the status or the size token: optional white space, an optional sign and
// decimal digits, and nothing after them. The empty token reads as 0; a token
// without digits fails. A value outside the 32-bit range is clamped to it.
bool ParseLogNumber(std::string_view token, std::int32_t* value);

}  // namespace tw
