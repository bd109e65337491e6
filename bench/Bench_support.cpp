#include "Bench_support.h"

#include <malloc.h>
#include <sys/resource.h>

#include <cstdio>
#include <ctime>
#include <cstring>
#include <filesystem>

#include "Loggen.h"
#include "base/text_arena.h"

namespace tw::bench {

namespace {
std::string BinaryFolder() { return HeadlessPlatform().ExeFolder(); }
}  // namespace

std::string GeneratedLog(std::uint64_t lines, std::uint64_t seed, bool ipv4_only) {
  const std::string path = BinaryFolder() + "bench-" + std::to_string(lines) + "-" +
                           std::to_string(seed) + (ipv4_only ? "-ipv4" : "") + ".log";
  if (std::filesystem::exists(path)) return path;
  loggen::LoggenOptions options;
  options.lines = lines;
  options.seed = seed;
  if (ipv4_only) options.ipv6_percent = 0;
  const std::string temp = path + ".part";
  std::FILE* out = std::fopen(temp.c_str(), "wb");
  if (out == nullptr || !loggen::WriteLog(options, out, nullptr) || std::fclose(out) != 0) {
    std::fprintf(stderr, "cannot write %s\n", temp.c_str());
    std::exit(1);
  }
  std::filesystem::rename(temp, path);
  return path;
}

double ThreadCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

std::size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd + tw::TextArena::BytesInUse();
}

std::size_t PeakResident() {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<std::size_t>(usage.ru_maxrss) * 1024;
}

std::uint64_t LinesOption(int argc, char** argv, std::uint64_t fallback) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--lines") == 0) return std::strtoull(argv[i + 1], nullptr, 10);
  }
  return fallback;
}

bool FlagOption(int argc, char** argv, const char* flag) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], flag) == 0) return true;
  }
  return false;
}

}  // namespace tw::bench
