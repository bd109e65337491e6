// Loading logs into the main window: LoadLog, the step that applies a loaded
// log to the window, ClearLog and DeriveSiteName.

#include "analysis/report_kinds.h"
#include "form/form.h"

#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <utility>

#include "analysis/period.h"
#include "base/text_format.h"
#include "load/load_messages.h"
#include "parse/crawlers.h"
#include "parse/site_name.h"

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
  ClearSiteTree();
  SetPeriodAfterLoad();
  ShowLogInView(session_, view);
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
  ClearSiteTree();
  ClearLog();
  StatusText.clear();
}

std::optional<LoadRequest> TSDIAppForm::PrepareLoad(const std::vector<std::string>& paths) {
  LoadError.clear();
  LoadWarning.clear();
  std::string refusal;
  std::optional<LoadRequest> request = session_.PrepareLoad(paths, refusal);
  if (!request) {
    LoadError = refusal;
    platform_.ShowMessage(LoadError);
  }
  return request;
}

void TSDIAppForm::ReleaseLog() {
  // The last report's rows and selection point into the records about to be freed.
  ClearReport();
  ClearLog();
  ClearSiteTree();
}

void TSDIAppForm::LoadLogs(const std::vector<std::string>& paths) {
  try {
    LoadError.clear();
    LoadWarning.clear();
    const std::string progress_format = Lang.Get("mes0");
    LoadOutcome outcome = session_.Load(paths, [&](LoadRequest& request) {
      // Read alone, the old log goes first, so the two never share the memory.
      ReleaseLog();
      request.on_progress = [this, &progress_format](const std::string& path, int percent) {
        StatusText = FormatText(progress_format, {path, percent, FormatArg::Char('%')});
      };
      request.on_tick = [this] { platform_.ProcessPaint(); };
    });
    ShowLoadOutcome(std::move(outcome));
  } catch (const std::bad_alloc&) {
    DropLogForMemory();
  }
}

void TSDIAppForm::FinishLoad(const LoadRefusal& result, LoadedLog&& log,
                             std::unique_ptr<PreparedClosing> closing) {
  try {
    // A new log, or none: what points into the loaded one goes first.
    if (result.kind != LoadRefusal::Kind::kCancelled &&
        result.kind != LoadRefusal::Kind::kOutOfMemory) {
      ReleaseLog();
    }
    ShowLoadOutcome(session_.FinishLoad(result, std::move(log), std::move(closing)));
  } catch (const std::bad_alloc&) {
    DropLogForMemory();
  }
}

void TSDIAppForm::ShowLoadOutcome(LoadOutcome&& outcome) {
  switch (outcome.kind) {
    case LoadOutcome::Kind::kLoaded:
      ApplyLoadedLog(std::move(outcome));
      return;
    case LoadOutcome::Kind::kCancelled:
      StatusText.clear();
      return;
    case LoadOutcome::Kind::kNotALog:
    case LoadOutcome::Kind::kOutOfMemory:
      // Read beside the loaded log, which is still whole: it stays.
      LoadError = outcome.error;
      platform_.ShowMessage(LoadError);
      StatusText.clear();
      return;
    case LoadOutcome::Kind::kRefused:
      DropLog(outcome.message);
      return;
  }
}

void TSDIAppForm::ApplyLoadedLog(LoadOutcome&& outcome) {
  // What the load's thread prepared is taken over; the rest is done here.
  const std::unique_ptr<PreparedClosing> closing = std::move(outcome.closing);
  RequestFilter = 1;
  CheckReportButton(&kReportKinds[0]);
  CheckRequestButton(1);

  const CalendarDate today = platform_.Today();
  for (DatePicker* picker : {&DateTimePicker1, &DateTimePicker2}) {
    picker->Enabled = false;
    picker->HasMinDate = false;
    picker->MaxDate = AddDays(today, kPickerDaysAhead);
    picker->Date = today;
  }

  // Even a log that gave no record counts as loaded: the tree then shows its root.
  ShowLogInView(session_, view);
  SetPeriodAfterLoad(closing && closing->dates ? &*closing->dates : nullptr);

  LoadError = std::move(outcome.error);
  LoadWarning = std::move(outcome.warning);
  platform_.ShowMessage(outcome.message);

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
  ClearTable();  // the raw log table lists records of the log
  session_.CloseLog();
}

std::string TSDIAppForm::DeriveSiteName(const std::string& path) { return SiteNameOfLogPath(path); }

}  // namespace tw
