#include "load/chunk.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "load/line_reader.h"
#include "load/reject_file.h"
#include "log/record_array.h"
#include "log/virtual_hosts.h"
#include "parse/parser.h"

namespace tw {
namespace {

constexpr std::size_t kNoPiece = static_cast<std::size_t>(-1);

// Points every text of a chunk pool at its copy in the shared pool. Texts go in
// the order they first came, so a text new to the log keeps the spelling of its
// first line; a text the log already holds keeps the log's.
void ForwardTexts(const StringPool& chunk_pool, StringPool& shared) {
  for (const StringPool::Entry& e : chunk_pool.Entries()) {
    StringPool::SetForward(e.text, shared.InternHashed({e.text, e.length}, e.hash));
  }
}

// The shared index of each of the chunk's IPv6 addresses, in the order they came.
std::vector<std::uint32_t> ForwardAddresses(const Ipv6AddressTable& chunk_table,
                                            Ipv6AddressTable* shared) {
  std::vector<std::uint32_t> index(chunk_table.Count(), 0);
  if (shared == nullptr) return index;
  for (std::uint32_t i = 0; i < chunk_table.Count(); ++i) index[i] = shared->Add(chunk_table.At(i));
  return index;
}

const char* Forwarded(const char* text) {
  return text == nullptr ? nullptr : StringPool::Forward(text);
}

// The chunk's virtual hosts, for its records now from `first` on in the log.
void MergeVirtualHosts(const LogChunk& chunk, std::int32_t first, VirtualHostColumn& hosts) {
  ForwardTexts(chunk.pools.hosts, hosts.Pool());
  for (const auto& [place, host] : chunk.virtual_hosts) {
    hosts.Set(first + static_cast<std::int32_t>(place), StringPool::Forward(host));
  }
}

}  // namespace

bool IsEmptyPiece(std::string_view piece) {
  return piece.front() == '\0' || piece == "\n" || piece == "\r\n" || piece == "\r";
}

RejectReason ParsePiece(ParseContext& ctx, const LogFormat& format, std::string_view piece,
                        bool cut, LogRecord* slot) {
  if (cut) return RejectReason::kDamagedData;
  // The parser reads a piece up to its first zero byte.
  if (IsEmptyPiece(piece)) return RejectReason::kEmptyLine;
  return ParseLogLineAs(ctx, format, piece, slot);
}

LogChunk::LogChunk() = default;

void LogChunk::Reserve(std::size_t bytes) { Room(bytes); }

void LogChunk::Room(std::size_t bytes) {
  if (bytes <= room_) return;
  bytes = std::max(bytes, room_ + room_ / 2);  // pieces added one by one grow it in steps
  // From half a huge page up, whole huge pages: a fresh chunk is then filled
  // at the cost of one page fault.
  if (bytes >= HugeBlock::kBytes / 2) {
    HugeBlock grown((bytes + HugeBlock::kBytes - 1) / HugeBlock::kBytes * HugeBlock::kBytes);
    if (size_ > 0) std::memcpy(grown.Data(), text_, size_);
    huge_ = std::move(grown);
    small_.reset();
    text_ = static_cast<char*>(huge_.Data());
    room_ = huge_.Bytes();
  } else {
    auto grown = std::make_unique_for_overwrite<char[]>(bytes);
    if (size_ > 0) std::memcpy(grown.get(), text_, size_);
    small_ = std::move(grown);
    text_ = small_.get();
    room_ = bytes;
  }
}

void LogChunk::AddPiece(std::string_view piece, bool cut, std::int64_t position) {
  if (cut) cut_piece_ = ends_.size();
  Room(size_ + piece.size());
  if (!piece.empty()) std::memcpy(text_ + size_, piece.data(), piece.size());
  size_ += piece.size();
  ends_.push_back(static_cast<std::uint32_t>(size_));
  end_position_ = position;
}

bool LogChunk::ReadPieces(LogPieceReader& reader, std::size_t bytes) {
  Room(size_ + bytes + LogPieceReader::kMaxPiece);
  const std::size_t got = reader.NextPieces(text_ + size_, bytes);
  if (got == 0) return false;
  size_ += got;
  broke_off_ = reader.LastPieceCut();
  line_end_ = reader.LineEnd();
  end_position_ = reader.FilePosition();
  return true;
}

void LogChunk::CutText() {
  const std::size_t from = ends_.empty() ? 0 : ends_.back();
  bool last_has_line_end = true;
  CutPieces(Text().substr(from), line_end_, [&](std::size_t end, bool has_line_end) {
    ends_.push_back(static_cast<std::uint32_t>(from + end));
    last_has_line_end = has_line_end;
  });
  // Only the text's very last piece can be cut: no line end, and shorter than a full piece.
  if (broke_off_ && !last_has_line_end && ends_.size() > 0 &&
      Piece(ends_.size() - 1).size() < LogPieceReader::kMaxPiece) {
    cut_piece_ = ends_.size() - 1;
  }
}

std::string_view LogChunk::Piece(std::size_t i) const {
  const std::size_t begin = PieceBegin(i);
  return Text().substr(begin, ends_[i] - begin);
}

void LogChunk::Clear() {
  size_ = 0;
  ends_.clear();
  cut_piece_ = kNoPiece;
  broke_off_ = false;
  line_end_ = '\n';
  end_position_ = 0;
  records.clear();
  virtual_hosts.clear();
  rejects.clear();
  pools.urls.Clear();
  pools.referrers.Clear();
  pools.agents.Clear();
  pools.phrases.Clear();
  pools.domains.Clear();
  pools.hosts.Clear();
  pools.ipv6 = Ipv6AddressTable();
  failure = nullptr;
}

void ParseChunk(const ChunkSettings& settings, LogChunk& chunk) {
  try {
    ParseContext ctx;
    ctx.UrlPool = &chunk.pools.urls;
    ctx.ReferrerPool = &chunk.pools.referrers;
    ctx.UserAgentPool = &chunk.pools.agents;
    ctx.SearchPhrasePool = &chunk.pools.phrases;
    ctx.ReferrerDomainPool = &chunk.pools.domains;
    ctx.VirtualHostPool = &chunk.pools.hosts;
    ctx.Ipv6Addresses = &chunk.pools.ipv6;
    ctx.SiteName = settings.site_name;
    ctx.Engines = settings.engines;
    ctx.StoreReferrers = settings.store_referrers;
    chunk.CutText();
    // With room to spare: chunks differ a little in their pieces, and a record
    // array that grows for each slightly longer chunk costs fresh memory each time.
    if (chunk.records.capacity() < chunk.Pieces()) chunk.records.reserve(chunk.Pieces() * 5 / 4);
    LogRecord record;
    for (std::size_t i = 0; i < chunk.Pieces(); ++i) {
      record = LogRecord{};
      const RejectReason reason =
          ParsePiece(ctx, settings.format, chunk.Piece(i), chunk.Cut(i), &record);
      if (reason == RejectReason::kAccepted) {
        if (const char* host = ctx.StoredVirtualHost()) {
          chunk.virtual_hosts.emplace_back(static_cast<std::uint32_t>(chunk.records.size()), host);
        }
        chunk.records.push_back(record);
      } else {
        chunk.rejects.emplace_back(static_cast<std::uint32_t>(i), reason);
      }
    }
  } catch (...) {
    chunk.failure = std::current_exception();
  }
}

void MergeChunk(LogChunk& chunk, const ChunkTarget& target) {
  const ParseContext& shared = *target.shared;
  ForwardTexts(chunk.pools.urls, *shared.UrlPool);
  ForwardTexts(chunk.pools.referrers, *shared.ReferrerPool);
  ForwardTexts(chunk.pools.agents, *shared.UserAgentPool);
  ForwardTexts(chunk.pools.phrases, *shared.SearchPhrasePool);
  ForwardTexts(chunk.pools.domains, *shared.ReferrerDomainPool);
  const std::vector<std::uint32_t> addresses =
      ForwardAddresses(chunk.pools.ipv6, shared.Ipv6Addresses);
  const std::int32_t first = target.records->Count();

  for (LogRecord record : chunk.records) {
    record.SetUrl(Forwarded(record.Url()));
    record.SetReferrer(Forwarded(record.Referrer()));
    record.SetUserAgent(Forwarded(record.UserAgent()));
    record.SetSearchPhrase(Forwarded(record.SearchPhrase()));
    record.SetReferrerDomain(Forwarded(record.ReferrerDomain()));
    record.IsCrawler = CrawlerBit(shared, record.UserAgent());
    if (record.IsIpv6) {
      // Without a shared table an IPv6 client counts as a host name, as on one thread.
      record.ClientIp = shared.Ipv6Addresses != nullptr ? addresses[record.ClientIp] : 0;
      record.IsIpv6 = shared.Ipv6Addresses != nullptr ? 1 : 0;
    }
    target.records->Append(record);
  }
  if (target.virtual_hosts != nullptr) MergeVirtualHosts(chunk, first, *target.virtual_hosts);
  *target.accepted += static_cast<std::int64_t>(chunk.records.size());
  for (const auto& [piece, reason] : chunk.rejects) {
    ++(*target.reasons)[static_cast<std::size_t>(reason)];
    target.rejects->Write(chunk.Piece(piece),
                          *target.text_position + static_cast<std::int64_t>(chunk.PieceBegin(piece)));
  }
  *target.rejected += static_cast<std::int64_t>(chunk.rejects.size());
  *target.text_position += static_cast<std::int64_t>(chunk.Bytes());
}

}  // namespace tw
