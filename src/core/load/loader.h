#pragma once

// Loading as a function: a list of log files in, one loaded log out. Nothing
// here touches the window; progress goes out through the request's callbacks,
// so the same function can run on a worker thread.
//
// Several files are read as one log, oldest first: in the order of the time
// of each file's first accepted record, files without one last, equal times
// in the order given. Records keep that order, file by file, and share one
// set of pools. Each file's rejected pieces go to its own path + ".err".

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/file_access.h"
#include "load/decompress.h"
#include "load/line_reader.h"
#include "load/reject_file.h"
#include "log/ipv6_table.h"
#include "log/record_array.h"
#include "log/string_pool.h"
#include "log/virtual_hosts.h"
#include "parse/format.h"
#include "parse/referrer.h"
#include "parse/reject_reason.h"

namespace tw {

struct LogSource {
  std::string path;
  std::optional<LogFormat> format;  // none: recognised from the file's first pieces
};

// What happened to one file of a load.
struct LoadedFile {
  enum class Outcome {
    kRead,        // read to its end
    kCannotOpen,  // nothing read: see open_error
    kBroken,      // read up to a failed read or damaged data: see broken
  };
  std::string path;
  Outcome outcome = Outcome::kRead;
  int open_error = 0;
  InputError broken;
  Compression compression = Compression::kNone;
  LogFormat format;
  std::int64_t records = 0;
  std::int64_t rejected = 0;
  std::string reject_path;
  int reject_error = 0;  // errno when the reject file could not be written
  // Where in the file's text the reject file stopped at its limit, reject_limit
  // bytes; -1: it holds every reject.
  std::int64_t reject_cut_at = -1;
  std::int64_t reject_limit = kRejectFileLimit;
};

struct LoadedLog {
  std::unique_ptr<RecordArray> records;
  std::unique_ptr<StringPool> url_pool;
  std::unique_ptr<StringPool> referrer_pool;
  std::unique_ptr<StringPool> user_agent_pool;
  std::unique_ptr<StringPool> search_phrase_pool;
  std::unique_ptr<StringPool> referrer_domain_pool;
  std::unique_ptr<Ipv6AddressTable> ipv6_addresses;  // clients of IPv6 records
  std::unique_ptr<VirtualHostColumn> virtual_hosts;  // of the records whose lines name one
  std::vector<const char*> crawlers;  // pooled in user_agent_pool
  std::string site_name;
  std::vector<LoadedFile> files;  // in reading order
  RejectCounts reasons{};
  std::int64_t rejected = 0;
};

struct LoadRequest {
  std::vector<LogSource> sources;
  std::string crawler_path;  // crawler-patterns.lst, if there, is read from its folder
  const EngineList* engines = nullptr;
  FileAccess* files = &SystemFiles();
  // Called when a file starts and whenever its share read changes.
  std::function<void(const std::string& path, int percent)> on_progress;
  // Called when a file starts and about every 100 ms while it is read.
  std::function<void()> on_tick;
  // Called when a file starts: its place in the reading order and its index
  // in `sources`.
  std::function<void(std::size_t place, std::size_t source)> on_file;
  // Looked at between pieces; once true the load stops and gives kCancelled.
  const std::atomic<bool>* cancel = nullptr;
  // Threads that parse: 0 for one per core. With more than one, a file larger
  // than a chunk is parsed in chunks of about `chunk_bytes` (0: 2 MiB); the
  // log is the same either way.
  unsigned threads = 0;
  std::size_t chunk_bytes = 0;
  // False leaves each record's referrer out, with its domain, kind, engine and
  // search phrase (null texts, RefExternal, engine 0): for a caller whose only
  // report reads none of them. Everything else, the rejects included, is the same.
  bool keep_referrers = true;
  // The most bytes each reject file holds; tests set a small one.
  std::int64_t reject_limit = kRejectFileLimit;
};

// Why a load gave no log.
struct LoadRefusal {
  enum class Kind {
    kNone,
    kNotRegularFile,  // path: a folder, FIFO, device or socket
    kZipArchive,      // path
    kNoCrawlerList,   // path is the crawler list, reason the system's text
    kCancelled,       // the request's cancel flag was set before the load ended
    kOutOfMemory,     // given only by RunLoad
  };
  Kind kind = Kind::kNone;
  std::string path;
  std::string reason;
};

// Looks at every source as the load would, without reading any: the first
// file that can never be a log, or kind kNone.
LoadRefusal CheckLogSources(FileAccess& files, const std::vector<LogSource>& sources);

// Loads the sources into `log`. On a refusal or a cancel `log` holds nothing.
// May throw std::bad_alloc, leaving `log` partly filled.
LoadRefusal LoadLogSources(const LoadRequest& request, LoadedLog& log);

// LoadLogSources for a thread of its own: running out of memory gives
// kOutOfMemory and an empty `log` instead of an exception.
LoadRefusal RunLoad(const LoadRequest& request, LoadedLog& log);

}  // namespace tw
