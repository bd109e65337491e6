#pragma once

// TSDIAppForm: the main window's state and behaviour without the toolkit.
// It owns everything the window owns (the language pack, the loaded log with
// its pools, the last report, the screen state as a FormView) and carries every
// operation and handler of the window. The Qt window shows its state and forwards user
// events to its handlers; the command-line tool drives it without a window.
//
// Everything runs on one thread; only RunLoad, between PrepareLoad and
// FinishLoad, may run on another, and it touches no form. The Platform given
// at construction must outlive the form.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/period.h"
#include "analysis/report_input.h"
#include "analysis/report_result.h"
#include "analysis/selection.h"
#include "analysis/site_tree_nodes.h"
#include "base/language.h"
#include "form/controls.h"
#include "form/log_grid.h"
#include "form/platform.h"
#include "form/stat_grid.h"
#include "form/view.h"
#include "present/shared_output.h"
#include "geo/source.h"
#include "load/loader.h"
#include "log/ipv6_table.h"
#include "log/record.h"
#include "log/record_array.h"
#include "log/string_pool.h"
#include "parse/format.h"
#include "parse/referrer.h"
#include "session/session.h"

namespace tw {

struct ReportKindInfo;

class TSDIAppForm {
 public:
  // Construction in the window's order: language pack, empty log, dates,
  // engine list, captions (ApplyLanguage), information box, caption, and one
  // analysis run over no records.
  explicit TSDIAppForm(Platform& platform);
  // Drops the report, then the log (FormDestroy), then the language pack.
  ~TSDIAppForm();
  TSDIAppForm(const TSDIAppForm&) = delete;
  TSDIAppForm& operator=(const TSDIAppForm&) = delete;

  // ---- Handlers of the window's commands and controls ----
  void FileOpen1Execute();   // open dialog, then LoadLog
  void FileSave1Execute();   // save dialog, then ExportCsv or the chosen output
  void FileExportExecute();  // export dialog, then every report as one HTML page
  void Help2Click();         // the help page beside the program, as a file:// address
  void HomePage1Click();     // the maker's home page
  void Button1Click();       // RunAnalysis
  void RadioButton1Click() {}  // report buttons: the choice counts at the next run
  void RadioButton14Click();   // request kinds: RequestFilter, then BuildSiteTree
  void onStringGrid1Click();   // click, current-row change or focus of StringGrid1
  void Button2Click();         // ShowDetails
  // The period frame: a month of the log, or either end of the period.
  void ComboBox1Change(int index);
  void DateTimePicker1Change(const CalendarDate& date);
  void DateTimePicker2Change(const CalendarDate& date);
  void FormDestroy();
  // Sets the width the window gave StringGrid1 and adjusts the column widths.
  void FormResize(int table_width);

  // ---- Operations ----
  void ApplyLanguage();
  void LoadLog(const std::string& path);
  // Reads the files as one log (see load/loader.h), each under FormatChoice.
  void LoadLogs(const std::vector<std::string>& paths);
  // A load in two halves, for a load run elsewhere (RunLoad on a worker
  // thread). PrepareLoad gives the request for the files, each under
  // FormatChoice, or none after showing why a file is no log at all; it
  // leaves the loaded log alone. FinishLoad takes what RunLoad gave: a log
  // replaces the loaded one, a cancel leaves everything as it was, running
  // out of memory says so and keeps the loaded log, other refusals drop it.
  std::optional<LoadRequest> PrepareLoad(const std::vector<std::string>& paths);
  void FinishLoad(const LoadRefusal& result, LoadedLog&& log,
                  std::unique_ptr<PreparedClosing> closing = nullptr);
  // Shows the log the session has just taken: pickers, information box,
  // caption, closing message, tree and analysis.
  void ApplyLoadedLog(LoadOutcome&& outcome);
  // What the closing steps of the next load will do, for the load's thread
  // to prepare (PrepareClosing).
  ClosingChoice ClosingChoiceForLoad() const;
  // Closes the log: the report, the table and the tree go with it.
  void ClearLog();
  static std::string DeriveSiteName(const std::string& path);

