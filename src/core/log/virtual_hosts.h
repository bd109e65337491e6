#pragma once

// The virtual host of each record, for logs whose format names one (%v):
// kept beside the records rather than in them, so a log without virtual
// hosts pays nothing per record and a record stays within its 40 bytes.
//
//   VirtualHostColumn hosts(records);
//   hosts.Set(0, hosts.Pool().Intern("Www.Site.ru"));   // host 1
//   hosts.Set(2, hosts.Pool().Intern("www.site.RU"));   // host 1 again
//   hosts.NumberOf(*records[1]);                         // 0: none
//   hosts.Text(1);                                       // "Www.Site.ru"
//
// Hosts are pooled without regard to letter case, the first spelling kept,
// and numbered 1, 2, ... in the order the records are given theirs, which is
// file order: the numbers, like the spellings, do not depend on how the load
// was split among threads. There is no limit on the number of hosts.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "log/record.h"
#include "log/string_pool.h"

namespace tw {

class RecordArray;

class VirtualHostColumn {
 public:
  explicit VirtualHostColumn(const RecordArray& records) : records_(records) {}
  VirtualHostColumn(const VirtualHostColumn&) = delete;
  VirtualHostColumn& operator=(const VirtualHostColumn&) = delete;

  // The pool the hosts are interned into.
  StringPool& Pool() { return pool_; }

  // Gives record `index` the host `pooled`. May throw std::bad_alloc.
  // REQUIRES: `pooled` came from Pool(); index >= 0.
  void Set(std::int32_t index, const char* pooled);

  // The host number of a record of the array: 0 when it has none.
  std::uint32_t NumberOf(const LogRecord& record) const;
  // The text of host `number`. REQUIRES: 1 <= number <= Count().
  const char* Text(std::uint32_t number) const { return texts_[number - 1]; }
  // How many distinct hosts the records have.
  std::uint32_t Count() const { return static_cast<std::uint32_t>(texts_.size()); }

 private:
  static constexpr std::size_t kShift = 16;
  static constexpr std::size_t kPerBlock = std::size_t{1} << kShift;

  std::uint32_t NumberOfText(const char* pooled);

  const RecordArray& records_;
  StringPool pool_;
  std::vector<const char*> texts_;                          // by number - 1
  std::unordered_map<const char*, std::uint32_t> numbers_;  // by pooled text
  const char* last_text_ = nullptr;  // neighbouring records mostly share their host
  std::uint32_t last_number_ = 0;
  // Numbers by record index, kPerBlock a block, zero until set; blocks past
  // the last record given a host are not there.
  std::vector<std::unique_ptr<std::uint32_t[]>> blocks_;
};

}  // namespace tw
