// A soak in the window: one window loads a generated log, has a second load
// cancelled part way, loads it again and closes it, over and over (200 rounds
// of a 1,000,000-line log unless --rounds N and --lines N say otherwise). A
// leak in any of those steps grows the resident memory round by round, so the
// figure is the resident memory after the last load against that after the
// first. Target: within 10%.
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include <unistd.h>

#include "Bench_support.h"
#include "MainWindow.h"
#include "form/form.h"

namespace {

// Resident memory of this process now, in bytes.
std::size_t ResidentNow() {
  std::ifstream statm("/proc/self/statm");
  std::size_t pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

void Pump(int milliseconds) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < milliseconds) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
  }
}

void WaitForLoad(MainWindow& window) {
  while (window.isLoading()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
  Pump(20);  // the closing steps' repaint
}

// One round; gives the resident memory with the log loaded.
std::size_t Round(MainWindow& window, const QString& path, int cancel_after_ms) {
  window.openLog(path);
  WaitForLoad(window);
  const std::size_t loaded = ResidentNow();
  window.openLog(path);  // replaces it, but is cancelled part way
  Pump(cancel_after_ms);
  window.cancelLoad();
  WaitForLoad(window);
  window.form().FormDestroy();  // the log closed
  window.refreshFromForm();
  return loaded;
}

int IntOption(int argc, char** argv, const char* flag, int fallback) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], flag) == 0) return std::atoi(argv[i + 1]);
  }
  return fallback;
}

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const std::uint64_t lines = tw::bench::LinesOption(argc, argv, 1'000'000);
  const int rounds = std::max(1, IntOption(argc, argv, "--rounds", 200));
  const bool verbose = tw::bench::FlagOption(argc, argv, "--verbose");
  const QString path = QString::fromStdString(tw::bench::GeneratedLog(lines, 1));
  QApplication app(argc, argv);

  MainWindow::Hooks hooks;
  hooks.showMessage = [](const QString&) {};  // the closing message, answered at once
  MainWindow window(hooks);
  window.resize(1100, 760);
  window.show();
  Pump(300);

  QElapsedTimer clock;
  clock.start();
  std::size_t first = 0, last = 0, highest = 0;
  for (int i = 0; i < rounds; ++i) {
    // The cancel falls at a different point of the load each round.
    last = Round(window, path, 5 + (i * 37) % 300);
    if (i == 0) first = last;
    highest = std::max(highest, last);
    if (verbose && (i % 10 == 0 || i + 1 == rounds)) {
      std::printf("round %d: resident %.1f MB loaded, %.1f MB closed, heap in use %.1f MB\n", i + 1,
                  last / 1e6, ResidentNow() / 1e6, tw::bench::HeapInUse() / 1e6);
    }
  }
  const double change = 100.0 * (static_cast<double>(last) - static_cast<double>(first)) /
                        static_cast<double>(first);
  std::printf("window soak: %d rounds of load, cancelled reload, close (%llu lines) in %.0f s\n",
              rounds, static_cast<unsigned long long>(lines), clock.elapsed() / 1000.0);
  std::printf("resident after the first load %.1f MB, after the last %.1f MB (%+.1f%%), highest "
              "%.1f MB\n",
              first / 1e6, last / 1e6, change, highest / 1e6);
  return change <= 10.0 ? 0 : 1;
}
