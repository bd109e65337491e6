#include "load/loader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <chrono>
#include <cstdint>
#include <deque>
#include <exception>
#include <new>

#include "base/release_memory.h"
#include "load/chunk.h"
#include "load/chunk_workers.h"
#include "load/reject_file.h"
#include "load/sample.h"
#include "parse/crawler_patterns.h"
#include "parse/crawlers.h"
#include "parse/parser.h"
#include "parse/site_name.h"

namespace tw {
namespace {

// Pieces between two looks at the clock, and the time between two ticks.
constexpr std::uint32_t kPiecesPerClockCheck = 4096;
constexpr auto kTickInterval = std::chrono::milliseconds(100);
// Text per chunk when a file is parsed on several threads: with the piece it
// may run over, one huge page.
constexpr std::size_t kChunkBytes = HugeBlock::kBytes - LogPieceReader::kMaxPiece;

bool Cancelled(const LoadRequest& request) {
  return request.cancel != nullptr && request.cancel->load(std::memory_order_relaxed);
}

// Reports the share of one file read, and ticks about every 100 ms.
class Progress {
 public:
  Progress(const LoadRequest& request, const std::string& path, std::int64_t size)
      : request_(request), path_(path), size_(size) {}

  void Start() {
    shown_ = LoadPercent(0, size_);
    if (request_.on_progress) request_.on_progress(path_, shown_);
    if (request_.on_tick) request_.on_tick();
    last_tick_ = std::chrono::steady_clock::now();
  }
  void Step(std::int64_t position) {
    const int percent = LoadPercent(position, size_);
    if (percent != shown_) {
      shown_ = percent;
      if (request_.on_progress) request_.on_progress(path_, percent);
    }
    if (--pieces_to_clock_check_ != 0) return;
    Tick();
  }
  // After a chunk: the share read, and a tick when one is due.
  void Reached(std::int64_t position) {
    pieces_to_clock_check_ = 1;
    Step(position);
  }

 private:
  void Tick() {
    pieces_to_clock_check_ = kPiecesPerClockCheck;
    const auto now = std::chrono::steady_clock::now();
    if (now - last_tick_ < kTickInterval) return;
    last_tick_ = now;
    if (request_.on_tick) request_.on_tick();
  }

