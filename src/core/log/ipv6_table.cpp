#include "log/ipv6_table.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace tw {

std::size_t Ipv6AddressTable::Hash::operator()(const Ipv6Bytes& a) const {
  std::uint64_t high, low;
  std::memcpy(&high, a.data(), 8);
  std::memcpy(&low, a.data() + 8, 8);
  return static_cast<std::size_t>((high * 0x9E3779B97F4A7C15ULL) ^ low ^ (low >> 29));
}

std::uint32_t Ipv6AddressTable::Add(const Ipv6Bytes& address) {
  const auto [it, added] =
      index_of_.try_emplace(address, static_cast<std::uint32_t>(addresses_.size()));
  if (added) {
    addresses_.push_back(address);
    ranks_.clear();
  }
  return it->second;
}

bool Ipv6AddressTable::Find(const Ipv6Bytes& address, std::uint32_t* index) const {
  const auto it = index_of_.find(address);
  if (it == index_of_.end()) return false;
  *index = it->second;
  return true;
}

std::uint32_t Ipv6AddressTable::ByteRank(std::uint32_t index) const {
  if (ranks_.size() != addresses_.size()) {
    std::vector<std::uint32_t> order(addresses_.size());
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(),
              [this](std::uint32_t a, std::uint32_t b) { return addresses_[a] < addresses_[b]; });
    ranks_.assign(addresses_.size(), 0);
    for (std::size_t place = 0; place < order.size(); ++place) {
      ranks_[order[place]] = static_cast<std::uint32_t>(place);
    }
  }
  return ranks_[index];
}

}  // namespace tw
