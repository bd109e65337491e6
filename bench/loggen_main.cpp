// tallyweave-loggen: writes a realistic access log for benchmarks and trials.
//
//   tallyweave-loggen --lines 1000000 --seed 7 www.example-shop.ru-access_log
//
// The program derives the site's own name from the log's file name, so name
// the file after the site: <site>-access_log.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Loggen.h"

namespace {

void Usage(std::FILE* to) {
  std::fputs(
      "usage: tallyweave-loggen --lines N [options] OUTFILE\n"
      "  --lines N          number of lines (required)\n"
      "  --seed S           seed; the same seed gives the same log (default 1)\n"
      "  --start YYYY-MM    first month of the log (default 2025-03)\n"
      "  --month-span M     months covered (default 1)\n"
      "  --site HOST        the site's host name (default www.example-shop.ru)\n"
      "  --robots P         percent of lines from crawlers, tools and scanners (default 30)\n"
      "  --damaged N        damaged lines per 100000 (default 100)\n"
      "  --stats            print counts to standard error\n"
      "OUTFILE '-' writes to standard output. Suggested name: www.example-shop.ru-access_log\n",
      to);
}

bool ParseNumber(const char* text, unsigned long long max, unsigned long long& out) {
  if (text == nullptr || *text < '0' || *text > '9') return false;
  char* end = nullptr;
  errno = 0;
  const unsigned long long v = std::strtoull(text, &end, 10);
  if (errno != 0 || *end != '\0' || v > max) return false;
  out = v;
  return true;
}

bool ParseMonth(const char* text, int& year, int& month) {
  unsigned y = 0, m = 0;
  char tail = 0;
  if (text == nullptr || std::sscanf(text, "%4u-%2u%c", &y, &m, &tail) != 2) return false;
  year = static_cast<int>(y);
  month = static_cast<int>(m);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  tw::loggen::LoggenOptions options;
  bool have_lines = false, print_stats = false;
  const char* out_path = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    unsigned long long n = 0;
    bool ok = true;
    if (arg == "--help" || arg == "-h") {
      Usage(stdout);
      return 0;
    } else if (arg == "--lines") {
      ok = ParseNumber(value, 1ULL << 40, n) && n > 0;
      options.lines = n;
      have_lines = ok;
      ++i;
    } else if (arg == "--seed") {
      ok = ParseNumber(value, ~0ULL, n);
      options.seed = n;
      ++i;
    } else if (arg == "--start") {
      ok = ParseMonth(value, options.start_year, options.start_month);
      ++i;
    } else if (arg == "--month-span") {
      ok = ParseNumber(value, 120, n);
      options.month_span = static_cast<int>(n);
      ++i;
    } else if (arg == "--site") {
      ok = value != nullptr;
      if (ok) options.site_name = value;
      ++i;
    } else if (arg == "--robots") {
      ok = ParseNumber(value, 100, n);
      options.robot_percent = static_cast<int>(n);
      ++i;
    } else if (arg == "--damaged") {
      ok = ParseNumber(value, 100000, n);
      options.malformed_per_100000 = static_cast<int>(n);
      ++i;
    } else if (arg == "--stats") {
      print_stats = true;
    } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
      std::fprintf(stderr, "tallyweave-loggen: unknown option %s\n", arg.c_str());
      Usage(stderr);
      return 2;
    } else if (out_path == nullptr) {
      out_path = argv[i];
    } else {
      ok = false;
    }
    if (!ok) {
      std::fprintf(stderr, "tallyweave-loggen: bad or missing value for %s\n", arg.c_str());
      Usage(stderr);
      return 2;
    }
  }
  if (!have_lines || out_path == nullptr) {
    Usage(stderr);
    return 2;
  }
  if (const std::string problem = tw::loggen::CheckOptions(options); !problem.empty()) {
    std::fprintf(stderr, "tallyweave-loggen: %s\n", problem.c_str());
    return 2;
  }

  const bool to_stdout = std::strcmp(out_path, "-") == 0;
  std::FILE* out = to_stdout ? stdout : std::fopen(out_path, "wb");
  if (out == nullptr) {
    std::fprintf(stderr, "tallyweave-loggen: cannot open %s: %s\n", out_path, std::strerror(errno));
    return 1;
  }
  tw::loggen::LoggenStats stats;
  bool ok = tw::loggen::WriteLog(options, out, &stats);
  if (!to_stdout && std::fclose(out) != 0) ok = false;
  if (!ok) {
    std::fprintf(stderr, "tallyweave-loggen: writing %s failed\n", out_path);
    return 1;
  }
  if (print_stats) {
    const double n = static_cast<double>(stats.lines);
    std::fprintf(stderr,
                 "lines %llu, bytes %llu, average line %.1f bytes\n"
                 "damaged %llu (%.3f%%), robots %llu (%.1f%%), known crawlers %llu (%.1f%%), IPv6 %llu (%.1f%%)\n",
                 static_cast<unsigned long long>(stats.lines), static_cast<unsigned long long>(stats.bytes),
                 static_cast<double>(stats.bytes) / n - 1.0, static_cast<unsigned long long>(stats.malformed_lines),
                 100.0 * static_cast<double>(stats.malformed_lines) / n,
                 static_cast<unsigned long long>(stats.robot_lines), 100.0 * static_cast<double>(stats.robot_lines) / n,
                 static_cast<unsigned long long>(stats.crawler_lines),
                 100.0 * static_cast<double>(stats.crawler_lines) / n, static_cast<unsigned long long>(stats.ipv6_lines),
                 100.0 * static_cast<double>(stats.ipv6_lines) / n);
  }
  return 0;
}
