#include "Loadlog_background.h"

#include <system_error>
#include <utility>

namespace tw {

BackgroundLoad::BackgroundLoad(LoadRequest request) : request_(std::move(request)) {
  file_count_ = request_.sources.size();
  request_.cancel = &cancel_;
  request_.on_tick = nullptr;
  request_.on_progress = [this](const std::string&, int percent) {
    percent_.store(percent, std::memory_order_relaxed);
  };
  request_.on_file = [this](std::size_t place, std::size_t source) {
    percent_.store(0, std::memory_order_relaxed);
    source_.store(source, std::memory_order_relaxed);
    place_.store(place, std::memory_order_relaxed);
  };
  try {
    thread_ = std::thread([this] { Run(); });
  } catch (const std::system_error&) {
    Run();  // no thread to be had: the load runs here, to the same result
  }
}

BackgroundLoad::~BackgroundLoad() {
  Cancel();
  if (thread_.joinable()) thread_.join();
}

void BackgroundLoad::Run() {
  result_ = RunLoad(request_, log_);
  done_.store(true, std::memory_order_release);
}

LoadRefusal BackgroundLoad::TakeResult(LoadedLog& log) {
  if (thread_.joinable()) thread_.join();
  log = std::move(log_);
  return std::move(result_);
}

}  // namespace tw
