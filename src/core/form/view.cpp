// The main window's view: its designed state, its captions, and the log and
// the report as the window shows them.

#include "form/view.h"

#include <algorithm>

#include "analysis/report_colours.h"
#include "analysis/report_kinds.h"
#include "base/delimited.h"
#include "base/language.h"
#include "load/load_messages.h"
#include "session/session.h"

namespace tw {

namespace {

int LabelColumnWidth(int table_width, int others) {
  return std::max(kMinLabelColumnWidth, table_width - others);
}

}  // namespace

FormView::FormView() : ReportButtons(kReportKindCount) {
  ReportButtons[0].Checked = true;
  RadioButton14.Checked = true;
  CheckBox1.Checked = true;
  Edit1.Caption = "&Edit";
  Edit1.Visible = false;
  Settings1.Visible = false;
  Button2.Enabled = false;
  ComboBox1.Enabled = false;
}

Control& FormView::ReportButton(const ReportKindInfo& kind) {
  return ReportButtons[ReportKindIndex(kind)];
}

const Control& FormView::ReportButton(const ReportKindInfo& kind) const {
  return ReportButtons[ReportKindIndex(kind)];
}

void ShowLanguageInView(const LanguagePack& lang, FormView& view) {
  struct Item {
    Control FormView::*control;
    const char* id;
  };
  static constexpr Item kTexts[] = {
      // menus
      {&FormView::File1, "m1"},
      {&FormView::FileOpenItem, "m11"},
      {&FormView::FileSaveItem, "m12"},
      {&FormView::FileExitItem, "m13"},
      {&FormView::Settings1, "m3"},
      {&FormView::Change1, "m31"},
      {&FormView::Help1, "m4"},
      {&FormView::Help2, "m41"},
      {&FormView::HomePage1, "m42"},
      {&FormView::HelpAboutItem, "m44"},
      // controls
      {&FormView::GroupBox3, "0"},
      {&FormView::Label1, "1"},
      {&FormView::Label2, "5"},
      {&FormView::Label5, "8"},
      {&FormView::Label6, "13"},
      {&FormView::GroupBox6, "19"},
      {&FormView::RadioButton14, "20"},
      {&FormView::RadioButton15, "21"},
      {&FormView::RadioButton16, "22"},
      {&FormView::CheckBox1, "23"},
      {&FormView::GroupBox1, "24"},
      {&FormView::Button1, "25"},
      {&FormView::Label7, "26"},
      {&FormView::GroupBox5, "27"},
      {&FormView::Button2, "28"},
      {&FormView::GroupBox4, "stat0"},
  };
  for (const Item& item : kTexts) (view.*item.control).Caption = lang.Get(item.id);
  for (const ReportKindInfo& kind : kReportKinds) view.ReportButton(kind).Caption = lang.Get(kind.ButtonTextId);
  view.FileExportItem.Caption = lang.GetOr("m14", "&Export report...");
  view.GroupBox2.Caption = lang.GetOr("period0", " Period ");
  view.Label3.Caption = lang.GetOr("period1", "from:");
  view.Label4.Caption = lang.GetOr("period2", "to:");
  SetCommaText(view.StringGrid2.Header, lang.Get("RAW_LOG_HEADER"));
}

void ShowLogInView(const Session& session, FormView& view) {
  view.Memo3 = session.InformationLines();
  view.Caption = kProgramTitle;
  if (session.RecordCount() > 0) {
    view.Caption = LogCaptionTitle(session.Lang(), session.Log()->files) + " - " + kProgramTitle;
  }
}

void ShowReportInView(const ReportResult& report, FormView& view) {
  view.GroupBox4.Caption = report.title;
  view.Label8.Caption = report.subject;
  view.StringGrid1.Show(&report);
  view.StringGrid2.Clear();
  view.Chart1 = report.chart;
  view.SliceCount = report.slice_count;
  if (report.time_table) {
    view.TableMode = 1;
    view.TableDockedLeft = true;
    view.StringGrid1.ColWidths = {0, LabelColumnWidth(kTimeTableWidth, 230), 50, 50, 50, 50};
  } else if (report.kind != nullptr) {
    view.TableMode = 0;
    view.TableDockedLeft = false;
    view.StringGrid1.ColWidths = {20, LabelColumnWidth(view.StringGrid1Width, 170), 70, 70};
  }
}

void ResizeStatTable(int table_width, FormView& view) {
  view.StringGrid1Width = table_width;
  if (!view.TableDockedLeft && view.StringGrid1.ColWidths.size() > 1) {
    view.StringGrid1.ColWidths[1] = LabelColumnWidth(table_width, 170);
  }
}

std::optional<Rgb> StatCellColour(const FormView& view, int col, int row) {
  // The title row and the empty table keep the grid's own painting.
  if (row == 0 || view.StringGrid1.RowCount() == 2) return std::nullopt;
  const bool current = row == view.StringGrid1.Row;
  if (view.TableMode == 0) {
    if (col == 0 && row >= 1 && row <= view.SliceCount && row <= MaxSlices) {
      return SliceColours[static_cast<std::size_t>(row - 1)];
    }
    return current ? kSelectedRowColour : kInfoBackground;
  }
  if (current) return kSelectedRowColour;
  if (col >= 2 && col <= 5) return kTimeColumnColours[static_cast<std::size_t>(col - 2)];
  return kInfoBackground;
}

}  // namespace tw
