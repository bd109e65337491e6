// Times are CPU time of the one thread, so a busy machine does not distort them.
// The site tree of a log in which every request is a different page (default
// 1,000,000), and the three time reports over the same records. Each tree
// node's children are looked up through a hash index during the build, so the
// build grows with the number of segments, not with the children per node.
// Targets (Release, one core): the tree well under one second; every analysis
// run under one second.

#include <cstdio>
#include <memory>
#include <string>

#include "Bench_support.h"
#include "analysis/report_kinds.h"
#include "form/form.h"
#include "log/record.h"
#include "log/record_array.h"
#include "log/string_pool.h"

namespace {

// Records as the parser would leave them: pooled request texts, one page per
// record spread over 1000 sections of 100 folders each, times over one month.
void FillRecords(tw::TSDIAppForm& form, std::uint64_t count) {
  tw::LoadedLog log;
  log.records = std::make_unique<tw::RecordArray>();
  log.url_pool = std::make_unique<tw::StringPool>();
  std::string url;
  for (std::uint64_t i = 0; i < count; ++i) {
    tw::LogRecord* r = log.records->NextSlot();
    url = "/s" + std::to_string(i % 1000) + "/f" + std::to_string(i / 1000 % 100) + "/p" +
          std::to_string(i) + ".html";
    r->SetUrl(log.url_pool->Intern(url));
    r->ClientIp = static_cast<std::uint32_t>(i * 2654435761u);
    r->Status = i % 10 == 0 ? 404 : 200;
    r->LogTime = tw::PackLogTime({.Day = static_cast<int>(1 + i % 31), .Month = 3, .Year = 2025,
                                  .Hour = static_cast<int>(i % 24), .Minute = static_cast<int>(i % 60),
                                  .Second = static_cast<int>(i * 7 % 60)});
    log.records->Commit();
  }
  // The session takes the log as a load gives it; the window's view is left alone.
  form.session_.FinishLoad(tw::LoadRefusal{}, std::move(log));
}

int CountNodes(const tw::TreeNode* node) {
  int n = 1;
  for (const auto& child : node->Children) n += CountNodes(child.get());
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tw;
  const std::uint64_t lines = bench::LinesOption(argc, argv, 1'000'000);
  bench::QuietPlatform platform;
  TSDIAppForm form(platform);
  FillRecords(form, lines);
  form.RequestFilter = 1;

  bench::Stopwatch tree_watch;
  form.BuildSiteTree();
  const double tree = tree_watch.CpuSeconds();
  std::printf("site tree: %d records, %d nodes, %.3f s\n", form.RecordCount(),
              CountNodes(form.TreeView1.Root.get()), tree);

  form.CheckBox1.Checked = false;
  for (const char* name : {"day", "hour", "weekday"}) {
    form.CheckReportButton(tw::FindReportKindByName(name));
    bench::Stopwatch watch;
    form.RunAnalysis();
    std::printf("analysis: %-8s %7.3f s, %d selected\n", name, watch.CpuSeconds(),
                form.SelectedCount());
  }
  form.ClearReport();
  form.ClearLog();
  return 0;
}
