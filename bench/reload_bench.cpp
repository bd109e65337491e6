// The heap after loading the same generated log (default 1,000,000 lines) once
// and after loading it twice more in the same window: a load frees everything
// the one before it held, so the two figures agree within a few percent.

#include <cstdio>
#include <string>

#include "Bench_support.h"
#include "form/form.h"

int main(int argc, char** argv) {
  using namespace tw;
  const std::uint64_t lines = bench::LinesOption(argc, argv, 1'000'000);
  const std::string path = bench::GeneratedLog(lines, 1);

  bench::QuietPlatform platform;
  TSDIAppForm form(platform);
  const std::size_t before = bench::HeapInUse();
  std::size_t after[3] = {};
  for (int load = 0; load < 3; ++load) {
    bench::Stopwatch watch;
    form.LoadLog(path);
    after[load] = bench::HeapInUse();
    std::printf("reload: load %d: %d records in %.3f s CPU, heap in use %.1f MB\n", load + 1,
                form.RecordCount(), watch.CpuSeconds(), static_cast<double>(after[load]) / 1e6);
  }
  const double growth = static_cast<double>(after[2]) - static_cast<double>(after[0]);
  std::printf("reload: heap before the first load %.1f MB; third load minus first %+.3f MB (%+.2f%%)\n",
              static_cast<double>(before) / 1e6, growth / 1e6, growth * 100.0 / static_cast<double>(after[0]));
  const bool steady = growth <= 0.02 * static_cast<double>(after[0]) + 256 * 1024;
  std::printf("reload: %s\n", steady ? "steady" : "GROWING: a load keeps memory of the one before");
  return steady ? 0 : 1;
}
