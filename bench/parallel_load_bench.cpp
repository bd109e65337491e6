// A load of a generated log of 1,000,000 lines on one thread and on one
// thread per core, alternated in one run, as wall time: the request the window
// gives its worker, run as the worker runs it. The two logs are compared
// record by record, texts by their spelling.
// Target: 3,000,000 lines per second on every core of a two-core machine.

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <utility>

#include "Bench_support.h"
#include "form/form.h"
#include "load/chunk_workers.h"
#include "load/loader.h"

namespace {

bool SameText(const char* a, const char* b) {
  return a == nullptr || b == nullptr ? a == b : std::strcmp(a, b) == 0;
}

bool SameLog(const tw::LoadedLog& a, const tw::LoadedLog& b) {
  if (a.records->Count() != b.records->Count() || a.rejected != b.rejected) return false;
  for (std::int32_t i = 0; i < a.records->Count(); ++i) {
    const tw::LogRecord& x = *(*a.records)[i];
    const tw::LogRecord& y = *(*b.records)[i];
    if (!SameText(x.Url(), y.Url()) || !SameText(x.Referrer(), y.Referrer()) ||
        !SameText(x.UserAgent(), y.UserAgent()) || !SameText(x.SearchPhrase(), y.SearchPhrase()) ||
        !SameText(x.ReferrerDomain(), y.ReferrerDomain()) || x.ClientIp != y.ClientIp ||
        x.IsIpv6 != y.IsIpv6 || x.LogTime != y.LogTime || x.Status != y.Status ||
        x.Bytes != y.Bytes || x.IsCrawler != y.IsCrawler || x.EngineIndex != y.EngineIndex ||
        x.ReferrerKind != y.ReferrerKind) {
      return false;
    }
  }
  return true;
}

// CPU seconds of every thread of this process so far: user, system.
std::pair<double, double> ProcessCpu() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return {seconds(usage.ru_utime), seconds(usage.ru_stime)};
}

// Wall seconds of one load on `threads` threads (0: one per core); prints its CPU time.
double TimeLoad(tw::LoadRequest request, unsigned threads, tw::LoadedLog& log) {
  request.threads = threads;
  const auto [user_before, system_before] = ProcessCpu();
  tw::bench::Stopwatch watch;
  tw::RunLoad(request, log);
  const double wall = watch.Seconds();
  const auto [user_after, system_after] = ProcessCpu();
  std::printf("  %u thread(s): %.3f s wall, CPU %.3f s user + %.3f s system\n",
              tw::LoadThreads(threads), wall, user_after - user_before,
              system_after - system_before);
  return wall;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tw;
  const std::uint64_t lines = bench::LinesOption(argc, argv, 1'000'000);
  const std::string path = bench::GeneratedLog(lines, 1);
  bench::QuietPlatform platform;
  TSDIAppForm form(platform);
  std::optional<LoadRequest> request = form.PrepareLoad({path});
  if (!request) return 1;
  // --chunk-kib N tries another chunk size than the loader's own.
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--chunk-kib") == 0) {
      request->chunk_bytes = std::strtoull(argv[i + 1], nullptr, 10) * 1024;
    }
  }

  LoadedLog one, many;
  TimeLoad(*request, 1, one);  // warms the file cache
  double best_one = 1e9, best_many = 1e9;
  for (int run = 0; run < 3; ++run) {
    one = LoadedLog();
    many = LoadedLog();
    const double t1 = TimeLoad(*request, 1, one);
    const double tn = TimeLoad(*request, 0, many);
    std::printf("run %d: one thread %.3f s, %u threads %.3f s\n", run + 1, t1,
                LoadThreads(0), tn);
    if (t1 < best_one) best_one = t1;
    if (tn < best_many) best_many = tn;
  }
  const double pieces = static_cast<double>(many.records->Count() + many.rejected);
  std::printf("load, best of 3: one thread %.0f lines/s, every core (%u) %.0f lines/s, %.2fx\n",
              pieces / best_one, LoadThreads(0), pieces / best_many, best_one / best_many);
  const bool same = SameLog(one, many);
  std::printf("the two logs are %s\n", same ? "the same" : "DIFFERENT");
  return same ? 0 : 1;
}
