#pragma once

// A load on several cores cuts each file, at piece ends, into chunks. A chunk
// is parsed on its own into records and pools of its own; the chunks are then
// merged in file order into the log's shared pools, so the log comes out
// exactly as a load on one thread gives it: the same records in the same
// order, the first spelling of every text, the same reject file.
//
//   LogChunk chunk;  chunk.AddPiece(piece, cut, position) ...
//   ParseChunk(settings, chunk);          // on any thread
//   MergeChunk(chunk, target);            // in file order, on one thread

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/huge_block.h"
#include "log/ipv6_table.h"
#include "log/record.h"
#include "log/string_pool.h"
#include "parse/format.h"
#include "parse/reject_reason.h"

namespace tw {

class LogPieceReader;
class ParseContext;
class RecordArray;
class RejectFile;
class VirtualHostColumn;
struct EngineList;

// What every chunk of one file is parsed with.
struct ChunkSettings {
  LogFormat format;
  std::string site_name;
  const EngineList* engines = nullptr;
  bool store_referrers = true;  // as ParseContext::StoreReferrers
};

struct ChunkPools {
  StringPool urls{StringPool::Role::kChunk};
  StringPool referrers{StringPool::Role::kChunk};
  StringPool agents{StringPool::Role::kChunk};
  StringPool phrases{StringPool::Role::kChunk};
  StringPool domains{StringPool::Role::kChunk};
  StringPool hosts{StringPool::Role::kChunk};  // virtual hosts
  Ipv6AddressTable ipv6;
};

class LogChunk {
 public:
  LogChunk();

  // Appends a piece as the reader gave it; `position` is the file position after it.
  void AddPiece(std::string_view piece, bool cut, std::int64_t position);
  // Appends about `bytes` of whole pieces straight from the reader, to be cut
  // into pieces by CutText on the parsing thread. False at the end of the text.
  bool ReadPieces(LogPieceReader& reader, std::size_t bytes);
  // Cuts what ReadPieces appended into pieces, as the reader's Next would.
  void CutText();
  // Room for `bytes` of pieces, so a chunk's text never grows by doubling.
  void Reserve(std::size_t bytes);
  std::size_t Bytes() const { return size_; }
  std::size_t Pieces() const { return ends_.size(); }  // after CutText
  std::string_view Piece(std::size_t i) const;
  std::size_t PieceBegin(std::size_t i) const { return i == 0 ? 0 : ends_[i - 1]; }
  bool Cut(std::size_t i) const { return i == cut_piece_; }
  std::int64_t EndPosition() const { return end_position_; }

  // Empties the chunk for the next use, keeping its buffers.
  void Clear();

  // Filled by ParseChunk.
  std::vector<LogRecord> records;  // the accepted ones, texts in `pools`
  // The records that name a virtual host: their place in `records`, the host in pools.hosts.
  std::vector<std::pair<std::uint32_t, const char*>> virtual_hosts;
  std::vector<std::pair<std::uint32_t, RejectReason>> rejects;  // piece, reason
  ChunkPools pools;
  std::exception_ptr failure;  // set when parsing threw (out of memory)

 private:
  // Grows the text's room to at least `bytes`, keeping what it holds.
  void Room(std::size_t bytes);
  std::string_view Text() const { return {text_, size_}; }

  // The pieces, one after another; raw memory, so a read fills it unzeroed.
  // A large text lives in huge pages (`huge_`), a small one on the heap (`small_`).
  char* text_ = nullptr;
  std::size_t size_ = 0;
  std::size_t room_ = 0;
  HugeBlock huge_;
  std::unique_ptr<char[]> small_;
  std::vector<std::uint32_t> ends_;  // where each piece ends in text_
  std::size_t cut_piece_ = static_cast<std::size_t>(-1);
  bool broke_off_ = false;  // the text broke off right after the chunk's bytes
  char line_end_ = '\n';    // the reader's, for CutText
  std::int64_t end_position_ = 0;
};

// Parses every piece of the chunk into its records, rejects and pools. Crawler
// bits are left for the merge, which judges each agent once for the whole log.
// Never throws: a failure is kept in chunk.failure.
void ParseChunk(const ChunkSettings& settings, LogChunk& chunk);

// Where merged chunks go: the log's shared pools through `shared`, whose
// crawler lists also judge the agents.
struct ChunkTarget {
  const ParseContext* shared = nullptr;
  RecordArray* records = nullptr;
  RejectFile* rejects = nullptr;
  RejectCounts* reasons = nullptr;
  std::int64_t* accepted = nullptr;
  std::int64_t* rejected = nullptr;
  std::int64_t* text_position = nullptr;  // where in the file's text the chunk starts
  VirtualHostColumn* virtual_hosts = nullptr;  // null: the hosts are dropped
};

// Moves a parsed chunk into the log. May throw std::bad_alloc.
void MergeChunk(LogChunk& chunk, const ChunkTarget& target);

// A piece the parser sees no text in: nothing before the line end, or a zero byte first.
bool IsEmptyPiece(std::string_view piece);

// How one piece fares: damaged when cut, empty, or as the format's parser says.
RejectReason ParsePiece(ParseContext& ctx, const LogFormat& format, std::string_view piece,
                        bool cut, LogRecord* slot);

}  // namespace tw
