// The analysis driver: one run turns the loaded records into one report.

#include <cstring>
#include <string>
#include <string_view>

#include "Loadlog_carray.h"
#include "Main_form.h"
#include "Stat_kinds.h"
#include "Stat_period.h"
#include "Stat_rows.h"

namespace tw {

namespace {

// The extension of a request as the filter sees it: the text after the last
// '.', empty when there is no '.' or a '\' or ':' follows it. A '/' after the
// '.' does not end it ("/x.y/z" has the extension "y/z").
std::string_view RequestExtension(const char* url) {
  if (url == nullptr) return {};
  const char* dot = std::strrchr(url, '.');
  if (dot == nullptr) return {};
  const char* ext = dot + 1;
  if (std::strpbrk(ext, "\\:") != nullptr) return {};
  return std::string_view(ext);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool IsGraphics(std::string_view ext) {
  const std::string_view short_ext = ext.substr(0, 3);
  for (const char* graphics : {"jpg", "gif", "png", "bmp", "ico"}) {
    if (short_ext == graphics) return true;
  }
  // Four letters: the three-letter test alone would let ".jpeg" through.
  return StartsWith(ext, "jpeg");
}

}  // namespace

bool TSDIAppForm::RequestPassesFilter(const char* url) const {
  if (RequestFilter == 3) return true;
  const std::string_view ext = RequestExtension(url);
  if (RequestFilter == 2) return !IsGraphics(ext);
  const std::string_view short_ext = ext.substr(0, 3);
  return short_ext.empty() || short_ext == "htm" || short_ext == "php";
}

std::string TSDIAppForm::SelectedSectionPath() const {
  std::string path;
  for (const TreeNode* node = TreeView1.Selected; node != nullptr && node->Parent != nullptr;
       node = node->Parent) {
    path.insert(0, "/" + node->Text);
  }
  return path.empty() ? std::string("/") : path;
}

void TSDIAppForm::SelectRecords() {
  const std::string section = SelectedSectionPath();
  // The root stands for the whole site, requests that don't start with '/'
  // ("*", absolute addresses) included.
  const bool whole_site = section == "/";
  const Period period = CurrentPeriod();

  Selected = {};
  SelectedCount = 0;
  if (!Records) return;
  const bool skip_crawlers = CheckBox1.Checked;
  const std::int32_t count = Records->Count();
  // Room for every record at once: growing by doubling would hold the old and
  // the new array together, half as much again as the whole selection.
  Selected.reserve(static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count; ++i) {
    const LogRecord* r = (*Records)[i];
    if (skip_crawlers && r->IsCrawler) continue;
    if (!PeriodContains(period, r->LogTime)) continue;
    if (!RequestPassesFilter(r->Url)) continue;
    if (!whole_site &&
        (r->Url == nullptr || std::strncmp(r->Url, section.c_str(), section.size()) != 0)) {
      continue;
    }
    Selected.push_back(r);
  }
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

void TSDIAppForm::RunAnalysis() {
  ClearReport();
  Rows = CARRAY_Create(sizeof(ReportRow));

  ReportKind = 0;
  const ReportKindInfo* chosen = nullptr;
  for (const ReportKindInfo& info : kReportKinds) {
    if ((this->*info.Button).Checked) {
      chosen = &info;
      ReportKind = info.Kind;
      break;
    }
  }
  GroupBox4.Caption = Lang.Get(chosen != nullptr ? chosen->TitleId : "stat0");
  Label8.Caption = RecordCount <= 0 ? Lang.Get("mes1")
                                    : "http://" + SiteName + SelectedSectionPath() + "  " +
                                          FormatPeriod(CurrentPeriod());

  SelectRecords();
  if (chosen != nullptr && chosen->Report != nullptr) {
    (this->*chosen->Report)(Selected, SelectedCount);
  }
}

}  // namespace tw
