// A load in two halves, as the window runs it on a worker thread: a cancel at
// any point, or running out of memory, leaves the loaded log as it was; a
// complete load replaces it.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <functional>

#include "analysis/report_kinds.h"
#include "loadlog_fixture.h"
#include "session/background_load.h"

namespace tw::loadlog_testing {
namespace {

// `lines` accepted lines over March 2008, starting on `first_day`.
std::string MarchLog(int lines, int first_day, const std::string& page) {
  std::string log;
  for (int i = 0; i < lines; ++i) {
    char date[16];
    std::snprintf(date, sizeof date, "%02d/Mar/2008", first_day + i % 5);
    log += GoodLine(date, "/" + page + std::to_string(i % 11) + ".html");
  }
  return log;
}

// Everything of the loaded log a cancelled load must leave alone.
struct Snapshot {
  const void* records;
  std::int32_t record_count;
  const void* pools[5];
  const void* ipv6;
  std::vector<std::string> memo;
  std::string caption, status;
  std::vector<std::string> cells;
  const void* tree_root;
  const void* tree_selected;
  const void* rows;
  std::vector<const LogRecord*> selected;
  std::size_t files;

  explicit Snapshot(const TSDIAppForm& f)
      : records(f.Records()),
        record_count(f.RecordCount()),
        pools{f.UrlPool(), f.ReferrerPool(), f.UserAgentPool(),
              f.SearchPhrasePool(), f.ReferrerDomainPool()},
        ipv6(f.Ipv6Addresses()),
        memo(f.Memo3),
        caption(f.Caption),
        status(f.StatusText),
        tree_root(f.TreeView1.Root.get()),
        tree_selected(f.TreeView1.Selected),
        rows(f.Report().rows.data()),
        selected(f.Report().selected),
        files(f.LoadedFiles().size()) {
    for (int row = 0; row < f.StringGrid1.RowCount(); ++row) {
      for (int col = 0; col < f.StringGrid1.ColCount(); ++col) cells.push_back(f.StringGrid1.Cell(col, row));
    }
  }
  bool operator==(const Snapshot&) const = default;
};

class CancelTest : public LoadLogTest {
 protected:
  void SetUp() override {
    LoadLogTest::SetUp();
    old_ = Log("old.example-access_log", MarchLog(40, 1, "old"));
    first_ = Log("first_log", MarchLog(3000, 10, "a"));
    second_ = Log("second_log", MarchLog(3000, 20, "b"));
    form_->LoadLog(old_);
    ASSERT_EQ(form_->RecordCount(), 40);
    platform_.messages.clear();
  }

  // Runs the load of both new files, as the worker would, with `arm` given
  // the request and the flag to set; then hands its result to the form.
  // With more than one thread, the files are parsed in chunks of a few lines.
  LoadRefusal LoadBoth(const std::function<void(LoadRequest&, std::atomic<bool>&)>& arm,
                       unsigned threads = 1) {
    std::optional<LoadRequest> request = form_->PrepareLoad({first_, second_});
    EXPECT_TRUE(request.has_value());
    if (!request) return {};
    request->threads = threads;
    request->chunk_bytes = 1000;
    std::atomic<bool> cancel{false};
    request->cancel = &cancel;
    arm(*request, cancel);
    LoadedLog log;
    const LoadRefusal result = RunLoad(*request, log);
    if (result.kind == LoadRefusal::Kind::kCancelled) {
      EXPECT_EQ(log.records, nullptr) << "a cancelled load keeps nothing";
      EXPECT_TRUE(log.files.empty());
    }
    form_->FinishLoad(result, std::move(log));
    return result;
  }

