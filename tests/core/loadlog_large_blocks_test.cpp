// Large heap blocks are mappings of their own, load after load: once one big
// array has been freed, the next ones must not settle in the heap, where
// their pages would stay resident after they are freed.

#include <gtest/gtest.h>

#include <cstddef>
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
// memory is gone once it is freed.
void ExpectLargeBlocksApart(const std::function<void()>& setup) {
#ifdef TW_GLIBC_HEAP
  setup();
  g_held = std::malloc(24 * kMiB);
  std::free(g_held);
  struct Case {
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
    ASSERT_NE(g_held, nullptr);
    EXPECT_EQ(MappedBytes() >= before + c.bytes, c.apart) << c.bytes << " bytes";
    std::free(g_held);
    EXPECT_EQ(MappedBytes(), before) << c.bytes << " bytes";
  }
#else
  (void)setup;
  GTEST_SKIP() << "the heap's own bookkeeping is read through glibc, without a sanitizer";
#endif
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