  void RunAnalysis();
  // The analysis run a load's thread prepared, when the window's choices are
  // still the ones it was prepared for; false (nothing done) otherwise.
  bool RunPreparedAnalysis(PreparedClosing& prepared);
  // After a load: the log's dates and months, and the month and year of the
  // record in the middle of the log as the analysed period.
  // With `prepared`, the log's dates as the load's thread found them.
  void SetPeriodAfterLoad(const LogDates* prepared = nullptr);
  // Analyses `period` from now on, whatever the log's dates; the pickers show
  // the part of it within the log's dates.
  void SetAnalysedPeriod(const Period& period);
  // The period the next analysis covers: January 2008 without records.
  Period CurrentPeriod() const;
  void ClearReport();
  SelectionChoice CurrentSelectionChoice() const;
  bool RequestPassesFilter(const char* url) const;
  std::string SelectedSectionPath() const;

  void BuildSiteTree();
  // Makes `root` the tree, its root selected.
  void InstallSiteTree(std::unique_ptr<TreeNode> root);
  void ClearSiteTree();
  // Selects the tree node of a section path such as "/news/2008" ("/" is the
  // root). Returns false, selecting nothing new, when no node has that path.
  bool SelectSectionByPath(const std::string& path);

  void ClearTable();
  // Makes `result` the last report and shows it: title, subject, table, chart.
  void ShowReport(ReportResult&& result);
  // Shows the session's last report.
  void ShowReport();
  // The colour StringGrid1DrawCell fills a cell with, or none when the cell is
  // left as the grid drew it (title row, empty table).
  std::optional<Rgb> StringGrid1DrawCell(int col, int row) const;

  void ShowDetails();

  // Writes the table as shown to a semicolon-separated file. On failure returns
  // false and sets `error` to a message naming the file and the reason.
  bool WriteCsv(const std::string& path, std::string& error,
                TableEncoding encoding = TableEncoding::kWindows1251) const;
  // The same bytes in pieces, in order, to `write`; stops at the first piece
  // `write` refuses (returns false) and then returns false.
  bool WriteCsvTo(const std::function<bool(std::string_view)>& write) const;
  // WriteCsv, with a message box on failure.
  void ExportCsv(const std::string& path, TableEncoding encoding = TableEncoding::kWindows1251);
  // `reports` in `format` to `path`, with a message box on failure.
  void SaveShared(SharedFormat format, const std::vector<const ReportResult*>& reports,
                  const std::string& path);

  // Makes `source` (null: none) the location database of the countries and
  // cities reports, and shows their buttons when it can serve them.
  void UseGeoSource(std::unique_ptr<GeoSource> source);
  void ShowGeoButtons();
  // "Location database: " and the database's Description, or "...: none".
  std::string GeoDatabaseLine() const;

  // "Version: 1.0.1.83." from the program's own version, or "Version 1.0.3.30" when none was recorded.
  static std::string AboutVersionLine();

  // ---- The session the window drives, and its parts under their names ----
  Platform& platform_;
  Session session_;
  LanguagePack& Lang;
  EngineList& Engines;
  std::optional<LogFormat>& FormatChoice;  // the format logs are opened with; none: recognised
  // Whether a load keeps the referrers (LoadRequest::keep_referrers). Only a
  // caller that runs one report which reads none of them clears it: the
  // window's reports and details need them all.
  bool& KeepReferrers;

  // The loaded log, read from the session: null, 0 or empty when none is loaded.
  const LoadedLog* Log() const { return session_.Log(); }
  const RecordArray* Records() const;
  std::int32_t RecordCount() const { return session_.RecordCount(); }
  LogTime FirstTime() const;
  LogTime LastTime() const;
  const StringPool* UrlPool() const;
  const StringPool* ReferrerPool() const;
  const StringPool* UserAgentPool() const;
  const StringPool* SearchPhrasePool() const;
  const StringPool* ReferrerDomainPool() const;
  const Ipv6AddressTable* Ipv6Addresses() const;
  const std::vector<const char*>& Crawlers() const;
  const std::string& SiteName() const;
  std::int64_t RejectedCount() const;  // lines rejected by the last load
  const std::vector<LoadedFile>& LoadedFiles() const;  // what happened to each file, in reading order
  const GeoSource* GeoDatabase() const { return session_.GeoDatabase(); }  // null: none
  // The last report; it points into the loaded log and is dropped before it.
  const ReportResult& Report() const { return session_.Report(); }

  std::int32_t RequestFilter = 0;
  std::string LoadError;  // why the last load stopped early; empty when it ran to its end
  // Files of the last load that broke off part way (what came before is loaded).
  std::string LoadWarning;
  // Closing steps of a load: the site tree and the by-day analysis. A caller
  // that sets its own choices and analyses after the load skips them.
  bool TreeAfterLoad = true;
  bool AnalysisAfterLoad = true;

