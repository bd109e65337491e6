#pragma once

// Random numbers for the log generator. Everything is integer arithmetic of
// our own (splitmix64, xoshiro256**, Lemire's bounded draw), so a seed gives
// the same log with every compiler and standard library.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tw::loggen {

inline std::uint64_t SplitMix64(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

// Seed of an independent stream, one per (purpose, index): a visit's requests
// do not depend on how many numbers any other visit drew.
inline std::uint64_t StreamSeed(std::uint64_t seed, std::uint64_t purpose, std::uint64_t index) {
  std::uint64_t s = seed ^ (purpose * 0xD1B54A32D192ED03ULL);
  std::uint64_t t = SplitMix64(s) ^ (index * 0x9E6C63D0676A9A99ULL);
  return SplitMix64(t);
}

class Rng {
 public:
  explicit Rng(std::uint64_t seed) {
    for (auto& s : s_) s = SplitMix64(seed);
  }

  std::uint64_t Next() {  // xoshiro256**
    const std::uint64_t result = Rotl(s_[1] * 5, 7) * 9;
    const std::uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = Rotl(s_[3], 45);
    return result;
  }

  // Uniform in [0, n). REQUIRES: n > 0.
  std::uint64_t Below(std::uint64_t n) {
    unsigned __int128 m = static_cast<unsigned __int128>(Next()) * n;
    auto low = static_cast<std::uint64_t>(m);
    if (low < n) {
      const std::uint64_t threshold = (0 - n) % n;
      while (low < threshold) {
        m = static_cast<unsigned __int128>(Next()) * n;
        low = static_cast<std::uint64_t>(m);
      }
    }
    return static_cast<std::uint64_t>(m >> 64);
  }

  // Uniform in [lo, hi]. REQUIRES: lo <= hi.
  int Range(int lo, int hi) { return lo + static_cast<int>(Below(static_cast<std::uint64_t>(hi - lo) + 1)); }
  bool Percent(int p) { return Below(100) < static_cast<std::uint64_t>(p); }
  bool PerMille(int p) { return Below(1000) < static_cast<std::uint64_t>(p); }

  template <class T, std::size_t N>
  const T& Pick(const T (&items)[N]) {
    return items[Below(N)];
  }
  template <class T>
  const T& Pick(const std::vector<T>& items) {
    return items[Below(items.size())];
  }

 private:
  static std::uint64_t Rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
  std::uint64_t s_[4];
};

// Picks an index with probability proportional to its integer weight.
class WeightedTable {
 public:
  WeightedTable() = default;
  // REQUIRES: at least one weight above 0.
  explicit WeightedTable(const std::vector<std::uint64_t>& weights) {
    cumulative_.reserve(weights.size());
    std::uint64_t sum = 0;
    for (std::uint64_t w : weights) cumulative_.push_back(sum += w);
  }

  // Weights 2^40 / (rank + offset) for ranks 0 .. n-1: a Zipf-like law with
  // exponent 1, flattened at the top by `offset`. REQUIRES: offset >= 1.
  static WeightedTable Zipf(std::size_t n, std::uint64_t offset) {
    std::vector<std::uint64_t> weights(n);
    for (std::size_t k = 0; k < n; ++k) weights[k] = (std::uint64_t{1} << 40) / (k + offset);
    return WeightedTable(weights);
  }

  std::size_t Pick(Rng& rng) const {
    const std::uint64_t r = rng.Below(cumulative_.back());
    return static_cast<std::size_t>(std::upper_bound(cumulative_.begin(), cumulative_.end(), r) -
                                    cumulative_.begin());
  }
  std::size_t Size() const { return cumulative_.size(); }
  std::uint64_t Total() const { return cumulative_.empty() ? 0 : cumulative_.back(); }

 private:
  std::vector<std::uint64_t> cumulative_;
};

// A value range picked by weight, then a uniform value inside it.
struct Band {
  int lo;
  int hi;
  std::uint64_t weight;
};

template <std::size_t N>
int PickBand(Rng& rng, const Band (&bands)[N]) {
  std::uint64_t total = 0;
  for (const Band& b : bands) total += b.weight;
  std::uint64_t r = rng.Below(total);
  for (const Band& b : bands) {
    if (r < b.weight) return rng.Range(b.lo, b.hi);
    r -= b.weight;
  }
  return bands[N - 1].hi;
}

}  // namespace tw::loggen
