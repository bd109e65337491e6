#pragma once

// The IPv6 client addresses of a loaded log. A record of an IPv6 client holds
// the index of its address here instead of an IPv4 address, so a log without
// IPv6 clients pays nothing per record.

#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace tw {

using Ipv6Bytes = std::array<std::uint8_t, 16>;  // network order

class Ipv6AddressTable {
 public:
  // The index of `address`, added when it is new. Equal addresses share one index.
  std::uint32_t Add(const Ipv6Bytes& address);
  // Whether `address` is in the table; its index in *index when it is.
  bool Find(const Ipv6Bytes& address, std::uint32_t* index) const;
  // REQUIRES: index < Count().
  const Ipv6Bytes& At(std::uint32_t index) const { return addresses_[index]; }
  std::size_t Count() const { return addresses_.size(); }
  // The place of the address at `index` among all addresses in byte order, from 0.
  // Computed once after the last Add. REQUIRES: index < Count().
  std::uint32_t ByteRank(std::uint32_t index) const;

 private:
  struct Hash {
    std::size_t operator()(const Ipv6Bytes& a) const;
  };
  std::vector<Ipv6Bytes> addresses_;
  std::unordered_map<Ipv6Bytes, std::uint32_t, Hash> index_of_;
  mutable std::vector<std::uint32_t> ranks_;  // empty until ByteRank needs it
};

}  // namespace tw
