// Times are CPU time of the one thread, so a busy machine does not distort them.
// A whole load of a generated log of 1,000,000 lines through the window's core
// (reading, parsing, interning, reject file), then one analysis run of every
// report kind and the details of the largest rows.
// Targets (Release): a load at 1,200,000 lines per second or more and
// at most 100 heap bytes per record; every analysis run under one second;
// details of a row of a million records within two seconds.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "Bench_support.h"
#include "analysis/report_kinds.h"
#include "form/form.h"

namespace {

// Every kind of the registry, and countries once more: its second run finds
// the clients' places already looked up.
std::vector<const tw::ReportKindInfo*> KindsToTime() {
  std::vector<const tw::ReportKindInfo*> kinds;
  for (const tw::ReportKindInfo& kind : tw::kReportKinds) kinds.push_back(&kind);
  kinds.push_back(tw::FindReportKindByName("countries"));
  return kinds;
}

// Lists the details of the table's first data row and returns the seconds taken.
double TimeDetails(tw::TSDIAppForm& form, int row, int& listed) {
  form.StringGrid1.Row = row;
  form.onStringGrid1Click();
  tw::bench::Stopwatch watch;
  form.Button2Click();
  const double seconds = watch.CpuSeconds();
  listed = form.StringGrid2.RowCount() - 2;
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tw;
  const std::uint64_t lines = bench::LinesOption(argc, argv, 1'000'000);
  const std::string path = bench::GeneratedLog(lines, 1);

  bench::QuietPlatform platform;
  TSDIAppForm form(platform);

  // The first load warms the file cache; the second is measured.
  form.LoadLog(path);
  form.ClearReport();
  form.ClearLog();

  const std::size_t heap_before = bench::HeapInUse();
  bench::Stopwatch watch;
  form.LoadLog(path);
  const double whole = watch.CpuSeconds();
  const double whole_wall = watch.Seconds();
  const std::size_t heap = bench::HeapInUse() - heap_before;

  // LoadLog ends with a tree rebuild and an analysis run; time them alone.
  bench::Stopwatch tree_watch;
  form.BuildSiteTree();
  const double tree = tree_watch.CpuSeconds();
  const double tree_wall = tree_watch.Seconds();
  bench::Stopwatch run_watch;
  form.RunAnalysis();
  const double run = run_watch.CpuSeconds();
  const double run_wall = run_watch.Seconds();
  // Parsing runs on every core, so it is timed by the clock; the rest by this thread's CPU.
  const double load = whole_wall - tree_wall - run_wall;

  const double pieces = static_cast<double>(form.RecordCount() + form.RejectedCount());
  std::printf("load: %d records, %lld rejected\n", form.RecordCount(),
              static_cast<long long>(form.RejectedCount()));
  std::printf("load: whole LoadLog %.3f s CPU of this thread, %.3f s wall (reading and parsing "
              "%.3f s wall, site tree %.3f s, analysis %.3f s)\n", whole, whole_wall, load, tree, run);
  std::printf("load: %.0f lines/s for reading and parsing, %.0f lines/s for the whole LoadLog\n",
              pieces / load, pieces / whole_wall);
  std::printf("load: %.1f heap bytes per record (records, pools, arrays, site tree, report)\n",
              static_cast<double>(heap) / form.RecordCount());
  std::printf("load: peak resident memory %.1f MB\n", bench::PeakResident() / 1e6);

  form.CheckRequestButton(3);
  form.RadioButton14Click();
  form.CheckBox1.Checked = false;
  double slowest = 0;
  const char* slowest_name = "";
  for (const tw::ReportKindInfo* kind : KindsToTime()) {
    const char* name = kind->CliName;
    form.CheckReportButton(kind);
    bench::Stopwatch w;
    form.RunAnalysis();
    const double s = w.CpuSeconds();
    std::printf("analysis: %-10s %7.3f s, %d selected, %d table rows\n", name, s,
                form.SelectedCount(), form.StringGrid1.RowCount() - 2);
    if (s > slowest) slowest = s, slowest_name = name;
    if (kind->CliName == std::string_view("status") || kind->CliName == std::string_view("day")) {
      int listed = 0;
      const double d = TimeDetails(form, 1, listed);
      std::printf("details:  %-10s %7.3f s for row 1, %d records listed\n", name, d, listed);
    }
  }
  std::printf("analysis: slowest report %s, %.3f s\n", slowest_name, slowest);
  return 0;
}
