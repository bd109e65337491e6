// Loading logs into the main window: LoadLog, the step that applies a loaded
// log to the window, ClearLog and DeriveSiteName.

#include "Main_form.h"

#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <utility>

#include "Loadlog_crawlers.h"
#include "Loadlog_load_messages.h"
#include "Loadlog_site_name.h"
#include "Stat_period.h"
#include "Text_format.h"

namespace tw {
namespace {

// The latest date the period pickers allow, counted from today.
constexpr int kPickerDaysAhead = 10000;

CalendarDate AddDays(const CalendarDate& date, int days) {
  return DateOfDayNumber(DayNumber(date) + days);
}

}  // namespace

void TSDIAppForm::LoadLog(const std::string& path) {
  try {
    const std::vector<std::string> paths{path};
    LoadLogs(paths);
  } catch (const std::bad_alloc&) {
    DropLogForMemory();
  }
}

void TSDIAppForm::DropLog(const std::string& message) {
  ClearReport();
  ClearLog();
  SiteName.clear();
  RejectedCount = 0;
  ClearTable();
  ClearSiteTree();
  SetPeriodAfterLoad();
  ResetMemo3();
  Caption = kProgramTitle;
  LoadError = message;
  platform_.ShowMessage(LoadError);
  RunAnalysis();
  StatusText.clear();
}

void TSDIAppForm::DropLogForMemory() {
  // Unwinding has freed what the load held; the log is closed and the
  // program goes on, so the next load can work.
  try {
    DropLog(Lang.GetOr("mes9",
                       "There is not enough memory to load the whole log. The log has been closed."));
    return;
  } catch (const std::bad_alloc&) {
  }
  // Too little memory even to say so: drop everything that points into the
  // log, without a step that allocates.
  Report = ReportResult{};
  ClearTable();
  ClearSiteTree();
  ClearLog();
  StatusText.clear();
}

std::optional<LoadRequest> TSDIAppForm::PrepareLoad(const std::vector<std::string>& paths) {
  LoadError.clear();
  LoadWarning.clear();
  LoadRequest request;
  for (const std::string& path : paths) request.sources.push_back(LogSource{path, FormatChoice});
  // A file that is no log at all is refused before the loaded log is touched.
  const LoadRefusal refused = CheckLogSources(*request.files, request.sources);
  if (refused.kind != LoadRefusal::Kind::kNone) {
    LoadError = RefusalMessage(Lang, refused);
    platform_.ShowMessage(LoadError);
    return std::nullopt;
  }
  request.crawler_path = platform_.ExeFolder() + kCrawlerFileName;
  request.engines = &Engines;
  request.keep_referrers = KeepReferrers;
  return request;
}

void TSDIAppForm::ReleaseLog() {
  // The last report's rows and selection point into the records about to be freed.
  ClearReport();
  ClearLog();
  ClearTable();
  ClearSiteTree();
  RejectedCount = 0;
}

void TSDIAppForm::LoadLogs(const std::vector<std::string>& paths) {
  try {
    std::optional<LoadRequest> request = PrepareLoad(paths);
    if (!request) return;
    // Read alone, the old log goes first, so the two never share the memory.
    ReleaseLog();
    const std::string progress_format = Lang.Get("mes0");
    request->on_progress = [this, &progress_format](const std::string& path, int percent) {
      StatusText = FormatText(progress_format, {path, percent, FormatArg::Char('%')});
    };
    request->on_tick = [this] { platform_.ProcessPaint(); };

    LoadedLog log;
    const LoadRefusal result = LoadLogSources(*request, log);
    FinishLoad(result, std::move(log));
  } catch (const std::bad_alloc&) {
    DropLogForMemory();
  }
}

void TSDIAppForm::FinishLoad(const LoadRefusal& result, LoadedLog&& log) {
  try {
    switch (result.kind) {
      case LoadRefusal::Kind::kNone:
        ReleaseLog();
        ApplyLoadedLog(std::move(log));
        return;
      case LoadRefusal::Kind::kCancelled:
        StatusText.clear();
        return;
      case LoadRefusal::Kind::kOutOfMemory:
        // Read beside the loaded log, which is still whole: it stays.
        LoadError = Lang.GetOr("mes15",
                               "There is not enough memory to load the log. The log loaded "
                               "before stays open.");
        platform_.ShowMessage(LoadError);
        StatusText.clear();
        return;
      case LoadRefusal::Kind::kNotRegularFile:
      case LoadRefusal::Kind::kZipArchive:
      case LoadRefusal::Kind::kNoCrawlerList:
        DropLog(RefusalMessage(Lang, result));
        return;
    }
  } catch (const std::bad_alloc&) {
    DropLogForMemory();
  }
}

void TSDIAppForm::ApplyLoadedLog(LoadedLog&& log) {
  // What the load's thread prepared is taken over; the rest is done here.
  const std::unique_ptr<PreparedClosing> closing = std::move(log.closing);
  UrlPool = std::move(log.url_pool);
  ReferrerPool = std::move(log.referrer_pool);
  UserAgentPool = std::move(log.user_agent_pool);
  SearchPhrasePool = std::move(log.search_phrase_pool);
  ReferrerDomainPool = std::move(log.referrer_domain_pool);
  Ipv6Addresses = std::move(log.ipv6_addresses);
  Crawlers = std::move(log.crawlers);
  CrawlerCount = static_cast<std::int32_t>(Crawlers.size());
  SiteName = log.site_name;
  RejectedCount = log.rejected;
  LoadedFiles = log.files;
  RequestFilter = 1;
  CheckReportButton(1);
  CheckRequestButton(1);

  const CalendarDate today = platform_.Today();
  for (DatePicker* picker : {&DateTimePicker1, &DateTimePicker2}) {
    picker->Enabled = false;
    picker->HasMinDate = false;
    picker->MaxDate = AddDays(today, kPickerDaysAhead);
    picker->Date = today;
  }

  // Even a log that gave no record counts as loaded: the tree then shows its root.
  Records = std::move(log.records);
  RecordCount = Records->Count();

  const std::string title = LogTitle(Lang, log.files);
  Memo3.clear();
  Memo3.push_back("  Log: " + title);
  Memo3.push_back("  " + Lang.Get("id0") + std::to_string(RecordCount));
  Memo3.push_back("  " + Lang.Get("id1") + std::to_string(RejectedCount));
  Caption = kProgramTitle;

  if (RecordCount > 0) {
    FirstTime = (*Records)[0]->LogTime;
    LastTime = (*Records)[RecordCount - 1]->LogTime;
    Memo3.push_back("  " + Lang.Get("id2") +
                    FormatText("%2.2d.%2.2d.%4d - %2.2d.%2.2d.%4d",
                               {LogDay(FirstTime), LogMonth(FirstTime), LogYear(FirstTime),
                                LogDay(LastTime), LogMonth(LastTime), LogYear(LastTime)}));

    Caption = LogCaptionTitle(Lang, log.files) + " - " + kProgramTitle;
  }
  for (const std::string& line : FormatLines(Lang, log.files)) Memo3.push_back(line);
  SetPeriodAfterLoad(closing && closing->dates ? &*closing->dates : nullptr);

  const LoadSummary summary = SummariseLoad(Lang, log, RecordCount);
  LoadError = summary.error;
  LoadWarning = summary.warning;
  platform_.ShowMessage(summary.message);

  TreeAndAnalysisAfterLoad(closing.get());
  StatusText.clear();
}

void TSDIAppForm::TreeAndAnalysisAfterLoad(PreparedClosing* prepared) {
  if (TreeAfterLoad) {
    if (prepared != nullptr && prepared->tree && RequestFilter == 1) {
      InstallSiteTree(std::move(prepared->tree));
    } else {
      BuildSiteTree();
    }
  }
  if (AnalysisAfterLoad && !(prepared != nullptr && RunPreparedAnalysis(*prepared))) RunAnalysis();
}

ClosingChoice TSDIAppForm::ClosingChoiceForLoad() const {
  return ClosingChoice{CheckBox1.Checked, TreeAfterLoad, AnalysisAfterLoad};
}

void TSDIAppForm::ClearLog() {
  GeoPlaces.reset();  // its addresses are the log's
  Records.reset();
  RecordCount = 0;
  UrlPool.reset();
  ReferrerPool.reset();
  UserAgentPool.reset();
  SearchPhrasePool.reset();
  ReferrerDomainPool.reset();
  Ipv6Addresses.reset();
  Crawlers = {};
  CrawlerCount = 0;
}

std::string TSDIAppForm::DeriveSiteName(const std::string& path) { return SiteNameOfLogPath(path); }

}  // namespace tw
