// The analysis driver: one run turns the loaded records into one report.

#include <string>
#include <utility>

#include "Loadlog_carray.h"
#include "Loadlog_closing.h"
#include "Main_form.h"
#include "Stat_kinds.h"
#include "Stat_period.h"
#include "Stat_rows.h"
#include "Stat_selection.h"

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

void TSDIAppForm::SelectRecords() {
  Selected = {};
  SelectedCount = 0;
  if (!Records) return;
  Selected = SelectRecordsOf(*Records, CurrentSelectionChoice());
  SelectedCount = static_cast<std::int32_t>(Selected.size());
}

void TSDIAppForm::ClearReport() {
  GroupBox4.Caption = Lang.Get("stat0");
  ClearTable();
  Button2.Enabled = false;
  Selected = {};
  SelectedCount = 0;
  if (Rows != nullptr && KindOwnsRowLabels(ReportKind)) {
    const std::int32_t n = CARRAY_Count(Rows);
    for (std::int32_t i = 0; i < n; ++i) {
      auto* row = static_cast<ReportRow*>(CARRAY_Item(Rows, i));
      delete[] row->Label;
      row->Label = nullptr;
    }
  }
  CARRAY_Free(Rows);
}

const ReportKindInfo* TSDIAppForm::CheckedReportKind() const {
  for (const ReportKindInfo& info : kReportKinds) {
    if ((this->*info.Button).Checked) return &info;
  }
  return nullptr;
}

const ReportKindInfo* TSDIAppForm::BeginAnalysis() {
  ClearReport();
  Rows = CARRAY_Create(sizeof(ReportRow));

  const ReportKindInfo* chosen = CheckedReportKind();
  ReportKind = chosen != nullptr ? chosen->Kind : 0;
  GroupBox4.Caption = Lang.Get(chosen != nullptr ? chosen->TitleId : "stat0");
  Label8.Caption = RecordCount <= 0 ? Lang.Get("mes1")
                                    : "http://" + SiteName + SelectedSectionPath() + "  " +
                                          FormatPeriod(CurrentPeriod());
  return chosen;
}

void TSDIAppForm::RunAnalysis() {
  const ReportKindInfo* chosen = BeginAnalysis();
  SelectRecords();
  if (chosen != nullptr && chosen->Report != nullptr) {
    (this->*chosen->Report)(Selected, SelectedCount);
  }
}

bool TSDIAppForm::RunPreparedAnalysis(PreparedClosing& prepared) {
  const ReportKindInfo* checked = CheckedReportKind();
  if (!prepared.analysed || !Records || checked == nullptr ||
      checked->Report != &TSDIAppForm::ReportByDay ||
      CurrentSelectionChoice() != prepared.selection) {
    return false;
  }
  BeginAnalysis();
  Selected = std::move(prepared.selected);
  SelectedCount = static_cast<std::int32_t>(Selected.size());
  ShowDayRows(std::move(prepared.day_rows));
  return true;
}

}  // namespace tw
