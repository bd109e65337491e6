// Memory running out while a log loads. This program replaces the global
// operator new with one that can be told to fail once, at the n-th
// allocation from now, and loads a log failing at every allocation in turn.

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "form/form.h"
#include "loadlog_fixture.h"

namespace {

// Allocations left before the one that fails; 0 when nothing is to fail.
// Atomic, as a load on several threads allocates from all of them.
std::atomic<std::uint64_t> g_fail_in{0};
std::atomic<std::uint64_t> g_allocations{0};
std::atomic<bool> g_failed{false};

// Counts one allocation down; true for the one that is to fail.
bool FailsNow() {
  std::uint64_t left = g_fail_in.load();
  while (left != 0 && !g_fail_in.compare_exchange_weak(left, left - 1)) {
  }
  return left == 1;
}

void* Allocate(std::size_t size) {
  ++g_allocations;
  if (FailsNow()) {
    g_failed = true;
    throw std::bad_alloc();
  }
  if (void* p = std::malloc(size != 0 ? size : 1)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace tw {
namespace {

using loadlog_testing::GoodLine;
using loadlog_testing::LoadLogTest;
using loadlog_testing::WriteFile;

constexpr const char* kOutOfMemory =
    "There is not enough memory to load the whole log. The log has been closed.";
constexpr const char* kOutOfMemoryKeepingTheLog =
    "There is not enough memory to load the log. The log loaded before stays open.";

class OutOfMemoryTest : public LoadLogTest {
 protected:
  void SetUp() override {
    LoadLogTest::SetUp();
    std::string crawlers;
    for (int i = 0; i < 40; ++i) crawlers += "Crawler/" + std::to_string(i) + "\n";
    WriteFile(dir_.path() / "crawlers.lst", crawlers);
    std::string log;
    for (int i = 0; i < 30; ++i) {
      log += GoodLine(std::to_string(10 + i % 18) + "/Mar/2008", "/s" + std::to_string(i % 4) + "/p" +
                                                                  std::to_string(i) + ".html");
      if (i % 7 == 0) log += "not a log line\n";
    }
    log_ = Log("site.example-access_log", log);
    other_ = Log("other.example-access_log", GoodLine("01/Apr/2008") + GoodLine("02/Apr/2008"));
  }

  // Loads `path` with the n-th allocation failing (0: none); returns whether one failed.
  bool LoadFailingAt(const std::string& path, std::uint64_t n) {
    g_failed = false;
    g_fail_in = n;
    form_->LoadLog(path);
    g_fail_in = 0;
    return g_failed;
  }

  // Loads through RunLoad on `threads` threads, failing at every allocation in turn.
  void WorkerRunsOutOfMemory(unsigned threads);

  std::string log_;
  std::string other_;
};

TEST_F(OutOfMemoryTest, EveryFailedAllocationClosesTheLogAndTheNextLoadWorks) {
  ASSERT_FALSE(LoadFailingAt(log_, 0));
  ASSERT_EQ(form_->RecordCount(), 30);
  ASSERT_EQ(form_->RejectedCount(), 5);
  const std::vector<std::string> loaded_memo = form_->Memo3;
  const std::string loaded_message = platform_.messages.back();

  std::uint64_t n = 1;
  for (;; ++n) {
    ASSERT_FALSE(LoadFailingAt(other_, 0)) << n;  // a log loaded before
    ASSERT_EQ(form_->RecordCount(), 2) << n;
    platform_.messages.clear();

    bool failed = false;
    ASSERT_NO_THROW(failed = LoadFailingAt(log_, n)) << "allocation " << n;
    if (!failed) break;  // the load needs fewer allocations than n
    EXPECT_EQ(form_->LoadError, kOutOfMemory) << "allocation " << n;
    // Memory may run out after the closing message, in the site tree or the analysis.
    ASSERT_FALSE(platform_.messages.empty()) << "allocation " << n;
    EXPECT_EQ(platform_.messages.back(), kOutOfMemory) << "allocation " << n;
    if (platform_.messages.size() == 2) {
      EXPECT_EQ(platform_.messages[0], loaded_message) << "allocation " << n;
    } else {
      EXPECT_EQ(platform_.messages.size(), 1u) << "allocation " << n;
    }
    EXPECT_EQ(form_->Records(), nullptr) << "allocation " << n;
    EXPECT_EQ(form_->RecordCount(), 0) << "allocation " << n;
    EXPECT_EQ(form_->UrlPool(), nullptr) << "allocation " << n;
    EXPECT_EQ(form_->UserAgentPool(), nullptr) << "allocation " << n;
    EXPECT_TRUE(form_->Crawlers().empty()) << "allocation " << n;
    EXPECT_EQ(form_->TreeView1.Root, nullptr) << "allocation " << n;
    EXPECT_EQ(form_->SelectedCount(), 0) << "allocation " << n;
    EXPECT_EQ(form_->Memo3, idle_memo_) << "allocation " << n;
    EXPECT_EQ(form_->Caption, "Quelmark Tallyweave") << "allocation " << n;
    EXPECT_EQ(form_->StatusText, "") << "allocation " << n;

    ASSERT_FALSE(LoadFailingAt(log_, 0)) << n;
    EXPECT_EQ(form_->LoadError, "") << "allocation " << n;
    EXPECT_EQ(form_->RecordCount(), 30) << "the load after allocation " << n << " failed";
    EXPECT_EQ(form_->Memo3, loaded_memo) << "allocation " << n;
  }
  EXPECT_GT(n, 100u) << "a load makes more allocations than that";
}

// The load as the window's worker runs it: memory that runs out there is told
// in the window's thread, and the log loaded before stays.
void OutOfMemoryTest::WorkerRunsOutOfMemory(unsigned threads) {
  ASSERT_FALSE(LoadFailingAt(other_, 0));
  const std::vector<std::string> memo = form_->Memo3;
  std::uint64_t n = 1;
  for (;; ++n) {
    platform_.messages.clear();
    std::optional<LoadRequest> request = form_->PrepareLoad({log_});
    ASSERT_TRUE(request.has_value());
    request->threads = threads;
    request->chunk_bytes = 200;  // a few lines a chunk
    LoadedLog log;
    g_failed = false;
    g_fail_in = n;
    const LoadRefusal result = RunLoad(*request, log);
    g_fail_in = 0;
    if (!g_failed) break;
    if (threads > 1 && result.kind == LoadRefusal::Kind::kNone) {
      // A thread that could not start: the others parse the whole log.
      ASSERT_NE(log.records, nullptr) << "allocation " << n;
      EXPECT_EQ(log.records->Count(), 30) << "allocation " << n;
      continue;
    }
    ASSERT_EQ(result.kind, LoadRefusal::Kind::kOutOfMemory) << "allocation " << n;
    EXPECT_EQ(log.records, nullptr) << "allocation " << n;
    EXPECT_EQ(log.url_pool, nullptr) << "allocation " << n;
    form_->FinishLoad(result, std::move(log));
    ASSERT_EQ(platform_.messages.size(), 1u) << "allocation " << n;
    EXPECT_EQ(platform_.messages[0], kOutOfMemoryKeepingTheLog) << "allocation " << n;
    EXPECT_EQ(form_->RecordCount(), 2) << "allocation " << n;
    EXPECT_EQ(form_->Memo3, memo) << "allocation " << n;
  }
  EXPECT_GT(n, 80u) << "a load makes more allocations than that";
  ASSERT_FALSE(LoadFailingAt(log_, 0));
  EXPECT_EQ(form_->RecordCount(), 30) << "the next load works";
}

TEST_F(OutOfMemoryTest, WorkerThatRunsOutOfMemoryKeepsTheLoadedLog) { WorkerRunsOutOfMemory(1); }

TEST_F(OutOfMemoryTest, ParsingOnSeveralThreadsThatRunsOutOfMemoryKeepsTheLoadedLog) {
  WorkerRunsOutOfMemory(3);
}

}  // namespace
}  // namespace tw
