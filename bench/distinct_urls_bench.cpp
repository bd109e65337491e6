// Times are CPU time of the one thread, so a busy machine does not distort them.
// A whole load of a log whose every line requests a different page (default
// 1,000,000 lines), then the requested-pages report over all of them and the
// site tree alone. Each text is interned once and each tree node found through
// a hash index, so the times grow with the lines, not with their square: a run
// with --lines 250000 takes a fifth to a sixth of the default's (the sorts and
// the tables outgrowing the caches make up the difference from a quarter).
// Targets (Release, one core): the analysis run under one second; the tree
// well under one second.

#include <cstdio>
#include <filesystem>
#include <string>

#include "Bench_support.h"
#include "analysis/report_kinds.h"
#include "form/form.h"
#include "log/string_pool.h"

namespace {

// The log on disk beside the benchmark, written on first use: line i requests
// /p/<i>, and the first twelve pages are requested again (page k 13 - k times
// in all), so the pie has ten distinct slices.
std::string DistinctUrlLog(const std::string& folder, std::uint64_t lines) {
  const std::string log = folder + "bench-distinct-" + std::to_string(lines) + ".log";
  if (std::filesystem::exists(log)) return log;
  const std::string temp = log + ".part";
  std::FILE* out = std::fopen(temp.c_str(), "wb");
  if (out == nullptr) {
    std::fprintf(stderr, "cannot write %s\n", temp.c_str());
    std::exit(1);
  }
  for (std::uint64_t i = 0; i < lines; ++i) {
    const int times = i < 12 ? 13 - static_cast<int>(i) : 1;
    for (int t = 0; t < times; ++t) {
      std::fprintf(out, "10.%d.%d.%d - - [%02d/Mar/2008:%02d:%02d:%02d +0100] \"GET /p/%07llu HTTP/1.0\" 200 %llu \"-\" \"a\"\n",
                   static_cast<int>(i >> 16 & 255), static_cast<int>(i >> 8 & 255), static_cast<int>(i & 255),
                   static_cast<int>(1 + i % 31), static_cast<int>(i % 24), static_cast<int>(i % 60),
                   static_cast<int>(i * 7 % 60), static_cast<unsigned long long>(i),
                   static_cast<unsigned long long>(i));
    }
  }
  if (std::fclose(out) != 0) std::exit(1);
  std::filesystem::rename(temp, log);
  return log;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tw;
  const std::uint64_t lines = bench::LinesOption(argc, argv, 1'000'000);
  bench::QuietPlatform platform;
  const std::string path = DistinctUrlLog(platform.ExeFolder(), lines);
  TSDIAppForm form(platform);
  bench::Stopwatch load_watch;
  form.LoadLog(path);
  const double load = load_watch.CpuSeconds();

  bench::Stopwatch tree_watch;
  form.BuildSiteTree();
  const double tree = tree_watch.CpuSeconds();

  form.CheckReportButton(tw::FindReportKindByName("pages"));
  form.CheckBox1.Checked = false;
  bench::Stopwatch report_watch;
  form.RunAnalysis();
  const double report = report_watch.CpuSeconds();

  const int rows = form.StringGrid1.RowCount() - 2;
  double remainder = form.Chart1.Pie.empty() ? -1 : form.Chart1.Pie.back().Value;
  std::printf("distinct: %d records, %zu distinct requests, %d table rows, %zu pie slices, remainder %.0f\n",
              form.RecordCount(), form.UrlPool() ? form.UrlPool()->Count() : 0, rows,
              form.Chart1.Pie.size(), remainder);
  std::printf("distinct: whole LoadLog %.3f s CPU (its tree and first run included)\n", load);
  std::printf("distinct: site tree %.3f s, requested pages report %.3f s\n", tree, report);
  std::printf("distinct: last row %s with %s, totals %s\n", form.StringGrid1.Cell(1, rows).c_str(),
              form.StringGrid1.Cell(2, rows).c_str(), form.StringGrid1.Cell(2, rows + 1).c_str());
  return 0;
}
