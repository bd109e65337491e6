#pragma once

// Threads that parse chunks while the loading thread reads and merges. Chunks
// are handed out in the order submitted; the loading thread waits for each in
// that order, so the merge sees them in file order.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "load/chunk.h"

namespace tw {

class ChunkWorkers {
 public:
  // Starts up to `threads` threads; with none started, Submit parses at once.
  // A thread runs `between_chunks`, if given, after each chunk it parses.
  ChunkWorkers(unsigned threads, const ChunkSettings& settings,
               std::function<void()> between_chunks = {});
  // Waits for the chunks being parsed; chunks not yet started stay unparsed.
  ~ChunkWorkers();
  ChunkWorkers(const ChunkWorkers&) = delete;
  ChunkWorkers& operator=(const ChunkWorkers&) = delete;

  unsigned Threads() const { return static_cast<unsigned>(threads_.size()); }
  // The most chunks to have submitted and not yet waited for: one more than
  // the threads, so a thread finds the next chunk ready while one is merged.
  std::size_t MaxInFlight() const { return threads_.size() + 1; }

  // REQUIRES: `chunk` outlives this object or its WaitFor.
  void Submit(LogChunk* chunk);
  // Returns once `chunk`, submitted before, is parsed.
  void WaitFor(const LogChunk* chunk);

 private:
  void Work();

  const ChunkSettings& settings_;
  const std::function<void()> between_chunks_;
  std::mutex mutex_;
  std::condition_variable work_ready_;
  std::condition_variable chunk_done_;
  std::deque<LogChunk*> queue_;
  std::vector<const LogChunk*> done_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

// Threads a load parses with: `wanted`, or one per core when 0.
unsigned LoadThreads(unsigned wanted);

}  // namespace tw
