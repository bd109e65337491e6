// Parses a whole generated log of 1,000,000 lines (held in memory) into records
// and pools, and prints lines per second, MB per second and heap bytes per
// record. Targets: at least 1,500,000 lines per second on one core (Release)
// and at most 100 bytes per record, pools and IPv6 addresses included.
// --ipv4-only parses a log in which no client has an IPv6 address.

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "Bench_support.h"
#include "base/file_access.h"
#include "log/ipv6_table.h"
#include "log/record_array.h"
#include "log/string_pool.h"
#include "parse/crawler_patterns.h"
#include "parse/crawlers.h"
#include "parse/parser.h"
#include "parse/referrer.h"

int main(int argc, char** argv) {
  using namespace tw;
  const std::uint64_t lines = bench::LinesOption(argc, argv, 1'000'000);
  const std::string path =
      bench::GeneratedLog(lines, 1, bench::FlagOption(argc, argv, "--ipv4-only"));

  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return 1;
  std::string text;
  char block[1 << 16];
  for (std::size_t n; (n = std::fread(block, 1, sizeof block, f)) > 0;) text.append(block, n);
  std::fclose(f);

  bench::QuietPlatform platform;
  EngineList engines;
  LoadEngineList(platform.ExeFolder(), engines);

  const std::size_t heap_before = bench::HeapInUse();
  {
    StringPool url_pool, referrer_pool, agent_pool, phrase_pool, domain_pool;
    Ipv6AddressTable ipv6_addresses;
    std::vector<const char*> crawlers;
    std::string error;
    LoadCrawlerList(platform.ExeFolder() + "crawlers.lst", agent_pool, crawlers, error);
    CrawlerPatterns patterns;
    LoadCrawlerPatterns(SystemFiles(), platform.ExeFolder() + kCrawlerPatternFileName, patterns);
    RecordArray records;
    ParseContext ctx;
    ctx.UrlPool = &url_pool;
    ctx.ReferrerPool = &referrer_pool;
    ctx.UserAgentPool = &agent_pool;
    ctx.SearchPhrasePool = &phrase_pool;
    ctx.ReferrerDomainPool = &domain_pool;
    ctx.Ipv6Addresses = &ipv6_addresses;
    ctx.Crawlers = &crawlers;
    ctx.Patterns = &patterns;
    ctx.SiteName = "www.example-shop.ru";
    ctx.Engines = &engines;

    std::size_t pieces = 0;
    bench::Stopwatch watch;
    for (std::size_t pos = 0; pos < text.size();) {
      const char* nl = static_cast<const char*>(std::memchr(text.data() + pos, '\n', text.size() - pos));
      const std::size_t end = nl ? static_cast<std::size_t>(nl - text.data()) + 1 : text.size();
      LogRecord* slot = records.NextSlot();
      if (ParseLogLine(ctx, std::string_view(text).substr(pos, end - pos), slot)) records.Commit();
      ++pieces;
      pos = end;
    }
    const double wall = watch.Seconds();
    const double seconds = watch.CpuSeconds();
    const std::size_t heap = bench::HeapInUse() - heap_before;
    const double per_record = static_cast<double>(heap) / records.Count();
    const std::size_t pools = url_pool.MemoryUsage() + referrer_pool.MemoryUsage() +
                              agent_pool.MemoryUsage() + phrase_pool.MemoryUsage() +
                              domain_pool.MemoryUsage();
    std::printf("parse: %zu lines (%d accepted) of %.1f MB in %.3f s CPU (%.3f s wall)\n", pieces,
                records.Count(), text.size() / 1e6, seconds, wall);
    std::printf("parse: %.0f lines/s, %.1f MB/s (one core, CPU time)\n", pieces / seconds, text.size() / 1e6 / seconds);
    std::printf("parse: %.1f heap bytes per record (records %.1f, pools %.1f)\n", per_record,
                static_cast<double>(records.MemoryUsage()) / records.Count(),
                static_cast<double>(pools) / records.Count());
    std::printf("parse: distinct urls %zu, referrers %zu, agents %zu, phrases %zu, domains %zu, "
                "IPv6 addresses %zu\n",
                url_pool.Count(), referrer_pool.Count(), agent_pool.Count(), phrase_pool.Count(),
                domain_pool.Count(), ipv6_addresses.Count());
    std::printf("parse: %zu user agents tested against %zu crawler patterns\n", patterns.Tests(),
                patterns.Count());
  }
  return 0;
}
