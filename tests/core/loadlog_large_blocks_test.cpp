// Large heap blocks are mappings of their own, load after load: once one big
// array has been freed, the next ones must not settle in the heap, where
// their pages would stay resident after they are freed.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "base/release_memory.h"
#include "fake_files.h"
#include "session/session.h"

// A sanitizer's allocator replaces glibc's heap, whose bookkeeping this reads.
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#define TW_GLIBC_HEAP 1
#include <malloc.h>
#endif

namespace tw {
namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

// Holds a block where the compiler cannot see it unused.
void* volatile g_held = nullptr;

#ifdef TW_GLIBC_HEAP
std::size_t MappedBytes() { return mallinfo2().hblkhd; }
#endif

// Frees a block larger than any below first, as a log's largest array is;
// then each size is mapped apart exactly when it holds a huge page, and its
// memory is gone once it is freed. Prints what differs; true when nothing.
bool LargeBlocksApart(const std::function<void()>& setup) {
  bool apart = true;
#ifdef TW_GLIBC_HEAP
  setup();
  g_held = std::malloc(24 * kMiB);
  std::free(g_held);
  const struct Case {
    std::size_t bytes;
    bool apart;
  } cases[] = {
      {16 * kMiB, true},
      {8 * kMiB, true},  // a selection of every record of a million-line log
      {2 * kMiB, true},
      {2 * kMiB - 64, false},
      {256 * 1024, false},
  };
  for (const Case& c : cases) {
    const std::size_t before = MappedBytes();
    g_held = std::malloc(c.bytes);
    const bool mapped = g_held != nullptr && MappedBytes() >= before + c.bytes;
    std::free(g_held);
    if (mapped != c.apart || MappedBytes() != before) {
      std::fprintf(stderr, "%zu bytes: mapped apart %d, expected %d\n", c.bytes, mapped, c.apart);
      apart = false;
    }
  }
#else
  (void)setup;
#endif
  return apart;
}

// A heap that earlier tests left with free room serves a large block from
// that room whatever the setting, so each check runs in a fresh process.
void ExpectLargeBlocksApart(const std::function<void()>& setup) {
#ifndef TW_GLIBC_HEAP
  GTEST_SKIP() << "the heap's own bookkeeping is read through glibc, without a sanitizer";
#endif
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(std::exit(LargeBlocksApart(setup) ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

TEST(LargeBlocks, AreMappedApartAfterABiggerOneWasFreed) {
  ExpectLargeBlocksApart([] { KeepLargeBlocksApart(); });
}

TEST(LargeBlocks, AreMappedApartOnceASessionExists) {
  testing::FakeFiles files;
  ExpectLargeBlocksApart([&] { Session session("/program/", files); });
}

}  // namespace
}  // namespace tw
