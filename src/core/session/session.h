#pragma once

// Session: the program without a screen. It owns the language pack, the
// engine list, the location database, the loaded log with the places of its
// clients, and the last report; it loads logs, runs reports, lists the
// records behind a row and saves the table. The window and tallyweave-report
// each drive one; neither holds a piece of the log of its own.
//
//   Session session(exe_folder);
//   const LoadOutcome loaded = session.Load({"access_log"});
//   const ReportResult& pages = session.Analyse({FindReportKindByName("pages"), selection});
//   session.SaveCsv("pages.csv", error);
//
// Everything runs on one thread; only a load's RunLoad, between PrepareLoad
// and FinishLoad, may run on another, and it touches no session.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/report_input.h"
#include "analysis/report_result.h"
#include "analysis/site_tree_nodes.h"
#include "base/language.h"
#include "geo/place_table.h"
#include "geo/source.h"
#include "load/loader.h"
#include "parse/format.h"
#include "parse/referrer.h"
#include "present/report_csv.h"
#include "present/report_json.h"
#include "session/closing.h"

namespace tw {

// What became of a load, and what to tell the user.
struct LoadOutcome {
  enum class Kind {
    kLoaded,       // the new log replaced the loaded one
    kNotALog,      // a file can never be a log: nothing changed
    kRefused,      // the load gave no log (the crawler list is missing): none is loaded
    kCancelled,    // nothing changed
    kOutOfMemory,  // read beside the loaded log, which stays
  };
  Kind kind = Kind::kLoaded;
  std::string message;  // the closing message or why there is no log; shown as it is
  std::string error;    // files that could not be opened, or why the load gave no log
  std::string warning;  // files that broke off part way (what came before is loaded)
  // What the load's thread prepared of the closing steps; null: nothing.
  std::unique_ptr<PreparedClosing> closing;
};

class Session {
 public:
  // Reads the language pack and the engine list beside the program through
  // `files` (which every load reads through too, and which must outlive the
  // session) and finds the location database. REQUIRES: `exe_folder` ends in '/'.
  explicit Session(std::string exe_folder, FileAccess& files = SystemFiles());
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  const std::string& ExeFolder() const { return exe_folder_; }
  LanguagePack& Lang() { return lang_; }
  const LanguagePack& Lang() const { return lang_; }
  EngineList& Engines() { return engines_; }
  const EngineList& Engines() const { return engines_; }
  const GeoSource* GeoDatabase() const { return geo_.get(); }
  // Makes `source` (null: none) the location database from now on.
  void UseGeoSource(std::unique_ptr<GeoSource> source);

  // ---- Loading ----
  std::optional<LogFormat> format;  // every file read as this; none: recognised per file
  // False leaves the referrers out of the next loads (LoadRequest::keep_referrers).
  bool keep_referrers = true;

  // The request for `paths`, or none with the message in `refusal` when a
  // file can never be a log. Leaves the loaded log alone.
  std::optional<LoadRequest> PrepareLoad(const std::vector<std::string>& paths,
                                         std::string& refusal) const;
  // Takes what RunLoad or LoadLogSources gave for a request of PrepareLoad,
  // with what the load's thread prepared of the closing steps (null: nothing).
  LoadOutcome FinishLoad(const LoadRefusal& result, LoadedLog&& log,
                         std::unique_ptr<PreparedClosing> closing = nullptr);
  // PrepareLoad, `arm` with the request, the load on this thread (the loaded
  // log goes first, so two never share the memory) and FinishLoad. A load
  // that runs out of memory gives kRefused with no log loaded; the outcome
  // itself may still throw std::bad_alloc when even that fails.
  LoadOutcome Load(const std::vector<std::string>& paths,
                   const std::function<void(LoadRequest&)>& arm = nullptr);
  // Drops the report, the places and the log.
  void CloseLog();

  const LoadedLog* Log() const { return log_.get(); }  // null: none loaded
  std::int32_t RecordCount() const;
  // The information box: the log's name, its counts, its dates and formats.
  std::vector<std::string> InformationLines() const;
  // What shared outputs say of the loaded log (empty without one).
  OutputHeader LogHeader() const;

  // The log's calendar dates; none without a log.
  LogDates Dates() const;
  // The period analysed first after a load: the month of the record in the
  // middle of the log, January 2008 without records.
  Period PeriodAfterLoad() const;
  // The site tree of the log for request kind `request_filter`; null without a log.
  std::unique_ptr<TreeNode> SiteTree(int request_filter) const;

  // ---- Analysis ----
  // What a run of `choice` reads; builds the places first when its kind needs them.
  AnalysisInput InputFor(const AnalysisChoice& choice);
  ReportContext Context() const;
  // Runs `choice` and keeps the result as the last report.
  const ReportResult& Analyse(const AnalysisChoice& choice);
  // Every report kind for `selection`, in the registry's order, leaving out
  // the kinds whose location database is missing. The results keep no
  // selected records (no details are asked of them); the last report stays.
  std::vector<ReportResult> AnalyseEvery(const SelectionChoice& selection);
  // Keeps `result` (of this session's log) as the last report.
  void KeepReport(ReportResult&& result);
  const ReportResult& Report() const { return report_; }
  ReportResult& Report() { return report_; }
  // The records behind table row `row` of the last report, oldest first.
  std::vector<const LogRecord*> Details(int row) const;

  // ---- Saving ----
  // The last report as the table file, whole or not at all (present/report_csv.h).
  // On failure false with `error` naming the file and the reason.
  bool SaveCsv(const std::string& path, std::string& error,
               TableEncoding encoding = TableEncoding::kWindows1251) const;
  // The table's bytes to `write`, for standard output: no byte-order mark.
  bool WriteCsv(const std::function<bool(std::string_view)>& write,
                TableEncoding encoding = TableEncoding::kWindows1251) const;

 private:
  void PreparePlaces();

  std::string exe_folder_;
  FileAccess& files_;
  LanguagePack lang_;
  EngineList engines_;
  std::unique_ptr<GeoSource> geo_;
  // Declared in the order they are dropped in reverse: the report points
  // into the places and the log, the places into the log.
  std::unique_ptr<LoadedLog> log_;
  std::unique_ptr<GeoTable> places_;
  ReportResult report_;
};

}  // namespace tw
