#include "session/session.h"

#include <new>
#include <utility>

#include "analysis/report_details.h"
#include "analysis/report_kinds.h"
#include "analysis/report_run.h"
#include "analysis/selection.h"
#include "analysis/site_tree.h"
#include "base/release_memory.h"
#include "base/text_format.h"
#include "geo/find.h"
#include "load/load_messages.h"
#include "parse/crawlers.h"
#include "present/report_csv.h"

#include <cstring>

namespace tw {

Session::Session(std::string exe_folder, FileAccess& files)
    : exe_folder_(std::move(exe_folder)), files_(files), lang_(exe_folder_, files_) {
  // Before the first log: its arrays must not decide where the next log's go.
  KeepLargeBlocksApart();
  LoadEngineList(files_, exe_folder_, engines_);
  geo_ = FindGeoSource(DefaultGeoSearch(exe_folder_));
}

Session::~Session() { CloseLog(); }

void Session::UseGeoSource(std::unique_ptr<GeoSource> source) {
  geo_ = std::move(source);
  places_.reset();
}

std::optional<LoadRequest> Session::PrepareLoad(const std::vector<std::string>& paths,
                                                std::string& refusal) const {
  LoadRequest request;
  request.files = &files_;
  for (const std::string& path : paths) request.sources.push_back(LogSource{path, format});
  // A file that is no log at all is refused before the loaded log is touched.
  const LoadRefusal refused = CheckLogSources(*request.files, request.sources);
  if (refused.kind != LoadRefusal::Kind::kNone) {
    refusal = RefusalMessage(lang_, refused);
    return std::nullopt;
  }
  request.crawler_path = exe_folder_ + kCrawlerFileName;
  request.engines = &engines_;
  request.keep_referrers = keep_referrers;
  return request;
}

LoadOutcome Session::FinishLoad(const LoadRefusal& result, LoadedLog&& log,
                                std::unique_ptr<PreparedClosing> closing) {
  LoadOutcome outcome;
  switch (result.kind) {
    case LoadRefusal::Kind::kNone: {
      CloseLog();
      log_ = std::make_unique<LoadedLog>(std::move(log));
      outcome.closing = std::move(closing);
      LoadSummary summary = SummariseLoad(lang_, *log_, RecordCount());
      outcome.message = std::move(summary.message);
      outcome.error = std::move(summary.error);
      outcome.warning = std::move(summary.warning);
      return outcome;
    }
    case LoadRefusal::Kind::kCancelled:
      outcome.kind = LoadOutcome::Kind::kCancelled;
      return outcome;
    case LoadRefusal::Kind::kOutOfMemory:
      outcome.kind = LoadOutcome::Kind::kOutOfMemory;
      outcome.message = lang_.GetOr("mes15",
                                    "There is not enough memory to load the log. The log loaded "
                                    "before stays open.");
      outcome.error = outcome.message;
      return outcome;
    case LoadRefusal::Kind::kNotRegularFile:
    case LoadRefusal::Kind::kZipArchive:
    case LoadRefusal::Kind::kNoCrawlerList:
      break;
  }
  CloseLog();
  outcome.kind = LoadOutcome::Kind::kRefused;
  outcome.message = RefusalMessage(lang_, result);
  outcome.error = outcome.message;
  return outcome;
}

LoadOutcome Session::Load(const std::vector<std::string>& paths,
                          const std::function<void(LoadRequest&)>& arm) {
  std::string refusal;
  std::optional<LoadRequest> request = PrepareLoad(paths, refusal);
  if (!request) {
    LoadOutcome outcome;
    outcome.kind = LoadOutcome::Kind::kNotALog;
    outcome.message = outcome.error = refusal;
    return outcome;
  }
  if (arm) arm(*request);
  CloseLog();
  try {
    LoadedLog log;
    const LoadRefusal result = LoadLogSources(*request, log);
    return FinishLoad(result, std::move(log));
  } catch (const std::bad_alloc&) {
    // Unwinding has freed what the load held; the next load can work.
    CloseLog();
    LoadOutcome outcome;
    outcome.kind = LoadOutcome::Kind::kRefused;
    outcome.message = lang_.GetOr(
        "mes9", "There is not enough memory to load the whole log. The log has been closed.");
    outcome.error = outcome.message;
    return outcome;
  }
}

void Session::CloseLog() {
  report_ = ReportResult{};
  places_.reset();
  log_.reset();
}

std::int32_t Session::RecordCount() const {
  return log_ != nullptr && log_->records != nullptr ? log_->records->Count() : 0;
}

std::vector<std::string> Session::InformationLines() const {
  if (log_ == nullptr) {
    return {"  Log: ", "  " + lang_.Get("id0") + "0", "  " + lang_.Get("id1") + "0",
            "  " + lang_.Get("id2")};
  }
  std::vector<std::string> lines;
  const std::int32_t count = RecordCount();
  lines.push_back("  Log: " + LogTitle(lang_, log_->files));
  lines.push_back("  " + lang_.Get("id0") + std::to_string(count));
  lines.push_back("  " + lang_.Get("id1") + std::to_string(log_->rejected));
  if (count > 0) {
    const LogTime first = (*log_->records)[0]->LogTime;
    const LogTime last = (*log_->records)[count - 1]->LogTime;
    lines.push_back("  " + lang_.Get("id2") +
                    FormatText("%2.2d.%2.2d.%4d - %2.2d.%2.2d.%4d",
                               {LogDay(first), LogMonth(first), LogYear(first), LogDay(last),
                                LogMonth(last), LogYear(last)}));
  }
  for (std::string& line : FormatLines(lang_, log_->files)) lines.push_back(std::move(line));
  return lines;
}

LogDates Session::Dates() const {
  return RecordCount() > 0 ? LogDatesOf(*log_->records) : LogDates{};
}

Period Session::PeriodAfterLoad() const {
  return RecordCount() > 0 ? PeriodAfterLoadOf(*log_->records) : EmptyLogPeriod();
}

std::unique_ptr<TreeNode> Session::SiteTree(int request_filter) const {
  if (log_ == nullptr || log_->records == nullptr) return nullptr;
  const std::size_t distinct = log_->url_pool != nullptr ? log_->url_pool->Count() : 0;
  return SiteTreeOf(*log_->records, distinct, request_filter);
}

void Session::PreparePlaces() {
  if (places_ == nullptr && log_ != nullptr && log_->records != nullptr) {
    places_ = std::make_unique<GeoTable>(geo_.get(), *log_->records, log_->ipv6_addresses.get());
  }
}

ReportContext Session::Context() const {
  return ReportContext{log_ != nullptr ? log_->ipv6_addresses.get() : nullptr, places_.get(),
                       &engines_, &lang_,
                       log_ != nullptr ? log_->virtual_hosts.get() : nullptr,
                       log_ != nullptr ? std::string_view(log_->site_name) : std::string_view()};
}

AnalysisInput Session::InputFor(const AnalysisChoice& choice) {
  if (choice.kind != nullptr && choice.kind->Places != GeoLevel::kNone) PreparePlaces();
  AnalysisInput in;
  if (log_ != nullptr) {
    in.records = log_->records.get();
    in.site_name = log_->site_name;
  }
  in.context = Context();
  in.choice = choice;
  return in;
}

const ReportResult& Session::Analyse(const AnalysisChoice& choice) {
  report_ = ReportResult{};  // the last report's memory goes before the next is counted
  report_ = RunReport(InputFor(choice));
  return report_;
}

std::vector<ReportResult> Session::AnalyseEvery(const SelectionChoice& selection) {
  std::vector<ReportResult> results;
  std::vector<const LogRecord*> selected;  // the same for every kind: chosen once
  bool chosen = false;
  for (const ReportKindInfo& kind : kReportKinds) {
    if (!GeoMissingMessage(GeoDatabase(), kind.Places).empty()) continue;
    const AnalysisInput in = InputFor({&kind, selection});
    if (!chosen && in.records != nullptr) selected = SelectRecordsOf(*in.records, selection);
    chosen = true;
    ReportResult result = RunReportOn(in, std::move(selected));
    selected = std::move(result.selected);
    result.selected = {};
    results.push_back(std::move(result));
  }
  return results;
}

OutputHeader Session::LogHeader() const {
  OutputHeader header;
  if (!log_) return header;
  for (const LoadedFile& f : log_->files) {
    header.logs.push_back({f.path, f.format.Label(), std::string(CompressionName(f.compression)),
                           f.records, f.rejected});
  }
  header.records = RecordCount();
  header.rejected = log_->rejected;
  header.reasons = log_->reasons;
  return header;
}

void Session::KeepReport(ReportResult&& result) { report_ = std::move(result); }

std::vector<const LogRecord*> Session::Details(int row) const {
  return ListRowRecords(report_, row, Context());
}

bool Session::SaveCsv(const std::string& path, std::string& error,
                      TableEncoding encoding) const {
  const int failure = SaveReportCsv(report_, path, encoding);
  if (failure == 0) return true;
  error = FormatText(lang_.GetOr("mes4", "Could not save the table to %s: %s"),
                     {path, std::strerror(failure)});
  return false;
}

bool Session::WriteCsv(const std::function<bool(std::string_view)>& write,
                       TableEncoding encoding) const {
  return WriteReportCsv(report_, write, encoding, ByteOrderMark::kOmit);
}

}  // namespace tw
