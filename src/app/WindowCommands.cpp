#include "WindowCommands.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QPushButton>
#include <QTableView>
#include <QTreeView>
#include <optional>
#include <utility>

#include "AboutBox.h"
#include "FlagScope.h"
#include "GridModel.h"
#include "GridSource.h"
#include "LoadController.h"
#include "MainWindow.h"
#include "SiteTreeModel.h"
#include "ViewBinder.h"
#include "analysis/report_kinds.h"
#include "form/form.h"
#include "session/closing.h"

WindowCommands::WindowCommands(MainWindow& window, tw::TSDIAppForm& form,
                               const WindowWidgets& widgets, ViewBinder& binder,
                               LoadController& loads, AboutBox& about, CoreTextDecoder& decode)
    : m_window(window),
      m_form(form),
      m_ui(widgets),
      m_binder(binder),
      m_loads(loads),
      m_about(about),
      m_decode(decode) {
  connectSignals();
}

void WindowCommands::connectSignals() {
  const WindowWidgets& ui = m_ui;
  using C = WindowCommands;
  connect(ui.openAction, &QAction::triggered, this, &C::onOpenTriggered);
  connect(ui.saveAction, &QAction::triggered, this, &C::onSaveTriggered);
  connect(ui.exportAction, &QAction::triggered, this, &C::onExportTriggered);
  connect(ui.exitAction, &QAction::triggered, &m_window, &QWidget::close);
  connect(ui.helpAction, &QAction::triggered, this, &C::onHelpTriggered);
  connect(ui.homePageAction, &QAction::triggered, this, &C::onHomePageTriggered);
  connect(ui.aboutAction, &QAction::triggered, this, &C::onAboutTriggered);
  connect(ui.button1, &QPushButton::clicked, this, &C::onAnalyseClicked);
  connect(ui.button2, &QPushButton::clicked, this, &C::onDetailsClicked);
  connect(ui.reportGroup, &QButtonGroup::idClicked, this, &C::onReportButtonClicked);
  connect(ui.requestGroup, &QButtonGroup::idClicked, this, &C::onRequestButtonClicked);
  connect(ui.checkBox1, &QCheckBox::clicked, this, &C::onIgnoreCrawlersClicked);
  connect(ui.comboBox1, &QComboBox::activated, this, &C::onMonthActivated);
  connect(ui.dateTimePicker1, &QDateEdit::dateChanged, this, &C::onFromDateChanged);
  connect(ui.dateTimePicker2, &QDateEdit::dateChanged, this, &C::onToDateChanged);
  connect(ui.stringGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          &C::onStatCurrentRowChanged);
  connect(ui.stringGrid1, &QTableView::clicked, this, &C::onStatTableClicked);
  connect(ui.stringGrid2->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          &C::onRawCurrentRowChanged);
  connect(ui.treeView1->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &C::onTreeCurrentChanged);
  connect(&m_loads, &LoadController::loadDone, this, &C::finishLoad);

  // Ctrl+C in a table copies its selected rows.
  const std::pair<QTableView*, GridModel*> copies[] = {{ui.stringGrid1, m_binder.statModel()},
                                                       {ui.stringGrid2, m_binder.rawModel()}};
  for (const auto& [view, model] : copies) {
    auto* copy = new QAction(view);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    view->addAction(copy);
    connect(copy, &QAction::triggered, this, [this, view = view, model = model] { copyRows(view, model); });
  }

  ui.stringGrid1->installEventFilter(this);
}

void WindowCommands::openLogs(const QStringList& paths) {
  if (paths.isEmpty() || m_busy || m_loads.isLoading()) return;
  std::vector<std::string> bytes;
  for (const QString& path : paths) {
    m_decode.rememberPath(path);
    bytes.push_back(toPathBytes(path));
  }
  startLoad(bytes);
}

void WindowCommands::runCommand(const std::function<void()>& command) {
  if (m_loads.isLoading()) return;  // the log is about to be replaced
  runFormCall(command);
}

void WindowCommands::runFormCall(const std::function<void()>& command) {
  if (m_busy) return;
  {
    FlagScope busy(m_busy);
    command();
  }
  m_window.refreshFromForm();
}

void WindowCommands::startLoad(const std::vector<std::string>& paths) {
  if (m_busy || m_loads.isLoading()) return;
  std::optional<tw::LoadRequest> request;
  runCommand([&] { request = m_form.PrepareLoad(paths); });
  if (!request) return;
  m_loads.start(paths, std::move(*request));
  m_window.refreshFromForm();
}

void WindowCommands::finishLoad() {
  // A command's message box still open would refuse the hand-over; it waits.
  if (m_busy) return;
  tw::LoadedLog log;
  std::unique_ptr<tw::PreparedClosing> closing;
  const tw::LoadRefusal result = m_loads.take(log, closing);
  runCommand([&] { m_form.FinishLoad(result, std::move(log), std::move(closing)); });
}

