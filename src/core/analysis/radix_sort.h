#pragma once

// Sorting plain 64-bit numbers in ascending order, least significant digit
// first: six passes of 11 bits, each a stable scatter into a scratch array of
// the same size. A pass whose digit is the same in every number is skipped, so
// keys that use only some of their bits cost only the passes they need.
// Linear in the count, where a comparison sort of millions of keys is not.
//
//   std::vector<std::uint64_t> keys{30, 10, 20};
//   RadixSort(keys);  // 10, 20, 30

#include <cstdint>
#include <vector>

namespace tw {

void RadixSort(std::vector<std::uint64_t>& keys);

}  // namespace tw