  const LoadRequest& request_;
  const std::string& path_;
  std::int64_t size_;
  int shown_ = 0;
  std::uint32_t pieces_to_clock_check_ = kPiecesPerClockCheck;
  std::chrono::steady_clock::time_point last_tick_;
};

// The first pieces of a file, copied, since a stream cannot go back to them
// once detection has looked at them.
LogFormat FormatOf(ParseContext& ctx, const std::optional<LogFormat>& given,
                   LogPieceReader& reader, Sample& sample) {
  if (given) return *given;
  ReadSample(reader, sample);
  return DetectLogFormat(ctx, sample.non_empty);
}

ParseContext ContextOf(LoadedLog& log, const LoadRequest& request,
                       const CrawlerPatterns& patterns) {
  ParseContext ctx;
  ctx.UrlPool = log.url_pool.get();
  ctx.ReferrerPool = log.referrer_pool.get();
  ctx.UserAgentPool = log.user_agent_pool.get();
  ctx.SearchPhrasePool = log.search_phrase_pool.get();
  ctx.ReferrerDomainPool = log.referrer_domain_pool.get();
  ctx.Ipv6Addresses = log.ipv6_addresses.get();
  ctx.VirtualHostPool = &log.virtual_hosts->Pool();
  ctx.Crawlers = &log.crawlers;
  ctx.Patterns = &patterns;
  ctx.SiteName = log.site_name;
  ctx.Engines = request.engines;
  ctx.StoreReferrers = request.keep_referrers;
  return ctx;
}

// One file of the reading order, with its format once known.
struct PlannedFile {
  std::size_t source = 0;
  std::optional<LogFormat> format;
  bool has_time = false;
  LogTime first_time = 0;
};

// Reads a file up to its first accepted record, into pools of its own, to
// learn its format and the time it starts at.
void ScanFile(const LoadRequest& request, const LogSource& source, PlannedFile& plan) {
  LogPieceReader reader;
  if (reader.Open(*request.files, source.path) != LogPieceReader::OpenResult::kOpened) return;
  StringPool urls, referrers, agents, phrases, domains;
  ParseContext ctx;
  ctx.UrlPool = &urls;
  ctx.ReferrerPool = &referrers;
  ctx.UserAgentPool = &agents;
  ctx.SearchPhrasePool = &phrases;
  ctx.ReferrerDomainPool = &domains;
  ctx.Engines = request.engines;
  Sample sample;
  const LogFormat format = FormatOf(ctx, source.format, reader, sample);
  plan.format = format;
  LogRecord record{};
  auto accepts = [&](std::string_view piece, bool cut) {
    record = LogRecord{};
    if (ParsePiece(ctx, format, piece, cut, &record) != RejectReason::kAccepted) return false;
    plan.has_time = true;
    plan.first_time = record.LogTime;
    return true;
  };
  bool found = false;
  sample.Replay([&](std::string_view piece, bool cut) { return !(found = accepts(piece, cut)); },
                [](std::int64_t) {});
  if (found) return;
  std::string_view piece;
  while (!Cancelled(request) && reader.Next(piece)) {
    if (accepts(piece, reader.LastPieceCut())) return;
  }
}

std::vector<PlannedFile> PlanReadingOrder(const LoadRequest& request) {
  std::vector<PlannedFile> plan(request.sources.size());
  for (std::size_t i = 0; i < plan.size(); ++i) {
    plan[i].source = i;
    plan[i].format = request.sources[i].format;
  }
  if (plan.size() < 2) return plan;
  for (PlannedFile& p : plan) {
    if (Cancelled(request)) return plan;
    ScanFile(request, request.sources[p.source], p);
  }
  std::stable_sort(plan.begin(), plan.end(), [](const PlannedFile& a, const PlannedFile& b) {
    if (a.has_time != b.has_time) return a.has_time;
    return a.has_time && CompareLogTime(a.first_time, b.first_time) < 0;
  });
  return plan;
}

// The pieces of a file, from its sample on, parsed in chunks on several
// threads and merged in file order.
void ReadInChunks(const LoadRequest& request, ParseContext& ctx, LogPieceReader& reader,
                  Sample& sample, Progress& progress, RejectFile& rejects, LoadedFile& file,
                  LoadedLog& log) {
  const ChunkSettings settings{file.format, ctx.SiteName, ctx.Engines, ctx.StoreReferrers};
  const std::size_t chunk_bytes = request.chunk_bytes != 0 ? request.chunk_bytes : kChunkBytes;
  std::int64_t text_position = 0;
  const ChunkTarget target{&ctx,          log.records.get(), &rejects,       &log.reasons,
                           &file.records, &file.rejected,    &text_position, log.virtual_hosts.get()};
  std::deque<std::unique_ptr<LogChunk>> in_flight;
  std::vector<std::unique_ptr<LogChunk>> spare;
  std::unique_ptr<LogChunk> filling;
  // The merge fills record blocks that the parsing threads back with memory
  // between chunks: fresh memory costs more than the merge's own work.
  log.records->MapBlocksAhead();
  struct DropAheadAtEnd {  // once the threads below have stopped
    RecordArray* records;
    ~DropAheadAtEnd() { records->DropBlockAhead(); }
  } drop_ahead{log.records.get()};
  // Declared last, so it stops its threads before the chunks they read go.
  ChunkWorkers workers(LoadThreads(request.threads), settings,
                       [records = log.records.get()] { records->PrepareBlockAhead(); });

  auto merge_oldest = [&] {
    std::unique_ptr<LogChunk> chunk = std::move(in_flight.front());
    in_flight.pop_front();
    workers.WaitFor(chunk.get());
    if (chunk->failure) std::rethrow_exception(chunk->failure);
    MergeChunk(*chunk, target);
    progress.Reached(chunk->EndPosition());
    chunk->Clear();
    spare.push_back(std::move(chunk));
  };
  auto submit = [&] {
    in_flight.push_back(std::move(filling));
    workers.Submit(in_flight.back().get());
    while (in_flight.size() >= workers.MaxInFlight() && !Cancelled(request)) merge_oldest();
  };
  auto take_chunk = [&] {
    if (filling) return;
    if (spare.empty()) {
      filling = std::make_unique<LogChunk>();
      filling->Reserve(chunk_bytes + LogPieceReader::kMaxPiece);
    } else {
      filling = std::move(spare.back());
      spare.pop_back();
    }
  };

  // The sample's pieces were read one by one; the rest goes to the chunks as
  // it comes, and the parsing threads cut it into pieces.
  // An entry's pieces all take the position after its last one.
  for (const SamplePiece& p : sample.pieces) {
    for (std::int64_t i = 0; i < p.repeat; ++i) {
      take_chunk();
      filling->AddPiece(p.text, p.cut, p.position);
      if (filling->Bytes() >= chunk_bytes) submit();
    }
  }
  sample = Sample();
  while (!Cancelled(request)) {
    take_chunk();
    if (!filling->ReadPieces(reader, chunk_bytes - std::min(chunk_bytes, filling->Bytes()))) break;
    if (filling->Bytes() >= chunk_bytes) submit();
  }
  if (filling && filling->Bytes() > 0 && !Cancelled(request)) submit();
  while (!in_flight.empty() && !Cancelled(request)) merge_oldest();
}

void CloseFile(LogPieceReader& reader, RejectFile& rejects, LoadedFile& file, LoadedLog& log);

// Reads one file into the log.
void ReadFile(const LoadRequest& request, ParseContext& ctx, const std::optional<LogFormat>& given,
              LoadedFile& file, LoadedLog& log) {
  LogPieceReader reader;
  const LogPieceReader::OpenResult opened = reader.Open(*request.files, file.path);
  if (opened != LogPieceReader::OpenResult::kOpened) {
    // A file replaced since it was checked counts as one that cannot be opened.
    file.outcome = LoadedFile::Outcome::kCannotOpen;
    file.open_error = opened == LogPieceReader::OpenResult::kCannotOpen ? reader.OpenError() : EINVAL;
    return;
  }
  file.compression = reader.compression();
  file.reject_path = file.path + ".err";
  DeleteRejectFile(*request.files, file.reject_path);
  RejectFile rejects(file.reject_path, *request.files, request.reject_limit);
  Progress progress(request, file.path, reader.Size());
  progress.Start();

  Sample sample;
  file.format = FormatOf(ctx, given, reader, sample);
  const std::size_t chunk_bytes = request.chunk_bytes != 0 ? request.chunk_bytes : kChunkBytes;
  if (LoadThreads(request.threads) > 1 && reader.Size() > static_cast<std::int64_t>(chunk_bytes)) {
    ReadInChunks(request, ctx, reader, sample, progress, rejects, file, log);
    ReleaseFreedMemory();
    CloseFile(reader, rejects, file, log);
    return;
  }
  std::int64_t text_position = 0;  // where the next piece starts
  auto take = [&](std::string_view piece, bool cut) {
    LogRecord* slot = log.records->NextSlot();
    const RejectReason reason = ParsePiece(ctx, file.format, piece, cut, slot);
    text_position += static_cast<std::int64_t>(piece.size());
    if (reason == RejectReason::kAccepted) {
      log.records->Commit();
      if (const char* host = ctx.StoredVirtualHost()) {
        log.virtual_hosts->Set(log.records->Count() - 1, host);
      }
      ++file.records;
      return;
    }
    ++file.rejected;
    ++log.reasons[static_cast<std::size_t>(reason)];
    rejects.Write(piece, text_position - static_cast<std::int64_t>(piece.size()));
  };
  sample.Replay(
      [&](std::string_view piece, bool cut) {
        if (Cancelled(request)) return false;
        take(piece, cut);
        return true;
      },
      [&](std::int64_t position) { progress.Step(position); });
  sample = Sample();
  std::string_view piece;
  while (!Cancelled(request) && reader.Next(piece)) {
    take(piece, reader.LastPieceCut());
    progress.Step(reader.FilePosition());
  }
  CloseFile(reader, rejects, file, log);
}

// The end of reading a file: its reject file closed, its outcome known.
void CloseFile(LogPieceReader& reader, RejectFile& rejects, LoadedFile& file, LoadedLog& log) {
  rejects.Close();
  file.reject_error = rejects.error();
  file.reject_cut_at = rejects.cut_at();
  file.reject_limit = rejects.limit();
  log.rejected += file.rejected;
  const InputError error = reader.Error();
  if (error.kind != InputError::Kind::kNone) {
    file.outcome = LoadedFile::Outcome::kBroken;
    file.broken = error;
  }
}

}  // namespace

LoadRefusal CheckLogSources(FileAccess& files, const std::vector<LogSource>& sources) {
  for (const LogSource& source : sources) {
    LogPieceReader reader;
    const LogPieceReader::OpenResult opened = reader.Open(files, source.path);
    if (opened == LogPieceReader::OpenResult::kNotRegularFile) {
      return {LoadRefusal::Kind::kNotRegularFile, source.path, {}};
    }
    if (opened == LogPieceReader::OpenResult::kZipArchive) {
      return {LoadRefusal::Kind::kZipArchive, source.path, {}};
    }
  }
  return {};
}

LoadRefusal LoadLogSources(const LoadRequest& request, LoadedLog& log) {
  if (LoadRefusal refusal = CheckLogSources(*request.files, request.sources);
      refusal.kind != LoadRefusal::Kind::kNone) {
    return refusal;
  }
  log = LoadedLog();
  log.url_pool = std::make_unique<StringPool>();
  log.referrer_pool = std::make_unique<StringPool>();
  log.user_agent_pool = std::make_unique<StringPool>();
  std::string crawler_text;
  if (const int error = ReadListFile(*request.files, request.crawler_path, crawler_text);
      error != 0) {
    log = LoadedLog();
    return {LoadRefusal::Kind::kNoCrawlerList, request.crawler_path, std::strerror(error)};
  }
  ParseCrawlerList(crawler_text, *log.user_agent_pool, log.crawlers);
  CrawlerPatterns patterns;
  LoadCrawlerPatterns(*request.files, CrawlerPatternPathBeside(request.crawler_path), patterns);
  log.search_phrase_pool = std::make_unique<StringPool>();
  log.referrer_domain_pool = std::make_unique<StringPool>();
  log.ipv6_addresses = std::make_unique<Ipv6AddressTable>();
  log.records = std::make_unique<RecordArray>();
  log.virtual_hosts = std::make_unique<VirtualHostColumn>(*log.records);

  const std::vector<PlannedFile> plan = PlanReadingOrder(request);
  for (const PlannedFile& p : plan) {
    LoadedFile file;
    file.path = request.sources[p.source].path;
    log.files.push_back(std::move(file));
  }
  if (!log.files.empty()) log.site_name = SiteNameOfLogPath(log.files.front().path);
  ParseContext ctx = ContextOf(log, request, patterns);
  for (std::size_t i = 0; i < plan.size(); ++i) {
    if (Cancelled(request)) break;
    if (request.on_file) request.on_file(i, plan[i].source);
    ReadFile(request, ctx, plan[i].format, log.files[i], log);
  }
  if (Cancelled(request)) {
    log = LoadedLog();
    ReleaseFreedMemory();
    return {LoadRefusal::Kind::kCancelled, {}, {}};
  }
  // A log that could not be opened names no site.
  if (!log.files.empty() && log.files.front().outcome == LoadedFile::Outcome::kCannotOpen) {
    log.site_name.clear();
  }
  return {};
}

LoadRefusal RunLoad(const LoadRequest& request, LoadedLog& log) {
  try {
    return LoadLogSources(request, log);
  } catch (const std::bad_alloc&) {
    // Unwinding freed what the pieces held; the log's own parts go here.
    log = LoadedLog();
    return {LoadRefusal::Kind::kOutOfMemory, {}, {}};
  }
}

}  // namespace tw
