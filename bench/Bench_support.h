#pragma once

// Shared pieces of the benchmarks: a generated log on disk, the heap in use,
// a stopwatch and a platform without a window.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "form/headless_platform.h"

namespace tw::bench {

// Path of a generated log of `lines` lines for `seed`, written on first use
// into the folder of the benchmark binary and reused afterwards. With
// `ipv4_only` no client has an IPv6 address.
std::string GeneratedLog(std::uint64_t lines, std::uint64_t seed, bool ipv4_only = false);

// Bytes the allocator and the text arena have handed out and not taken back,
// the allocator's own overhead included (malloc'd chunks and mmapped blocks).
std::size_t HeapInUse();

// Peak resident memory of this process so far, in bytes.
std::size_t PeakResident();

// CPU time of the calling thread, in seconds: what one core spent on the work,
// however busy the rest of the machine is.
double ThreadCpuSeconds();

// Measures both the wall time and the thread's CPU time. On a quiet machine the
// two agree; on a busy one the CPU time is the figure to compare with targets.
class Stopwatch {
 public:
  Stopwatch() : start_(std::chrono::steady_clock::now()), cpu_start_(ThreadCpuSeconds()) {}
  double Seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  }
  double CpuSeconds() const { return ThreadCpuSeconds() - cpu_start_; }

 private:
  std::chrono::steady_clock::time_point start_;
  double cpu_start_;
};

// Lines-count option from argv ("--lines N"), else `fallback`.
std::uint64_t LinesOption(int argc, char** argv, std::uint64_t fallback);
// Whether `flag` is one of the arguments.
bool FlagOption(int argc, char** argv, const char* flag);

// A platform without a window whose date never changes, so runs compare.
class QuietPlatform : public HeadlessPlatform {
 public:
  CalendarDate Today() override { return {2026, 12, 7}; }
};

}  // namespace tw::bench
