#pragma once

// One load on a thread of its own. The thread runs RunLoad and nothing else:
// it touches no form and no platform. What it has done so far is read from
// the owner's thread through atomics; the result is taken once it is done.

#include <atomic>
#include <cstddef>
#include <memory>
#include <optional>
#include <thread>

#include "load/loader.h"
#include "session/closing.h"

namespace tw {

class BackgroundLoad {
 public:
  // Starts the thread. The request's callbacks and cancel flag are replaced
  // by the job's own; its engines and file access must outlive the job. With
  // a closing choice, a finished load's tree and first analysis are prepared
  // on the thread too, and handed over with the log.
  explicit BackgroundLoad(LoadRequest request,
                          std::optional<ClosingChoice> closing = std::nullopt);
  // Cancels the load and waits for the thread.
  ~BackgroundLoad();
  BackgroundLoad(const BackgroundLoad&) = delete;
  BackgroundLoad& operator=(const BackgroundLoad&) = delete;

  // Asks the thread to stop at the next piece; Done() follows soon after.
  void Cancel() { cancel_.store(true, std::memory_order_relaxed); }
  bool Done() const { return done_.load(std::memory_order_acquire); }

  // Progress of the file being read: its place in the reading order, its
  // index in the request's sources, and the share of it read.
  std::size_t FilePlace() const { return place_.load(std::memory_order_relaxed); }
  std::size_t FileSource() const { return source_.load(std::memory_order_relaxed); }
  std::size_t FileCount() const { return file_count_; }
  int Percent() const { return percent_.load(std::memory_order_relaxed); }

  // Waits for the thread, then hands over what it gave: the log, and what it
  // prepared of the closing steps (null: nothing). Call once.
  LoadRefusal TakeResult(LoadedLog& log, std::unique_ptr<PreparedClosing>* closing = nullptr);

 private:
  void Run();

  LoadRequest request_;
  std::optional<ClosingChoice> closing_;
  std::size_t file_count_ = 0;
  std::atomic<bool> cancel_{false};
  std::atomic<bool> done_{false};
  std::atomic<std::size_t> place_{0};
  std::atomic<std::size_t> source_{0};
  std::atomic<int> percent_{0};
  LoadRefusal result_;
  LoadedLog log_;
  std::unique_ptr<PreparedClosing> prepared_;
  std::thread thread_;  // last: it starts once everything above exists
};

}  // namespace tw
