#pragma once

// Records: every accepted record of the loaded log, in file order.
//
// Records are stored in blocks that never move, so a record's address stays
// valid as long as the array exists; the parser writes straight into the next
// free slot and the slot is kept only when the line is accepted:
//
//   LogRecord* slot = records.NextSlot();
//   if (ParseLogLine(ctx, line, slot)) records.Commit();

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <new>
#include <type_traits>
#include <vector>

#include "base/huge_block.h"
#include "log/record.h"

namespace tw {

static_assert(std::is_aggregate_v<LogRecord> && std::is_trivially_copyable_v<LogRecord> &&
                  std::is_trivially_destructible_v<LogRecord>,
              "records live in raw blocks");

class RecordArray {
 public:
  RecordArray() = default;
  RecordArray(const RecordArray&) = delete;
  RecordArray& operator=(const RecordArray&) = delete;

  std::int32_t Count() const { return count_; }
  // REQUIRES: 0 <= i < Count().
  const LogRecord* operator[](std::int32_t i) const {
    return Block(static_cast<std::size_t>(i) >> kShift) + (static_cast<std::size_t>(i) & kMask);
  }

  // The slot the next accepted record goes into; it is cleared to a default record.
  LogRecord* NextSlot() {
    LogRecord* slot = FreeSlot();
    *slot = LogRecord{};
    return slot;
  }
  // Keeps the slot returned by the last NextSlot as the newest record.
  void Commit() {
    NoteDate((*this)[count_]->LogTime);
    ++count_;
  }
  // Adds a copy of `record` as the newest record.
  void Append(const LogRecord& record) {
    *FreeSlot() = record;
    Commit();
  }

  // The dates the records carry, as bit-fields of LogTime (day, month, year:
  // its low 15 bits): bit `code` is set when some record has that date code.
  // Lets a caller find the log's days without reading every record again.
  static constexpr std::size_t kDateCodes = std::size_t{1} << 15;
  bool HasDateCode(std::uint32_t code) const {
    return (date_codes_[code >> 6] >> (code & 63)) & 1;
  }

  // Keeps the block after the one being filled mapped ahead, so that another
  // thread can back the huge page after the one being filled with memory
  // (PrepareBlockAhead) while this one fills records: on a parallel load that
  // thread has time to spare, and the filling thread does not.
  void MapBlocksAhead();
  // Backs the next huge page with memory, if not done yet; true when this
  // call did. Any thread may call it while the filling thread appends; never
  // after DropBlockAhead began.
  bool PrepareBlockAhead();
  // Frees the block mapped ahead and maps no more. REQUIRES: no other thread
  // is in PrepareBlockAhead or will call it.
  void DropBlockAhead();

  // The file-order index of a record of this array, for breaking ties by file
  // order. REQUIRES: `record` was returned by operator[] of this array.
  std::int32_t IndexOf(const LogRecord* record) const;

  // Bytes held: record blocks and the block table.
  std::size_t MemoryUsage() const;

 private:
  static constexpr std::size_t kShift = 18;  // 262144 records (10 MiB) per block
  static constexpr std::size_t kPerBlock = std::size_t{1} << kShift;
  static constexpr std::size_t kMask = kPerBlock - 1;
  // Whole huge pages: a block's records fill five exactly when a record is 40 bytes.
  static constexpr std::size_t kBlockBytes =
      (kPerBlock * sizeof(LogRecord) + HugeBlock::kBytes - 1) / HugeBlock::kBytes * HugeBlock::kBytes;
  static constexpr std::size_t kPage = HugeBlock::kBytes;

  // The next slot, as the block left it. A block is raw memory: a record is an
  // aggregate, so the storage holds records as soon as they are written, and
  // nothing is written twice.
  LogRecord* FreeSlot();

  // Maps the next block ahead; a system that refuses leaves none, and the
  // filling thread then maps its blocks itself.
  void MapAhead();
  // Called when the filling thread's slot `slot` starts a new huge page:
  // offers the page after it to PrepareBlockAhead.
  void EnterPage(const LogRecord* slot);

  LogRecord* Block(std::size_t b) const { return static_cast<LogRecord*>(blocks_[b].Data()); }

  void NoteDate(LogTime t) {
    const std::uint32_t code = t & (kDateCodes - 1);
    date_codes_[code >> 6] |= std::uint64_t{1} << (code & 63);
  }

  std::vector<HugeBlock> blocks_;
  bool map_ahead_ = false;
  HugeBlock ahead_;                         // the next block, when mapped ahead
  const char* page_start_ = nullptr;        // the huge page being filled
  const char* page_end_ = nullptr;
  std::atomic<void*> unprepared_{nullptr};  // the page after it, until a thread backs it
  std::array<std::uint64_t, kDateCodes / 64> date_codes_{};
  // (block start, block number) sorted by address, for IndexOf.
  std::vector<std::pair<const LogRecord*, std::size_t>> by_address_;
  std::int32_t count_ = 0;
};

}  // namespace tw