  // The period: the log's calendar dates (none when HasLogDates is false), its
  // months (day 1 each, in the order of ComboBox1) and the analysed days.
  bool HasLogDates = false;
  CalendarDate EarliestDate, LatestDate;
  std::vector<CalendarDate> LogMonths;
  Period AnalysedPeriod = EmptyLogPeriod();

  // The kind of the last report; null without one.
  const ReportKindInfo* ReportKind() const { return Report().kind; }
  std::int32_t SelectedCount() const { return static_cast<std::int32_t>(Report().selected.size()); }

  // What the window shows (form/view.h), and its parts under the names the
  // handlers use.
  FormView view;
  StatGrid& StringGrid1 = view.StringGrid1;
  ChartSeries& Chart1 = view.Chart1;
  RawLogGrid& StringGrid2 = view.StringGrid2;
  int& TableMode = view.TableMode;
  int& SliceCount = view.SliceCount;
  bool& TableDockedLeft = view.TableDockedLeft;
  int& StringGrid1Width = view.StringGrid1Width;
  std::string& Caption = view.Caption;
  std::string& StatusText = view.StatusText;
  std::vector<std::string>& Memo3 = view.Memo3;
  Control &File1 = view.File1, &FileOpenItem = view.FileOpenItem, &FileSaveItem = view.FileSaveItem,
          &FileExportItem = view.FileExportItem,
          &FileExitItem = view.FileExitItem;
  Control &Edit1 = view.Edit1, &Settings1 = view.Settings1, &Change1 = view.Change1;
  Control &Help1 = view.Help1, &Help2 = view.Help2, &HomePage1 = view.HomePage1,
          &HelpAboutItem = view.HelpAboutItem;
  Control &GroupBox1 = view.GroupBox1, &GroupBox2 = view.GroupBox2, &GroupBox3 = view.GroupBox3,
          &GroupBox4 = view.GroupBox4, &GroupBox5 = view.GroupBox5, &GroupBox6 = view.GroupBox6;
  Control &Label1 = view.Label1, &Label2 = view.Label2, &Label3 = view.Label3, &Label4 = view.Label4,
          &Label5 = view.Label5, &Label6 = view.Label6, &Label7 = view.Label7, &Label8 = view.Label8;
  Control &RadioButton14 = view.RadioButton14, &RadioButton15 = view.RadioButton15,
          &RadioButton16 = view.RadioButton16;
  Control &CheckBox1 = view.CheckBox1;
  Control &Button1 = view.Button1, &Button2 = view.Button2;
  DatePicker &DateTimePicker1 = view.DateTimePicker1, &DateTimePicker2 = view.DateTimePicker2;
  ChoiceBox& ComboBox1 = view.ComboBox1;
  SiteTreeView& TreeView1 = view.TreeView1;
  std::vector<Control>& ReportButtons = view.ReportButtons;

  Control& ReportButton(const ReportKindInfo& kind);
  // Checks the button of `kind` and unchecks the others (null: none checked).
  void CheckReportButton(const ReportKindInfo* kind);
  // Checks one of RadioButton14..16 (filter 1..3) and unchecks the others.
  void CheckRequestButton(int filter);

 private:
  // Leaves the window as if no log had ever been opened, and says why.
  void DropLog(const std::string& message);
  // DropLog for a load that ran out of memory, even when saying so does too.
  void DropLogForMemory();
  // Frees the report, the log, the table and the tree before a new log comes.
  void ReleaseLog();
  // Whatever a load became: shown, and the log taken or kept as it says.
  void ShowLoadOutcome(LoadOutcome&& outcome);
  // The last closing steps of a load: the tree and the first analysis, taken
  // from `prepared` where the load's thread prepared them (null: none).
  void TreeAndAnalysisAfterLoad(PreparedClosing* prepared);
  // Sets both pickers to the analysed period within the log's dates, and the
  // month choice to the month that period is, if any.
  void ShowAnalysedPeriod();
  // The kind of the first checked report button, or null.
  const ReportKindInfo* CheckedReportKind() const;
};

// The help page that ships beside the program, and the addresses behind the
// Help menu's other item and the about box's links.
inline constexpr const char* kHelpFileName = "tallyweave-help.html";
inline constexpr const char* kHomeAddress = "https://quelmark.example/";
inline constexpr const char* kSupportMail = "mailto:support@quelmark.example";

}  // namespace tw
