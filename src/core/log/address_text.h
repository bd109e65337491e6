#pragma once

// The textual forms of a client address: a dotted IPv4 address and an IPv6
// address.

#include <cstdint>
#include <string_view>

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

}  // namespace tw
