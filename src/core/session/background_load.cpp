#include "session/background_load.h"

#include <new>
#include <system_error>
#include <utility>

namespace tw {

BackgroundLoad::BackgroundLoad(LoadRequest request, std::optional<ClosingChoice> closing)
    : request_(std::move(request)), closing_(closing) {
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
  if (result_.kind == LoadRefusal::Kind::kNone && closing_ && log_.records) {
    try {
      prepared_ = PrepareClosing(*log_.records, log_.url_pool ? log_.url_pool->Count() : 0,
                                    *closing_);
    } catch (const std::bad_alloc&) {
      prepared_.reset();  // the window's thread tries again, or says so
    }
    // A cancel that came while the closing was prepared still cancels.
    if (cancel_.load(std::memory_order_relaxed)) {
      log_ = LoadedLog();
      prepared_.reset();
      result_ = LoadRefusal{LoadRefusal::Kind::kCancelled, {}, {}};
    }
  }
  done_.store(true, std::memory_order_release);
}

LoadRefusal BackgroundLoad::TakeResult(LoadedLog& log, std::unique_ptr<PreparedClosing>* closing) {
  if (thread_.joinable()) thread_.join();
  log = std::move(log_);
  if (closing != nullptr) *closing = std::move(prepared_);
  return std::move(result_);
}

}  // namespace tw
