#include "load/chunk_workers.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace tw {

unsigned LoadThreads(unsigned wanted) {
  if (wanted != 0) return wanted;
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : cores;
}

ChunkWorkers::ChunkWorkers(unsigned threads, const ChunkSettings& settings,
                           std::function<void()> between_chunks)
    : settings_(settings), between_chunks_(std::move(between_chunks)) {
  // Reserved first, so that neither a worker's bookkeeping nor a thread that
  // could not start leaves threads running behind a failed constructor.
  done_.reserve(threads + 1);
  threads_.reserve(threads);
  for (unsigned i = 0; i < threads; ++i) {
    try {
      threads_.emplace_back([this] { Work(); });
    } catch (const std::exception&) {
      break;  // no more threads (or no memory for one): parse with those there are
    }
  }
}

ChunkWorkers::~ChunkWorkers() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  work_ready_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void ChunkWorkers::Submit(LogChunk* chunk) {
  if (threads_.empty()) {
    ParseChunk(settings_, *chunk);
    std::lock_guard<std::mutex> lock(mutex_);
    done_.push_back(chunk);
    return;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(chunk);
  }
  work_ready_.notify_one();
}

void ChunkWorkers::WaitFor(const LogChunk* chunk) {
  std::unique_lock<std::mutex> lock(mutex_);
  chunk_done_.wait(lock, [&] {
    return std::find(done_.begin(), done_.end(), chunk) != done_.end();
  });
  done_.erase(std::find(done_.begin(), done_.end(), chunk));
}

void ChunkWorkers::Work() {
  for (;;) {
    LogChunk* chunk = nullptr;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      work_ready_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
      if (stopping_) return;
      chunk = queue_.front();
      queue_.pop_front();
    }
    ParseChunk(settings_, *chunk);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done_.push_back(chunk);
    }
    chunk_done_.notify_all();
    if (between_chunks_) between_chunks_();
  }
}

}  // namespace tw
