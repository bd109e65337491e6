// The run rule of the by-day and by-hour reports over records already in the
// reports' order: an address is a host of its run, and a visit counts, when
// it holds a request below status 400, whatever status its last request had.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "Loadlog_record.h"
#include "Stat_rows.h"
#include "Stat_time_run.h"

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

Measures CountOneRow(const std::vector<Hit>& hits) {
  std::vector<LogRecord> records(hits.size());
  std::vector<const LogRecord*> sorted;
  for (std::size_t i = 0; i < hits.size(); ++i) {
    records[i].ClientIp = hits[i].ip;
    records[i].Status = hits[i].status;
    records[i].LogTime = PackLogTime({.Day = hits[i].day, .Month = 3, .Year = 2008, .Hour = 10,
                                      .Minute = hits[i].minute, .Second = 0});
    sorted.push_back(&records[i]);
  }
  std::vector<TimeRow> rows(1);
  CountTimeRuns(
      sorted, sorted.size(), rows, [](const LogRecord&) { return 0; },
      [](const LogRecord& r) { return static_cast<std::uint64_t>(LogDay(r.LogTime)); });
  return {rows[0].Hits, rows[0].GoodHits, rows[0].Hosts, rows[0].Visits};
}

TEST(CountTimeRuns, AnAddressWithAGoodRequestIsAHostWhateverItsLastStatus) {
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
  };
  for (const auto& c : cases) EXPECT_EQ(CountOneRow(c.hits), c.expected) << c.name;
}

}  // namespace
}  // namespace tw
