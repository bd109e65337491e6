#pragma once

// Sorting the selected records by a packed 64-bit key. The key is taken once
// per record, so the sort compares integers instead of chasing pointers.
// Records with equal keys keep their present order (file order right after a
// selection), so the same log and the same choices give the same order.
//
//   SortRecordsByKey(selected, [](const LogRecord& r) {
//     return std::uint64_t{LogHour(r.LogTime)} << 32 | r.ClientIp;
//   });

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "Loadlog_record.h"

namespace tw {

template <class KeyOf>
void SortRecordsByKey(std::vector<const LogRecord*>& records, KeyOf key_of) {
  struct Entry {
    std::uint64_t key;
    std::size_t position;
  };
  std::vector<Entry> entries(records.size());
  for (std::size_t i = 0; i < records.size(); ++i) entries[i] = {key_of(*records[i]), i};
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    return a.key != b.key ? a.key < b.key : a.position < b.position;
  });
  // The sorted order is written back through the keys' room, so no third
  // array of the selection's size is needed.
  for (Entry& e : entries) e.key = reinterpret_cast<std::uintptr_t>(records[e.position]);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    records[i] = reinterpret_cast<const LogRecord*>(static_cast<std::uintptr_t>(entries[i].key));
  }
}

}  // namespace tw
