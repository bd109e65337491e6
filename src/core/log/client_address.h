#pragma once

// The client address of a log line: an IPv4 address, an IPv6 address, or a
// host name, which counts as 0.0.0.0.
//
//   "192.0.2.1"          -> IPv4 0xC0000201
//   "2001:DB8:0:0::1"    -> IPv6 2001:db8::1
//   "::ffff:192.0.2.1"   -> IPv4 0xC0000201 (a mapped IPv4 address is that address)
//   "example.com"        -> IPv4 0 (a host name)
//   "256.1.1.1"          -> rejected

#include <cstdint>
#include <string>
#include <string_view>

#include "log/ipv6_table.h"
#include "log/record.h"

namespace tw {

struct ClientAddress {
  bool IsIpv6 = false;
  std::uint32_t Ipv4 = 0;  // when !IsIpv6
  Ipv6Bytes Ipv6{};        // when IsIpv6
};

// Reads the host token. Returns false when the line is to be rejected: the
// host is neither an IPv6 address nor read by ParseIp. A text of IPv6 form
// that does not convert (a zero-led IPv4 tail) stays a host name, as before.
bool ReadClientAddress(std::string_view host, ClientAddress* address);

// Sets the record's ClientIp and IsIpv6. Without a table an IPv6 client counts
// as a host name (0.0.0.0).
void StoreClientAddress(Ipv6AddressTable* table, const ClientAddress& address, LogRecord* record);

// Whether two records come from one client.
inline bool SameClient(const LogRecord& a, const LogRecord& b) {
  return a.ClientIp == b.ClientIp && a.IsIpv6 == b.IsIpv6;
}

// "192.0.2.1", or an IPv6 address in RFC 5952 text ("2001:db8::1").
// REQUIRES: for an IPv6 record, the table it was stored with.
std::string FormatClientAddress(const Ipv6AddressTable* table, const LogRecord& record);
std::string FormatIpv6(const Ipv6Bytes& address);

// One number per client that orders IPv4 addresses numerically, then IPv6
// addresses by their bytes. REQUIRES: as FormatClientAddress.
std::uint64_t ClientOrderKey(const Ipv6AddressTable* table, const LogRecord& record);

}  // namespace tw
