#include "analysis/radix_sort.h"
#include "base/huge_block.h"

#include <array>
#include <cstddef>
#include <utility>

namespace tw {

namespace {

constexpr int kDigitBits = 11;
constexpr int kPasses = (64 + kDigitBits - 1) / kDigitBits;
constexpr std::size_t kBuckets = std::size_t{1} << kDigitBits;
constexpr std::uint64_t kDigitMask = kBuckets - 1;

using Histogram = std::array<std::uint32_t, kBuckets>;

}  // namespace

void RadixSort(std::vector<std::uint64_t>& keys) {
  const std::size_t n = keys.size();
  if (n < 2) return;
  // Every pass's histogram in one read of the keys.
  std::vector<Histogram> counts(kPasses);
  for (Histogram& h : counts) h.fill(0);
  for (const std::uint64_t key : keys) {
    for (int p = 0; p < kPasses; ++p) ++counts[p][(key >> (p * kDigitBits)) & kDigitMask];
  }

  std::vector<std::uint64_t> scratch;
  for (int p = 0; p < kPasses; ++p) {
    Histogram& h = counts[p];
    const int shift = p * kDigitBits;
    if (h[(keys[0] >> shift) & kDigitMask] == n) continue;  // one digit everywhere
    if (scratch.empty()) {
      ReserveInHugePages(scratch, n);
      scratch.resize(n);
    }
    std::uint32_t start = 0;
    for (std::uint32_t& c : h) start += std::exchange(c, start);  // counts become starts
    for (const std::uint64_t key : keys) scratch[h[(key >> shift) & kDigitMask]++] = key;
    keys.swap(scratch);
  }
}

}  // namespace tw