  std::string old_, first_, second_;
};

TEST_F(CancelTest, CancelAtAnyPointLeavesTheLoadedLogAsItWas) {
  using Arm = std::function<void(LoadRequest&, std::atomic<bool>&)>;
  const struct {
    const char* when;
    Arm arm;
  } cases[] = {
      {"before the first piece", [](LoadRequest&, std::atomic<bool>& c) { c = true; }},
      {"as the first file starts",
       [](LoadRequest& r, std::atomic<bool>& c) {
         r.on_file = [&c](std::size_t, std::size_t) { c = true; };
       }},
      {"in the middle of the first file",
       [](LoadRequest& r, std::atomic<bool>& c) {
         r.on_progress = [&c](const std::string&, int percent) {
           if (percent >= 50) c = true;
         };
       }},
      {"in the middle of the second file",
       [](LoadRequest& r, std::atomic<bool>& c) {
         auto place = std::make_shared<std::size_t>(0);
         r.on_file = [place](std::size_t p, std::size_t) { *place = p; };
         r.on_progress = [place, &c](const std::string&, int percent) {
           if (*place == 1 && percent >= 50) c = true;
         };
       }},
  };
  for (const auto& c : cases) {
   for (const unsigned threads : {1u, 2u}) {
    SCOPED_TRACE(std::string(c.when) + ", threads " + std::to_string(threads));
    form_->CheckReportButton(FindReportKindByName("status"));
    form_->RunAnalysis();
    form_->TreeView1.Selected = form_->TreeView1.Root.get();
    const Snapshot before(*form_);
    const std::int64_t old_first_time = (*form_->Records())[0]->LogTime;
    EXPECT_EQ(LoadBoth(c.arm, threads).kind, LoadRefusal::Kind::kCancelled);
    EXPECT_TRUE(Snapshot(*form_) == before);
    EXPECT_EQ((*form_->Records())[0]->LogTime, old_first_time);
    EXPECT_TRUE(platform_.messages.empty()) << "a cancel says nothing";
    EXPECT_TRUE(form_->LoadError.empty());
   }
  }
}

TEST_F(CancelTest, CompleteLoadReplacesTheLogAsTheOneCallLoadDoes) {
  EXPECT_EQ(LoadBoth([](LoadRequest&, std::atomic<bool>&) {}).kind, LoadRefusal::Kind::kNone);
  const std::vector<std::string> memo = form_->Memo3;
  const std::string caption = form_->Caption;
  ASSERT_EQ(form_->RecordCount(), 6000);
  ASSERT_EQ(platform_.messages.size(), 1u);

  form_->LoadLogs({first_, second_});
  EXPECT_EQ(form_->RecordCount(), 6000);
  EXPECT_EQ(form_->Memo3, memo);
  EXPECT_EQ(form_->Caption, caption);
  ASSERT_EQ(platform_.messages.size(), 2u);
  EXPECT_EQ(platform_.messages[0], platform_.messages[1]);
}

TEST_F(CancelTest, OutOfMemoryOnTheWorkerSaysSoAndKeepsTheLoadedLog) {
  const Snapshot before(*form_);
  form_->FinishLoad({LoadRefusal::Kind::kOutOfMemory, {}, {}}, LoadedLog());
  EXPECT_TRUE(Snapshot(*form_) == before);
  ASSERT_EQ(platform_.messages.size(), 1u);
  EXPECT_NE(platform_.messages[0].find("not enough memory"), std::string::npos);
  EXPECT_EQ(form_->LoadError, platform_.messages[0]);
}

TEST_F(CancelTest, BackgroundLoadGivesWhatTheLoadGivesAndReportsItsFiles) {
  std::optional<LoadRequest> request = form_->PrepareLoad({second_, first_});
  ASSERT_TRUE(request.has_value());
  BackgroundLoad job(std::move(*request));
  EXPECT_EQ(job.FileCount(), 2u);
  LoadedLog log;
  const LoadRefusal result = job.TakeResult(log);
  EXPECT_TRUE(job.Done());
  EXPECT_EQ(result.kind, LoadRefusal::Kind::kNone);
  ASSERT_NE(log.records, nullptr);
  EXPECT_EQ(log.records->Count(), 6000);
  ASSERT_EQ(log.files.size(), 2u);
  EXPECT_EQ(log.files[0].path, first_) << "the earlier file is read first";
  EXPECT_EQ(job.FilePlace(), 1u);
  EXPECT_EQ(job.FileSource(), 0u) << "the last file read was given first";
  EXPECT_EQ(job.Percent(), 100);
}

TEST_F(CancelTest, BackgroundLoadStopsWhenCancelledOrDestroyedMidway) {
  std::string big;
  for (int i = 0; i < 40; ++i) big += MarchLog(5000, 1 + i % 20, "big");
  const std::string path = Log("big_log", big);
  {
    std::optional<LoadRequest> request = form_->PrepareLoad({path});
    ASSERT_TRUE(request.has_value());
    BackgroundLoad job(std::move(*request));
    job.Cancel();
    LoadedLog log;
    EXPECT_EQ(job.TakeResult(log).kind, LoadRefusal::Kind::kCancelled);
    EXPECT_EQ(log.records, nullptr);
  }
  {
    std::optional<LoadRequest> request = form_->PrepareLoad({path});
    ASSERT_TRUE(request.has_value());
    BackgroundLoad job(std::move(*request));
    // Destroyed while it may still run: it stops and frees what it read.
  }
  EXPECT_EQ(form_->RecordCount(), 40);
}

}  // namespace
}  // namespace tw::loadlog_testing
