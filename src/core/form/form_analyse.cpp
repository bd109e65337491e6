// The analysis driver of the window: its choices into one report run, and
// the report onto the screen.

#include <string>
#include <utility>

#include "analysis/period.h"
#include "analysis/report_kinds.h"
#include "analysis/report_run.h"
#include "analysis/selection.h"
#include "form/form.h"
#include "session/closing.h"

namespace tw {

bool TSDIAppForm::RequestPassesFilter(const char* url) const {
  return ::tw::RequestPassesFilter(RequestFilter, url);
}

std::string TSDIAppForm::SelectedSectionPath() const {
  std::string path;
  for (const TreeNode* node = TreeView1.Selected; node != nullptr && node->Parent != nullptr;
       node = node->Parent) {
    path.insert(0, "/" + node->Text);
  }
  return path.empty() ? std::string("/") : path;
}

SelectionChoice TSDIAppForm::CurrentSelectionChoice() const {
  return SelectionChoice{CurrentPeriod(), RequestFilter, CheckBox1.Checked, SelectedSectionPath()};
}

void TSDIAppForm::ClearReport() {
  GroupBox4.Caption = Lang.Get("stat0");
  ClearTable();
  Button2.Enabled = false;
  session_.KeepReport(ReportResult{});
}

const ReportKindInfo* TSDIAppForm::CheckedReportKind() const {
  for (const ReportKindInfo& info : kReportKinds) {
    if (ReportButtons[ReportKindIndex(info)].Checked) return &info;
  }
  return nullptr;
}

void TSDIAppForm::RunAnalysis() {
  const ReportKindInfo* chosen = CheckedReportKind();
  // The last report points into what the next run may rebuild.
  ClearReport();
  session_.Analyse(AnalysisChoice{chosen, CurrentSelectionChoice()});
  ShowReport();
}

bool TSDIAppForm::RunPreparedAnalysis(PreparedClosing& prepared) {
  const ReportKindInfo* checked = CheckedReportKind();
  if (!prepared.analysed || Records() == nullptr || checked == nullptr ||
      checked->Report != &ReportByDay || CurrentSelectionChoice() != prepared.selection) {
    return false;
  }
  ClearReport();
  const AnalysisInput in = session_.InputFor(AnalysisChoice{checked, CurrentSelectionChoice()});
  ShowReport(DayReportOf(in, std::move(prepared.selected), std::move(prepared.day_rows)));
  return true;
}

}  // namespace tw
