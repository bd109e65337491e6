// Loading the same generated log of 1,000,000 lines plain, packed with gzip,
// packed with zstd and cut into four files given newest first, in one run,
// beside the time zcat and zstdcat alone need to unpack it.
// Times are CPU time (of this thread for a load, of the child for a packer),
// so a busy machine does not distort them.
// Targets: a gzip load within 1.3 times zcat plus a plain load; four files no
// slower per line than one.

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "Bench_support.h"
#include "form/form.h"

namespace {

// CPU seconds the finished children of this process have used so far.
double ChildCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs a shell command and returns the CPU seconds it took; exits on failure.
double RunCommand(const std::string& command) {
  const double before = ChildCpuSeconds();
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "failed: %s\n", command.c_str());
    std::exit(1);
  }
  return ChildCpuSeconds() - before;
}

// Cuts the log into `parts` files of whole lines; returns them newest first.
std::vector<std::string> CutLog(const std::string& path, int parts, std::uint64_t lines) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> names;
  std::string line;
  for (int p = 0; p < parts; ++p) {
    names.insert(names.begin(), path + ".part" + std::to_string(p));
    std::ofstream out(names.front(), std::ios::binary | std::ios::trunc);
    for (std::uint64_t i = 0; i < lines / parts + (p == parts - 1 ? lines % parts : 0); ++i) {
      if (!std::getline(in, line)) break;
      out << line << '\n';
    }
  }
  return names;
}

// CPU seconds of one LoadLogs, after one load that warms the file cache.
double TimeLoad(tw::TSDIAppForm& form, const std::vector<std::string>& paths, double& pieces) {
  form.LoadLogs(paths);
  form.ClearReport();
  form.ClearLog();
  tw::bench::Stopwatch watch;
  form.LoadLogs(paths);
  const double seconds = watch.CpuSeconds();
  pieces = static_cast<double>(form.RecordCount() + form.RejectedCount());
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tw;
  const std::uint64_t lines = bench::LinesOption(argc, argv, 1'000'000);
  const std::string path = bench::GeneratedLog(lines, 1);
  RunCommand("gzip -c '" + path + "' > '" + path + ".gz'");
  RunCommand("zstd -q -f '" + path + "' -o '" + path + ".zst'");
  const std::vector<std::string> parts = CutLog(path, 4, lines);

  bench::QuietPlatform platform;
  TSDIAppForm form(platform);
  struct Case {
    const char* name;
    std::vector<std::string> paths;
  };
  const Case cases[] = {
      {"plain", {path}},
      {"gzip", {path + ".gz"}},
      {"zstd", {path + ".zst"}},
      {"four files", parts},
  };
  double seconds[4] = {};
  for (int i = 0; i < 4; ++i) {
    double pieces = 0;
    seconds[i] = TimeLoad(form, cases[i].paths, pieces);
    std::printf("compressed: %-10s %7.3f s CPU, %.0f lines/s (%d records)\n", cases[i].name,
                seconds[i], pieces / seconds[i], form.RecordCount());
  }
  const double zcat = RunCommand("zcat '" + path + ".gz' > /dev/null");
  const double zstdcat = RunCommand("zstdcat '" + path + ".zst' > /dev/null");
  std::printf("compressed: zcat alone %.3f s CPU, zstdcat alone %.3f s CPU\n", zcat, zstdcat);
  std::printf("compressed: gzip load / (zcat + plain load) = %.2f (target 1.30 or less)\n",
              seconds[1] / (zcat + seconds[0]));
  std::printf("compressed: zstd load / (zstdcat + plain load) = %.2f\n",
              seconds[2] / (zstdcat + seconds[0]));
  std::printf("compressed: four files / one file = %.2f per line\n", seconds[3] / seconds[0]);
  return 0;
}
