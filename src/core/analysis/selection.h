#pragma once

// Which records an analysis run counts: the analysed period, the request
// kind, crawlers or not, and a section of the site. A plain function of the
// records and the choice, so it can run on any thread.
//
//   SelectionChoice choice{period, 1, true, "/news"};
//   SelectRecordsOf(records, choice);  // pages under /news/ in the period, no crawlers

#include <cstddef>
#include <string>
#include <vector>

#include "analysis/period.h"
#include "log/record.h"
#include "log/record_array.h"

namespace tw {

struct SelectionChoice {
  Period period;
  int request_filter = 1;  // 1 pages, 2 all but graphics, 3 every request
  bool skip_crawlers = false;
  std::string section = "/";  // "/" the whole site
  friend bool operator==(const SelectionChoice&, const SelectionChoice&) = default;
};

// Whether a request passes the request kind `filter` (1, 2 or 3), by its extension.
bool RequestPassesFilter(int filter, const char* url);

// Asks for the record a few places on in `selected` to be brought into the
// cache while record `i` is counted: a selection skips records, so the
// hardware cannot guess which comes next, and each would be a wait on memory.
inline void PrefetchSelected(const std::vector<const LogRecord*>& selected, std::size_t i,
                             std::size_t n) {
  constexpr std::size_t kAhead = 16;
#if defined(__GNUC__)
  if (i + kAhead < n) __builtin_prefetch(selected[i + kAhead]);
#else
  (void)selected;
  (void)i;
  (void)n;
#endif
}

// The chosen records in file order.
std::vector<const LogRecord*> SelectRecordsOf(const RecordArray& records,
                                              const SelectionChoice& choice);

}  // namespace tw
