#include "MainWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <QtCharts/QChartView>
#include <utility>

#include "AboutBox.h"
#include "CellDelegate.h"
#include "ChartBuilder.h"
#include "GridModel.h"
#include "GridSource.h"
#include "SiteTreeModel.h"
#include "analysis/report_colours.h"
#include "analysis/report_kinds.h"
#include "form/form.h"
#include "session/background_load.h"

namespace {

// Sets a flag for the lifetime of the scope and restores its earlier value.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : m_flag(flag), m_before(flag) { m_flag = true; }
  ~FlagScope() { m_flag = m_before; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& m_flag;
  bool m_before;
};

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
  for (const std::string& item : choice.Items) items.append(fromCp1251(item));
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

MainWindow::MainWindow(Hooks hooks, QWidget* parent)
    : QMainWindow(parent), m_hooks(std::move(hooks)) {
  buildWidgets();
  resize(800, 600);

  // The form comes after the widgets: its construction already runs an analysis.
  m_form = std::make_unique<tw::TSDIAppForm>(*this);
  nameFormatMenu();
  m_statSource = std::make_unique<StatGridSource>(*m_form);
  m_rawSource = std::make_unique<RawLogGridSource>(m_form->StringGrid2);
  m_statModel = new GridModel(*m_statSource, m_stringGrid1);
  m_stringGrid1->setModel(m_statModel);
  m_stringGrid1->setItemDelegate(new CellDelegate(m_stringGrid1));
  m_rawModel = new GridModel(*m_rawSource, m_stringGrid2);
  m_stringGrid2->setModel(m_rawModel);
  m_treeModel = new SiteTreeModel(m_form->TreeView1, m_treeView1);
  m_treeView1->setModel(m_treeModel);

  using F = tw::TSDIAppForm;
  // Each report button shows the form's control the registry names for its kind.
  for (const tw::ReportKindInfo& info : tw::kReportKinds) {
    m_buttonBindings.push_back(
        {&m_form->ReportButton(info), m_reportButtons[tw::ReportKindIndex(info)]});
  }
  m_buttonBindings.push_back({&m_form->RadioButton14, m_requestButtons[0]});
  m_buttonBindings.push_back({&m_form->RadioButton15, m_requestButtons[1]});
  m_buttonBindings.push_back({&m_form->RadioButton16, m_requestButtons[2]});
  m_buttonBindings.push_back({&m_form->CheckBox1, m_checkBox1});
  m_buttonBindings.push_back({&m_form->Button1, m_button1});
  m_buttonBindings.push_back({&m_form->Button2, m_button2});
  m_labelBindings = {{&F::Label1, m_headings[0]}, {&F::Label2, m_headings[1]},
                     {&F::Label5, m_headings[2]}, {&F::Label6, m_headings[3]},
                     {&F::Label3, m_label3},      {&F::Label4, m_label4},
                     {&F::Label7, m_label7},      {&F::Label8, m_label8}};
  for (const LabelBinding& binding : m_labelBindings) binding.widget->setTextFormat(Qt::PlainText);
  m_groupBindings = {{&F::GroupBox1, m_groupBox1}, {&F::GroupBox2, m_groupBox2},
                     {&F::GroupBox3, m_groupBox3}, {&F::GroupBox4, m_groupBox4},
                     {&F::GroupBox5, m_groupBox5}, {&F::GroupBox6, m_groupBox6}};
  m_actionBindings = {{&F::File1, m_fileMenu->menuAction()},
                      {&F::FileOpenItem, m_openAction},
                      {&F::FileSaveItem, m_saveAction},
                      {&F::FileExitItem, m_exitAction},
                      {&F::Edit1, m_editMenu->menuAction()},
                      {&F::Settings1, m_settingsMenu->menuAction()},
                      {&F::Change1, m_changeAction},
                      {&F::Help1, m_helpMenu->menuAction()},
                      {&F::Help2, m_helpAction},
                      {&F::HomePage1, m_homePageAction},
                      {&F::HelpAboutItem, m_aboutAction}};

  m_aboutBox = new AboutBox(*this, baseFont(), this);
  m_aboutBox->setDatabaseLine(fromCp1251(m_form->GeoDatabaseLine()));
  m_aboutBox->hide();
  buildLoadControls();
  connectSignals();
  refreshFromForm();
}

MainWindow::~MainWindow() {
  // The worker reads the form's engine list; it stops first.
  abandonLoad();
  // The views and their models go before the form whose grids and tree they read.
  delete takeCentralWidget();
  m_form.reset();
}

void MainWindow::connectSignals() {
  connect(m_openAction, &QAction::triggered, this, &MainWindow::onOpenTriggered);
  connect(m_saveAction, &QAction::triggered, this, &MainWindow::onSaveTriggered);
  connect(m_exitAction, &QAction::triggered, this, &MainWindow::onExitTriggered);
  connect(m_helpAction, &QAction::triggered, this, &MainWindow::onHelpTriggered);
  connect(m_homePageAction, &QAction::triggered, this, &MainWindow::onHomePageTriggered);
  connect(m_aboutAction, &QAction::triggered, this, &MainWindow::onAboutTriggered);
  connect(m_button1, &QPushButton::clicked, this, &MainWindow::onAnalyseClicked);
  connect(m_button2, &QPushButton::clicked, this, &MainWindow::onDetailsClicked);
  connect(m_reportGroup, &QButtonGroup::idClicked, this, &MainWindow::onReportButtonClicked);
  connect(m_requestGroup, &QButtonGroup::idClicked, this, &MainWindow::onRequestButtonClicked);
  connect(m_checkBox1, &QCheckBox::clicked, this, &MainWindow::onIgnoreCrawlersClicked);
  connect(m_comboBox1, &QComboBox::activated, this, &MainWindow::onMonthActivated);
  connect(m_dateTimePicker1, &QDateEdit::dateChanged, this, &MainWindow::onFromDateChanged);
  connect(m_dateTimePicker2, &QDateEdit::dateChanged, this, &MainWindow::onToDateChanged);
  connect(m_stringGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          &MainWindow::onStatCurrentRowChanged);
  connect(m_stringGrid1, &QTableView::clicked, this, &MainWindow::onStatTableClicked);
  connect(m_stringGrid2->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          &MainWindow::onRawCurrentRowChanged);
  connect(m_treeView1->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &MainWindow::onTreeCurrentChanged);

  // Ctrl+C in a table copies its selected rows.
  const std::pair<QTableView*, void (MainWindow::*)()> copies[] = {
      {m_stringGrid1, &MainWindow::onCopyStatRowsTriggered},
      {m_stringGrid2, &MainWindow::onCopyRawRowsTriggered}};
  for (const auto& [view, slot] : copies) {
    auto* copy = new QAction(view);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    view->addAction(copy);
    connect(copy, &QAction::triggered, this, slot);
  }

  // StringGrid1 reports its width to the form and counts focus as a click.
  m_stringGrid1->installEventFilter(this);
}

// ---- Commands ----

void MainWindow::openLog(const QString& path) { openLogs({path}); }

void MainWindow::openLogs(const QStringList& paths) {
  if (paths.isEmpty() || m_busy || isLoading()) return;
  std::vector<std::string> bytes;
  for (const QString& path : paths) {
    m_decode.rememberPath(path);
    bytes.push_back(toPathBytes(path));
  }
  startLoad(bytes);
}

void MainWindow::runCommand(const std::function<void()>& command) {
  if (isLoading()) return;  // the log is about to be replaced
  runFormCall(command);
}

void MainWindow::runFormCall(const std::function<void()>& command) {
  if (m_busy) return;
  {
    FlagScope busy(m_busy);
    command();
  }
  refreshFromForm();
}

void MainWindow::onOpenTriggered() {
  if (m_busy || isLoading()) return;
  std::vector<std::string> paths;
  bool chosen = false;
  {
    FlagScope busy(m_busy);
    chosen = AskOpenPaths(paths) && !paths.empty();
  }
  if (chosen) startLoad(paths);
}
void MainWindow::onSaveTriggered() {
  runCommand([this] { m_form->FileSave1Execute(); });
}
void MainWindow::onExitTriggered() { close(); }
void MainWindow::onHelpTriggered() {
  runFormCall([this] { m_form->Help2Click(); });
}
void MainWindow::onHomePageTriggered() {
  runFormCall([this] { m_form->HomePage1Click(); });
}

void MainWindow::onAboutTriggered() {
  if (m_busy) return;
  m_aboutBox->exec();
}

void MainWindow::onAnalyseClicked() {
  runCommand([this] { m_form->Button1Click(); });
}
void MainWindow::onDetailsClicked() {
  runCommand([this] { m_form->Button2Click(); });
}

void MainWindow::onReportButtonClicked(int index) {
  runCommand([this, index] {
    m_form->CheckReportButton(&tw::kReportKinds[static_cast<std::size_t>(index)]);
    m_form->RadioButton1Click();
  });
}

void MainWindow::onRequestButtonClicked(int filter) {
  runCommand([this, filter] {
    m_form->CheckRequestButton(filter);
    m_form->RadioButton14Click();
  });
}

void MainWindow::onIgnoreCrawlersClicked(bool checked) {
  runCommand([this, checked] { m_form->CheckBox1.Checked = checked; });
}

void MainWindow::onMonthActivated(int index) {
  runCommand([this, index] { m_form->ComboBox1Change(index); });
}

// The window's own updates of the pickers arrive while it syncs and are no choice.
void MainWindow::onFromDateChanged(const QDate& date) {
  if (m_syncing || !date.isValid()) return;
  runCommand([this, date] { m_form->DateTimePicker1Change({date.year(), date.month(), date.day()}); });
}
void MainWindow::onToDateChanged(const QDate& date) {
  if (m_syncing || !date.isValid()) return;
  runCommand([this, date] { m_form->DateTimePicker2Change({date.year(), date.month(), date.day()}); });
}

void MainWindow::onStatCurrentRowChanged(const QModelIndex& current, const QModelIndex&) {
  if (m_syncing || !current.isValid()) return;
  onStatTableClicked(current);
}

void MainWindow::onStatTableClicked(const QModelIndex& index) {
  if (m_syncing || !index.isValid()) return;
  runCommand([this, &index] {
    m_statSource->setCurrentRow(index.row() + 1);
    m_form->onStringGrid1Click();
  });
}

void MainWindow::statTableEntered() {
  runCommand([this] { m_form->onStringGrid1Click(); });
}

void MainWindow::onRawCurrentRowChanged(const QModelIndex& current, const QModelIndex&) {
  if (m_syncing || !current.isValid()) return;
  m_rawSource->setCurrentRow(current.row() + 1);
}

void MainWindow::onTreeCurrentChanged(const QModelIndex& current, const QModelIndex&) {
  if (m_syncing || isLoading()) return;
  // The choice counts at the next analysis run; nothing else changes now.
  m_form->TreeView1.Selected = const_cast<tw::TreeNode*>(SiteTreeModel::nodeAt(current));
  if (current.isValid() && m_form->TreeView1.AutoExpand) m_treeView1->expand(current);
}

void MainWindow::onCopyStatRowsTriggered() { copyRows(m_stringGrid1, m_statModel); }
void MainWindow::onCopyRawRowsTriggered() { copyRows(m_stringGrid2, m_rawModel); }

void MainWindow::copyRows(QTableView* view, GridModel* model) {
  QList<int> rows;
  for (const QModelIndex& index : view->selectionModel()->selectedRows()) rows.append(index.row());
  if (rows.isEmpty() && view->currentIndex().isValid()) rows.append(view->currentIndex().row());
  if (rows.isEmpty()) return;
  QGuiApplication::clipboard()->setText(model->rowsAsText(rows));
}

// ---- Events ----

void MainWindow::closeEvent(QCloseEvent* event) {
  // A command inside the event loop (a message box's) ends first.
  if (m_busy) {
    event->ignore();
    return;
  }
  abandonLoad();
  QMainWindow::closeEvent(event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (isLoading()) return;
  const QMimeData* mime = event->mimeData();
  if (mime->hasUrls() && !mime->urls().isEmpty() && mime->urls().constFirst().isLocalFile())
    event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  if (isLoading()) return;
  const QMimeData* mime = event->mimeData();
  if (!mime->hasUrls() || mime->urls().isEmpty() || !mime->urls().constFirst().isLocalFile())
    return;
  QStringList paths;
  for (const QUrl& url : mime->urls()) {
    if (url.isLocalFile()) paths.append(url.toLocalFile());
  }
  event->acceptProposedAction();
  // The load runs after the drop has finished, so the source is not kept waiting.
  QTimer::singleShot(0, this, [this, paths] { openLogs(paths); });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_stringGrid1 && m_form) {
    if (event->type() == QEvent::Resize) {
      m_form->FormResize(m_stringGrid1->width());
      applyColumnWidths(m_stringGrid1, *m_statSource, m_statWidths);
    } else if (event->type() == QEvent::FocusIn) {
      // Entering the table counts, coming back from another window does not.
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !m_syncing)
        statTableEntered();
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

// ---- Refresh ----

void MainWindow::refreshFromForm() {
  if (!m_form) return;
  FlagScope syncing(m_syncing);
  applyControls();
  syncModels();
  applyTableLayout();
  rebuildChart();
}

void MainWindow::applyControls() {
  const tw::TSDIAppForm& form = *m_form;
  // "[*]" in a title marks unsaved changes to Qt; a path may hold it literally.
  setWindowTitle(m_decode(form.Caption).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")));
  for (const ActionBinding& binding : m_actionBindings) {
    const tw::Control& control = form.*binding.control;
    binding.action->setText(fromCp1251(control.Caption));
    binding.action->setEnabled(control.Enabled);
    binding.action->setVisible(control.Visible);
  }
  for (const GroupBinding& binding : m_groupBindings) {
    const tw::Control& control = form.*binding.control;
    binding.widget->setTitle(fromCp1251(control.Caption));
    binding.widget->setEnabled(control.Enabled);
    setShown(binding.widget, control.Visible);
  }
  for (const LabelBinding& binding : m_labelBindings) {
    const tw::Control& control = form.*binding.control;
    binding.widget->setText(fromCp1251(control.Caption));
    binding.widget->setEnabled(control.Enabled);
    setShown(binding.widget, control.Visible);
  }
  for (const ButtonBinding& binding : m_buttonBindings) {
    const tw::Control& control = *binding.control;
    QAbstractButton* button = binding.widget;
    button->setText(fromCp1251(control.Caption));
    // In an exclusive group only the checked one takes effect; it unchecks the rest.
    if (button->isCheckable() && button->isChecked() != control.Checked)
      button->setChecked(control.Checked);
    button->setEnabled(control.Enabled);
    setShown(button, control.Visible);
  }
  applyDatePicker(m_dateTimePicker1, form.DateTimePicker1);
  applyDatePicker(m_dateTimePicker2, form.DateTimePicker2);
  applyChoiceBox(m_comboBox1, form.ComboBox1);

  QStringList lines;
  for (const std::string& line : form.Memo3) lines.append(m_decode(line));
  const QString memo = lines.join(QLatin1Char('\n'));
  if (m_memo3->toPlainText() != memo) m_memo3->setPlainText(memo);
  m_statusLabel->setText(m_decode(form.StatusText));
  applyLoadingState();
}

void MainWindow::syncModels() {
  if (!m_form || !m_statModel) return;
  FlagScope syncing(m_syncing);
  if (m_statModel->reset()) m_statWidths.clear();
  if (m_rawModel->reset()) m_rawWidths.clear();
  applyColumnWidths(m_stringGrid1, *m_statSource, m_statWidths);
  applyColumnWidths(m_stringGrid2, *m_rawSource, m_rawWidths);
  syncCurrentRow(m_stringGrid1, *m_statSource);
  syncCurrentRow(m_stringGrid2, *m_rawSource);
  m_treeModel->sync();
  syncTreeSelection();
}

void MainWindow::applyColumnWidths(QTableView* view, const GridSource& source,
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

void MainWindow::syncCurrentRow(QTableView* view, const GridSource& source) {
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

void MainWindow::syncTreeSelection() {
  const tw::TreeNode* selected = m_form->TreeView1.Selected;
  if (SiteTreeModel::nodeAt(m_treeView1->currentIndex()) == selected) return;
  if (selected == nullptr) {
    m_treeView1->selectionModel()->clear();
    return;
  }
  const QModelIndex index = m_treeModel->indexOf(selected);
  m_treeView1->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  if (m_form->TreeView1.AutoExpand) m_treeView1->expand(index);
  m_treeView1->scrollTo(index);
}

void MainWindow::applyTableLayout() {
  if (m_form->TableDockedLeft) {
    // Time layout: the table keeps its width, the chart panel takes the rest.
    m_stringGrid1->setFixedWidth(tw::kTimeTableWidth);
    m_panel5->setMinimumWidth(0);
    m_panel5->setMaximumWidth(QWIDGETSIZE_MAX);
  } else {
    m_panel5->setFixedWidth(tw::kSidePanelWidth);
    m_stringGrid1->setMinimumWidth(0);
    m_stringGrid1->setMaximumWidth(QWIDGETSIZE_MAX);
  }
}

void MainWindow::rebuildChart() {
  QChart* previous = m_chart1->chart();
  m_chart1->setChart(buildChart(m_form->Chart1));
  delete previous;
}
