// The run rule of the by-day and by-hour reports, over keys in any order
// (they are sorted first): an address is a host of its run, and a visit counts, when
// it holds a request below status 400, whatever status its last request had.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "analysis/radix_sort.h"
#include "analysis/report_rows.h"
#include "analysis/time_run.h"
#include "log/record.h"

namespace tw {
namespace {

struct Hit {
  std::uint32_t ip;
  int day;  // the run
  int minute;
  int status;
};

struct Measures {
  int hits, good, hosts, visits;
  bool operator==(const Measures&) const = default;
};

// Each hit in the row of its day (the run), as the by-day report keys it.
Measures CountRows(const std::vector<Hit>& hits) {
  constexpr TimeKeyLayout layout{6};
  std::vector<std::uint64_t> keys;
  for (const Hit& h : hits) {
    LogRecord r;
    r.ClientIp = h.ip;
    r.Status = h.status;
    keys.push_back(TimeKey(layout, static_cast<std::uint32_t>(h.day), r,
                           static_cast<std::uint32_t>(h.minute)));
  }
  std::vector<TimeRow> rows(8);
  CountTimeKeys(keys, layout, rows);
  Measures sum{0, 0, 0, 0};
  for (const TimeRow& row : rows) {
    sum.hits += row.Hits, sum.good += row.GoodHits, sum.hosts += row.Hosts, sum.visits += row.Visits;
  }
  return sum;
}

TEST(CountTimeKeys, AnAddressWithAGoodRequestIsAHostWhateverItsLastStatus) {
  constexpr std::uint32_t a = 0x01010101, b = 0x02020202;
  const struct {
    const char* name;
    std::vector<Hit> hits;
    Measures expected;
  } cases[] = {
      {"a 404 after a 200 a minute later", {{a, 5, 5, 200}, {a, 5, 6, 404}}, {2, 1, 1, 1}},
      {"a 404 between two 200s, the last 25 minutes on",
       {{a, 5, 5, 200}, {a, 5, 10, 404}, {a, 5, 35, 200}}, {3, 2, 1, 2}},
      {"a visit of only a 404 between two visits",
       {{a, 5, 0, 200}, {a, 5, 20, 404}, {a, 5, 40, 200}}, {3, 2, 1, 2}},
      {"a 404 closing a 200's visit 30 minutes later", {{a, 5, 5, 200}, {a, 5, 35, 404}}, {2, 1, 1, 1}},
      {"only failed requests", {{a, 5, 5, 404}, {a, 5, 6, 500}}, {2, 0, 0, 0}},
      {"the first address fails last, the second only fails",
       {{a, 5, 0, 200}, {a, 5, 1, 404}, {b, 5, 0, 404}}, {3, 1, 1, 1}},
      {"one address in two runs, failing in the second", {{a, 5, 0, 200}, {a, 6, 0, 404}}, {2, 1, 1, 1}},
      {"one address in two runs, good in both", {{a, 5, 0, 200}, {a, 6, 0, 304}}, {2, 2, 2, 2}},
      {"given out of order", {{a, 5, 35, 200}, {b, 5, 0, 404}, {a, 5, 5, 200}}, {3, 2, 1, 2}},
      {"two addresses interleaved", {{a, 5, 0, 200}, {b, 5, 1, 200}, {a, 5, 10, 200}}, {3, 3, 2, 2}},
      {"15 minutes apart is one visit, 16 is two",
       {{a, 5, 0, 200}, {a, 5, 15, 200}, {a, 5, 31, 200}}, {3, 3, 1, 2}},
  };
  for (const auto& c : cases) EXPECT_EQ(CountRows(c.hits), c.expected) << c.name;
}

}  // namespace
}  // namespace tw

namespace tw {
namespace {

TEST(RadixSort, SortsLikeStdSort) {
  std::uint64_t state = 88172645463325252ULL;
  const auto next = [&state] {
    state ^= state << 13, state ^= state >> 7, state ^= state << 17;
    return state;
  };
  // Full 64-bit keys, keys of few distinct values, keys using only high bits
  // (skipped low passes), and the sizes round the trivial cases.
  const struct {
    std::size_t count;
    std::uint64_t mask;
  } cases[] = {{0, ~0ULL}, {1, ~0ULL}, {2, ~0ULL}, {1000, ~0ULL}, {100000, ~0ULL},
               {50000, 0x7}, {50000, 0xFFFF000000000000ULL}, {50000, 0}};
  for (const auto& c : cases) {
    std::vector<std::uint64_t> keys(c.count);
    for (std::uint64_t& k : keys) k = next() & c.mask;
    std::vector<std::uint64_t> expected = keys;
    std::sort(expected.begin(), expected.end());
    RadixSort(keys);
    EXPECT_EQ(keys, expected) << c.count << " keys, mask " << std::hex << c.mask;
  }
}

}  // namespace
}  // namespace tw