void WindowCommands::onOpenTriggered() {
  if (m_busy || m_loads.isLoading()) return;
  std::vector<std::string> paths;
  bool chosen = false;
  {
    FlagScope busy(m_busy);
    chosen = m_window.AskOpenPaths(paths) && !paths.empty();
  }
  if (chosen) startLoad(paths);
}

void WindowCommands::onExportTriggered() {
  runCommand([this] { m_form.FileExportExecute(); });
}

void WindowCommands::onSaveTriggered() {
  runCommand([this] { m_form.FileSave1Execute(); });
}
void WindowCommands::onHelpTriggered() {
  runFormCall([this] { m_form.Help2Click(); });
}
void WindowCommands::onHomePageTriggered() {
  runFormCall([this] { m_form.HomePage1Click(); });
}

void WindowCommands::onAboutTriggered() {
  if (m_busy) return;
  m_about.exec();
}

void WindowCommands::onAnalyseClicked() {
  runCommand([this] { m_form.Button1Click(); });
}
void WindowCommands::onDetailsClicked() {
  runCommand([this] { m_form.Button2Click(); });
}

void WindowCommands::onReportButtonClicked(int index) {
  runCommand([this, index] {
    m_form.CheckReportButton(&tw::kReportKinds[static_cast<std::size_t>(index)]);
    m_form.RadioButton1Click();
  });
}

void WindowCommands::onRequestButtonClicked(int filter) {
  runCommand([this, filter] {
    m_form.CheckRequestButton(filter);
    m_form.RadioButton14Click();
  });
}

void WindowCommands::onIgnoreCrawlersClicked(bool checked) {
  runCommand([this, checked] { m_form.CheckBox1.Checked = checked; });
}

void WindowCommands::onMonthActivated(int index) {
  runCommand([this, index] { m_form.ComboBox1Change(index); });
}

// The window's own updates of the pickers arrive while it syncs and are no choice.
void WindowCommands::onFromDateChanged(const QDate& date) {
  if (m_binder.syncing() || !date.isValid()) return;
  runCommand([this, date] { m_form.DateTimePicker1Change({date.year(), date.month(), date.day()}); });
}
void WindowCommands::onToDateChanged(const QDate& date) {
  if (m_binder.syncing() || !date.isValid()) return;
  runCommand([this, date] { m_form.DateTimePicker2Change({date.year(), date.month(), date.day()}); });
}

void WindowCommands::onStatCurrentRowChanged(const QModelIndex& current, const QModelIndex&) {
  if (m_binder.syncing() || !current.isValid()) return;
  onStatTableClicked(current);
}

void WindowCommands::onStatTableClicked(const QModelIndex& index) {
  if (m_binder.syncing() || !index.isValid()) return;
  runCommand([this, &index] {
    m_binder.statSource().setCurrentRow(index.row() + 1);
    m_form.onStringGrid1Click();
  });
}

void WindowCommands::statTableEntered() {
  runCommand([this] { m_form.onStringGrid1Click(); });
}

void WindowCommands::onRawCurrentRowChanged(const QModelIndex& current, const QModelIndex&) {
  if (m_binder.syncing() || !current.isValid()) return;
  m_binder.rawSource().setCurrentRow(current.row() + 1);
}

void WindowCommands::onTreeCurrentChanged(const QModelIndex& current, const QModelIndex&) {
  if (m_binder.syncing() || m_loads.isLoading()) return;
  // The choice counts at the next analysis run; nothing else changes now.
  m_form.TreeView1.Selected = const_cast<tw::TreeNode*>(SiteTreeModel::nodeAt(current));
  if (current.isValid() && m_form.TreeView1.AutoExpand) m_ui.treeView1->expand(current);
}

void WindowCommands::copyRows(QTableView* view, GridModel* model) {
  QList<int> rows;
  for (const QModelIndex& index : view->selectionModel()->selectedRows()) rows.append(index.row());
  if (rows.isEmpty() && view->currentIndex().isValid()) rows.append(view->currentIndex().row());
  if (rows.isEmpty()) return;
  QGuiApplication::clipboard()->setText(model->rowsAsText(rows));
}

bool WindowCommands::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_ui.stringGrid1) {
    if (event->type() == QEvent::Resize) {
      m_form.FormResize(m_ui.stringGrid1->width());
      m_binder.applyStatColumnWidths();
    } else if (event->type() == QEvent::FocusIn) {
      // Entering the table counts, coming back from another window does not.
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
          !m_binder.syncing())
        statTableEntered();
    }
  }
  return QObject::eventFilter(watched, event);
}
