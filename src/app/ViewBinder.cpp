#include "ViewBinder.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTreeView>
#include <QtCharts/QChartView>
#include <utility>

#include "CellDelegate.h"
#include "ChartBuilder.h"
#include "FlagScope.h"
#include "GridModel.h"
#include "GridSource.h"
#include "SiteTreeModel.h"
#include "analysis/report_colours.h"
#include "analysis/report_kinds.h"
#include "form/view.h"

namespace {

void setShown(QWidget* widget, bool visible) {
  if (widget->isHidden() == visible) widget->setVisible(visible);
}

QDate toQDate(const tw::CalendarDate& date) { return QDate(date.Year, date.Month, date.Day); }

void applyDatePicker(QDateEdit* edit, const tw::DatePicker& picker) {
  const QDate minimum = picker.HasMinDate ? toQDate(picker.MinDate) : QDate(1752, 9, 14);
  const QDate maximum = toQDate(picker.MaxDate);
  if (minimum.isValid() && maximum.isValid() && minimum <= maximum)
    edit->setDateRange(minimum, maximum);
  const QDate date = toQDate(picker.Date);
  if (date.isValid()) edit->setDate(date);
  edit->setEnabled(picker.Enabled);
}

void applyChoiceBox(QComboBox* box, const tw::ChoiceBox& choice) {
  QStringList items;
  for (const std::string& item : choice.Items) items.append(fromCoreText(item));
  QStringList shown;
  for (int i = 0; i < box->count(); ++i) shown.append(box->itemText(i));
  if (shown != items) {
    box->clear();
    box->addItems(items);
  }
  box->setCurrentIndex(choice.ItemIndex < box->count() ? choice.ItemIndex : -1);
  box->setEnabled(choice.Enabled);
  box->setVisible(choice.Visible);
}

int firstShownColumn(const QTableView* view) {
  const int columns = view->model()->columnCount();
  for (int col = 0; col < columns; ++col) {
    if (!view->isColumnHidden(col)) return col;
  }
  return 0;
}

}  // namespace

ViewBinder::ViewBinder(QWidget& window, const WindowWidgets& widgets, tw::FormView& view,
                       const CoreTextDecoder& decode)
    : m_window(window), m_ui(widgets), m_view(view), m_decode(decode) {
  m_statSource = std::make_unique<StatGridSource>(m_view);
  m_rawSource = std::make_unique<RawLogGridSource>(m_view.StringGrid2);
  m_statModel = new GridModel(*m_statSource, m_ui.stringGrid1);
  m_ui.stringGrid1->setModel(m_statModel);
  m_ui.stringGrid1->setItemDelegate(new CellDelegate(m_ui.stringGrid1));
  m_rawModel = new GridModel(*m_rawSource, m_ui.stringGrid2);
  m_ui.stringGrid2->setModel(m_rawModel);
  m_ui.stringGrid2->setItemDelegate(new CellDelegate(m_ui.stringGrid2));
  m_treeModel = new SiteTreeModel(m_view.TreeView1, m_ui.treeView1);
  m_ui.treeView1->setModel(m_treeModel);
  bindControls();
}

ViewBinder::~ViewBinder() = default;

void ViewBinder::bindControls() {
  using F = tw::FormView;
  // Each report button shows the view's control the registry names for its kind.
  for (const tw::ReportKindInfo& info : tw::kReportKinds) {
    m_buttonBindings.push_back(
        {&m_view.ReportButton(info), m_ui.reportButtons[tw::ReportKindIndex(info)]});
  }
  m_buttonBindings.push_back({&m_view.RadioButton14, m_ui.requestButtons[0]});
  m_buttonBindings.push_back({&m_view.RadioButton15, m_ui.requestButtons[1]});
  m_buttonBindings.push_back({&m_view.RadioButton16, m_ui.requestButtons[2]});
  m_buttonBindings.push_back({&m_view.CheckBox1, m_ui.checkBox1});
  m_buttonBindings.push_back({&m_view.Button1, m_ui.button1});
  m_buttonBindings.push_back({&m_view.Button2, m_ui.button2});
  m_labelBindings = {{&F::Label1, m_ui.headings[0]}, {&F::Label2, m_ui.headings[1]},
                     {&F::Label5, m_ui.headings[2]}, {&F::Label6, m_ui.headings[3]},
                     {&F::Label3, m_ui.label3},      {&F::Label4, m_ui.label4},
                     {&F::Label7, m_ui.label7},      {&F::Label8, m_ui.label8}};
  for (const LabelBinding& binding : m_labelBindings) binding.widget->setTextFormat(Qt::PlainText);
  m_groupBindings = {{&F::GroupBox1, m_ui.groupBox1}, {&F::GroupBox2, m_ui.groupBox2},
                     {&F::GroupBox3, m_ui.groupBox3}, {&F::GroupBox4, m_ui.groupBox4},
                     {&F::GroupBox5, m_ui.groupBox5}, {&F::GroupBox6, m_ui.groupBox6}};
  m_actionBindings = {{&F::File1, m_ui.fileMenu->menuAction()},
                      {&F::FileOpenItem, m_ui.openAction},
                      {&F::FileSaveItem, m_ui.saveAction},
                      {&F::FileExportItem, m_ui.exportAction},
                      {&F::FileExitItem, m_ui.exitAction},
                      {&F::Edit1, m_ui.editMenu->menuAction()},
                      {&F::Settings1, m_ui.settingsMenu->menuAction()},
                      {&F::Change1, m_ui.changeAction},
                      {&F::Help1, m_ui.helpMenu->menuAction()},
                      {&F::Help2, m_ui.helpAction},
                      {&F::HomePage1, m_ui.homePageAction},
                      {&F::HelpAboutItem, m_ui.aboutAction}};
}

