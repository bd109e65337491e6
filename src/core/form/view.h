#pragma once

// FormView: what the main window shows, as one plain value without the
// toolkit: the window's caption and status line, the information box, the
// simple controls, the period pickers and month choice, the site tree, the
// statistics table with its chart and the raw log table. TSDIAppForm keeps
// one and changes it in its handlers; the Qt window copies it into widgets.
//
// The Show...InView functions build the view's parts from the session:
//
//   ShowLogInView(session, view);                         // caption, information box
//   ShowLogDatesInView(session.Dates(), lang, today, view);
//   ShowPeriodInView(session.Dates(), period, view);      // pickers, month choice
//   ShowReportInView(session.Report(), view);             // title, subject, table, chart
//
// The table borrows the report it shows: drop or replace the report only
// after showing another one (or none) in the table.

#include <optional>
#include <string>
#include <vector>

#include "analysis/period.h"
#include "analysis/report_chart.h"
#include "analysis/report_result.h"
#include "analysis/site_tree_nodes.h"
#include "form/controls.h"
#include "form/log_grid.h"
#include "form/stat_grid.h"
#include "session/closing.h"

namespace tw {

class LanguagePack;
class Session;
struct ReportKindInfo;

inline constexpr const char* kProgramTitle = "Quelmark Tallyweave";

struct FormView {
  // The controls as designed: the first report and request buttons and the
  // crawler switch checked, the details button and the month choice greyed,
  // the Edit and Settings menus hidden.
  FormView();

  // The statistics table, its chart and the raw log table.
  StatGrid StringGrid1;
  ChartSeries Chart1;
  RawLogGrid StringGrid2;
  int TableMode = 0;   // 0 count table, 1 time table
  int SliceCount = 0;  // rows that own a pie slice
  bool TableDockedLeft = false;  // time layout: table 330 wide on the left
  int StringGrid1Width = 330;    // last width the window reported

  std::string Caption;     // the window's title
  std::string StatusText;  // the status bar
  std::vector<std::string> Memo3;  // the information box, one entry per line
  Control File1, FileOpenItem, FileSaveItem, FileExportItem, FileExitItem;
  Control Edit1, Settings1, Change1;
  Control Help1, Help2, HomePage1, HelpAboutItem;
  Control GroupBox1, GroupBox2, GroupBox3, GroupBox4, GroupBox5, GroupBox6;
  Control Label1, Label2, Label3, Label4, Label5, Label6, Label7, Label8;
  Control RadioButton14, RadioButton15, RadioButton16;  // the request kinds
  Control CheckBox1;
  Control Button1, Button2;
  DatePicker DateTimePicker1, DateTimePicker2;
  ChoiceBox ComboBox1;  // the months of the log
  SiteTreeView TreeView1;

  // The report buttons, one per kind in the order of kReportKinds.
  std::vector<Control> ReportButtons;
  Control& ReportButton(const ReportKindInfo& kind);
  const Control& ReportButton(const ReportKindInfo& kind) const;
};

// The captions of the menus, controls and report buttons and the raw log
// table's column titles, in the language of `lang`.
void ShowLanguageInView(const LanguagePack& lang, FormView& view);

// The information box and the caption of the session's log: the program's
// title alone without records, else the log's name before it.
void ShowLogInView(const Session& session, FormView& view);

// The month choice (the log's months, none chosen) and the pickers' range for
// a log of `dates`: the log's days, or `today` alone when no record has a date.
void ShowLogDatesInView(const LogDates& dates, const LanguagePack& lang,
                        const CalendarDate& today, FormView& view);

// The pickers' dates for `analysed` within the log's days, and the month it
// is, when it is one whole month of the log. Without dates the pickers show
// their range's ends and no month is chosen.
void ShowPeriodInView(const LogDates& dates, const Period& analysed, FormView& view);

// The report's title, subject, table (from its first row), chart and the
// table's layout; the raw log table is emptied. A report of no kind keeps
// the layout and column widths of the last one.
void ShowReportInView(const ReportResult& report, FormView& view);

// The window gave StringGrid1 `table_width`; the count table's label column follows.
void ResizeStatTable(int table_width, FormView& view);

// The colour a cell of StringGrid1 is filled with, or none when the cell is
// left as the grid drew it (title row, empty table).
std::optional<Rgb> StatCellColour(const FormView& view, int col, int row);

}  // namespace tw
