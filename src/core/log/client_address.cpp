#include "log/client_address.h"

#include <arpa/inet.h>

#include <cstring>

#include "log/address_text.h"

namespace tw {
namespace {

constexpr std::uint8_t kMappedPrefix[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};

// inet_pton wants a zero-terminated text; anything longer than the longest
// address text is no address.
bool ConvertIpv6(std::string_view text, Ipv6Bytes* bytes) {
  char buf[INET6_ADDRSTRLEN];
  if (text.size() >= sizeof buf) return false;
  std::memcpy(buf, text.data(), text.size());
  buf[text.size()] = '\0';
  return inet_pton(AF_INET6, buf, bytes->data()) == 1;
}

}  // namespace

bool ReadClientAddress(std::string_view host, ClientAddress* address) {
  *address = ClientAddress{};
  if (host.find(':') != std::string_view::npos) {
    if (ConvertIpv6(host, &address->Ipv6)) {
      if (std::memcmp(address->Ipv6.data(), kMappedPrefix, sizeof kMappedPrefix) == 0) {
        const std::uint8_t* v4 = address->Ipv6.data() + 12;
        address->Ipv4 = std::uint32_t{v4[0]} << 24 | std::uint32_t{v4[1]} << 16 |
                        std::uint32_t{v4[2]} << 8 | v4[3];
        return true;
      }
      address->IsIpv6 = true;
      return true;
    }
    if (IsIpv6Address(host)) return true;  // a host name: 0.0.0.0
  }
  return ParseIp(host, &address->Ipv4) == 0;
}

void StoreClientAddress(Ipv6AddressTable* table, const ClientAddress& address, LogRecord* record) {
  if (address.IsIpv6 && table != nullptr) {
    record->ClientIp = table->Add(address.Ipv6);
    record->IsIpv6 = 1;
  } else {
    record->ClientIp = address.IsIpv6 ? 0 : address.Ipv4;
    record->IsIpv6 = 0;
  }
}

std::string FormatIpv6(const Ipv6Bytes& address) {
  char buf[INET6_ADDRSTRLEN];
  if (inet_ntop(AF_INET6, address.data(), buf, sizeof buf) == nullptr) return {};
  return buf;
}

std::string FormatClientAddress(const Ipv6AddressTable* table, const LogRecord& record) {
  if (!record.IsIpv6) return FormatIp(record.ClientIp);
  if (table == nullptr || record.ClientIp >= table->Count()) return {};
  return FormatIpv6(table->At(record.ClientIp));
}

std::uint64_t ClientOrderKey(const Ipv6AddressTable* table, const LogRecord& record) {
  if (!record.IsIpv6) return record.ClientIp;
  const std::uint32_t rank =
      table != nullptr && record.ClientIp < table->Count() ? table->ByteRank(record.ClientIp) : 0;
  return std::uint64_t{1} << 32 | rank;
}

}  // namespace tw
