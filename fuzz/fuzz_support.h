#pragma once

// Shared pieces of the fuzz targets: a check that stops the run with a
// message, and the temporary folders a target works in.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include <unistd.h>

namespace tw::fuzz {

// A broken promise of the code under test is a finding like a crash: the
// message names it and abort() makes libFuzzer keep the input.
[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
  std::abort();
}

#define FUZZ_CHECK(cond) \
  do {                   \
    if (!(cond)) ::tw::fuzz::Fail(#cond, __FILE__, __LINE__); \
  } while (0)

// A new empty folder under the system's temporary folder (/dev/shm when it
// exists, so the loads stay in memory), ending in '/'. Removed at exit.
inline std::string MakeTempFolder(const char* tag) {
  std::string base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
  std::string pattern = base + "/tallyweave-" + tag + "-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("mkdtemp");
    std::abort();
  }
  static std::string folder;
  folder = pattern;
  std::atexit([] {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  });
  return pattern + "/";
}

// Writes `bytes` to `path`, replacing the file.
inline void WriteFile(const std::string& path, std::string_view bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) {
    std::perror(path.c_str());
    std::abort();
  }
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) {
    std::perror(path.c_str());
    std::abort();
  }
  std::fclose(f);
}

}  // namespace tw::fuzz