void ViewBinder::refresh() {
  FlagScope syncing(m_syncing);
  applyControls();
  syncModels();
  applyTableLayout();
  rebuildChart();
}

void ViewBinder::applyControls() {
  const tw::FormView& view = m_view;
  // "[*]" in a title marks unsaved changes to Qt; a path may hold it literally.
  m_window.setWindowTitle(
      m_decode(view.Caption).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")));
  applyBindings();
  applyDatePicker(m_ui.dateTimePicker1, view.DateTimePicker1);
  applyDatePicker(m_ui.dateTimePicker2, view.DateTimePicker2);
  applyChoiceBox(m_ui.comboBox1, view.ComboBox1);

  QStringList lines;
  for (const std::string& line : view.Memo3) lines.append(m_decode(line));
  const QString memo = lines.join(QLatin1Char('\n'));
  if (m_ui.memo3->toPlainText() != memo) m_ui.memo3->setPlainText(memo);
  showStatusText();
}

void ViewBinder::applyBindings() {
  const tw::FormView& view = m_view;
  for (const ActionBinding& binding : m_actionBindings) {
    const tw::Control& control = view.*binding.control;
    binding.action->setText(fromCoreText(control.Caption));
    binding.action->setEnabled(control.Enabled);
    binding.action->setVisible(control.Visible);
  }
  for (const GroupBinding& binding : m_groupBindings) {
    const tw::Control& control = view.*binding.control;
    binding.widget->setTitle(fromCoreText(control.Caption));
    binding.widget->setEnabled(control.Enabled);
    setShown(binding.widget, control.Visible);
  }
  for (const LabelBinding& binding : m_labelBindings) {
    const tw::Control& control = view.*binding.control;
    binding.widget->setText(fromCoreText(control.Caption));
    binding.widget->setEnabled(control.Enabled);
    setShown(binding.widget, control.Visible);
  }
  for (const ButtonBinding& binding : m_buttonBindings) {
    const tw::Control& control = *binding.control;
    QAbstractButton* button = binding.widget;
    button->setText(fromCoreText(control.Caption));
    // In an exclusive group only the checked one takes effect; it unchecks the rest.
    if (button->isCheckable() && button->isChecked() != control.Checked)
      button->setChecked(control.Checked);
    button->setEnabled(control.Enabled);
    setShown(button, control.Visible);
  }
}

void ViewBinder::showStatusText() { m_ui.statusLabel->setText(m_decode(m_view.StatusText)); }

void ViewBinder::syncModels() {
  FlagScope syncing(m_syncing);
  if (m_statModel->reset()) m_statWidths.clear();
  if (m_rawModel->reset()) m_rawWidths.clear();
  applyColumnWidths(m_ui.stringGrid1, *m_statSource, m_statWidths);
  applyColumnWidths(m_ui.stringGrid2, *m_rawSource, m_rawWidths);
  syncCurrentRow(m_ui.stringGrid1, *m_statSource);
  syncCurrentRow(m_ui.stringGrid2, *m_rawSource);
  m_treeModel->sync();
  syncTreeSelection();
}

void ViewBinder::applyStatColumnWidths() {
  applyColumnWidths(m_ui.stringGrid1, *m_statSource, m_statWidths);
}

void ViewBinder::applyColumnWidths(QTableView* view, const GridSource& source,
                                   std::vector<int>& applied) {
  std::vector<int> widths = source.columnWidths();
  if (widths == applied) return;  // keep what the user dragged
  const int columns = view->model()->columnCount();
  for (int col = 0; col < columns && col < static_cast<int>(widths.size()); ++col) {
    const bool hidden = widths[col] <= 0;
    view->setColumnHidden(col, hidden);
    if (!hidden) view->setColumnWidth(col, widths[col]);
  }
  applied = std::move(widths);
}

void ViewBinder::syncCurrentRow(QTableView* view, const GridSource& source) {
  QAbstractItemModel* model = view->model();
  const int row = source.currentRow() - 1;
  if (row < 0 || row >= model->rowCount() || model->columnCount() == 0) return;
  const QModelIndex current = view->currentIndex();
  if (current.isValid() && current.row() == row) return;
  const QModelIndex target = model->index(row, firstShownColumn(view));
  view->selectionModel()->setCurrentIndex(
      target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  view->scrollTo(target);
}

void ViewBinder::syncTreeSelection() {
  QTreeView* tree = m_ui.treeView1;
  const tw::TreeNode* selected = m_view.TreeView1.Selected;
  if (SiteTreeModel::nodeAt(tree->currentIndex()) == selected) return;
  if (selected == nullptr) {
    tree->selectionModel()->clear();
    return;
  }
  const QModelIndex index = m_treeModel->indexOf(selected);
  tree->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  if (m_view.TreeView1.AutoExpand) tree->expand(index);
  tree->scrollTo(index);
}

void ViewBinder::applyTableLayout() {
  if (m_view.TableDockedLeft) {
    // Time layout: the table keeps its width, the chart panel takes the rest.
    m_ui.stringGrid1->setFixedWidth(tw::kTimeTableWidth);
    m_ui.panel5->setMinimumWidth(0);
    m_ui.panel5->setMaximumWidth(QWIDGETSIZE_MAX);
  } else {
    m_ui.panel5->setFixedWidth(tw::kSidePanelWidth);
    m_ui.stringGrid1->setMinimumWidth(0);
    m_ui.stringGrid1->setMaximumWidth(QWIDGETSIZE_MAX);
  }
}

void ViewBinder::rebuildChart() {
  QChart* previous = m_ui.chart1->chart();
  m_ui.chart1->setChart(buildChart(m_view.Chart1));
  delete previous;
}
