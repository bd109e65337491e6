#include "LoadController.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QTreeView>
#include <utility>

#include "base/text_format.h"
#include "form/form.h"
#include "session/background_load.h"

namespace {

// How often the window looks at the worker: often enough that the bar moves
// smoothly and a finished load is taken over at once.
constexpr int kLoadPollMs = 25;

}  // namespace

LoadController::LoadController(QMainWindow& window, tw::TSDIAppForm& form,
                               const WindowWidgets& widgets, const CoreTextDecoder& decode)
    : m_form(form), m_ui(widgets), m_decode(decode) {
  buildControls(window);
}

// The worker reads the form's engine list; it stops before the form goes.
LoadController::~LoadController() { m_load.reset(); }

void LoadController::buildControls(QMainWindow& window) {
  m_progress = new QProgressBar(&window);
  m_progress->setObjectName(QStringLiteral("LoadProgress"));
  m_progress->setRange(0, 100);
  m_progress->setMaximumWidth(260);
  m_cancel = new QPushButton(fromCoreText(m_form.Lang.GetOr("load0", "Cancel")), &window);
  m_cancel->setObjectName(QStringLiteral("CancelLoad"));
  window.statusBar()->addPermanentWidget(m_progress);
  window.statusBar()->addPermanentWidget(m_cancel);
  m_progress->hide();
  m_cancel->hide();
  connect(m_cancel, &QPushButton::clicked, this, &LoadController::cancel);

  m_cancelShortcut = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
  m_cancelShortcut->setEnabled(false);
  connect(m_cancelShortcut, &QShortcut::activated, this, &LoadController::cancel);

  m_timer = new QTimer(this);
  m_timer->setInterval(kLoadPollMs);
  connect(m_timer, &QTimer::timeout, this, &LoadController::onTimer);
}

void LoadController::start(const std::vector<std::string>& paths, tw::LoadRequest&& request) {
  m_paths = paths;
  // The tree and the first analysis are prepared on the worker as well.
  m_load = std::make_unique<tw::BackgroundLoad>(std::move(request), m_form.ClosingChoiceForLoad());
  m_progress->show();
  m_cancel->show();
  m_cancelShortcut->setEnabled(true);
  showProgress();
  m_timer->start();
}

void LoadController::cancel() {
  if (m_load) m_load->Cancel();  // the next look at the worker takes the result
}

void LoadController::onTimer() {
  if (!m_load) {
    m_timer->stop();
    return;
  }
  showProgress();
  if (m_load->Done()) emit loadDone();
}

void LoadController::showProgress() {
  const std::size_t source = m_load->FileSource();
  const std::size_t count = m_load->FileCount();
  const int percent = m_load->Percent();
  tw::TSDIAppForm& form = m_form;
  const std::string path = source < m_paths.size() ? m_paths[source] : std::string();
  form.StatusText = tw::FormatText(form.Lang.Get("mes0"), {path, percent, tw::FormatArg::Char('%')});
  m_ui.statusLabel->setText(m_decode(form.StatusText));
  QString format = QStringLiteral("%p%");
  if (count > 1) {
    const std::string place = tw::FormatText(form.Lang.GetOr("load1", "File %d of %d"),
                                             {m_load->FilePlace() + 1, count});
    // The bar reads '%' as the start of a placeholder.
    format = fromCoreText(place).remove(QLatin1Char('%')) + QStringLiteral(": %p%");
  }
  m_progress->setFormat(format);
  m_progress->setValue(percent);
}

tw::LoadRefusal LoadController::take(tw::LoadedLog& log,
                                     std::unique_ptr<tw::PreparedClosing>& closing) {
  m_timer->stop();
  const tw::LoadRefusal result = m_load->TakeResult(log, &closing);
  m_load.reset();
  hideProgress();
  return result;
}

void LoadController::hideProgress() {
  m_progress->hide();
  m_cancel->hide();
  m_cancelShortcut->setEnabled(false);
}

bool LoadController::abandon() {
  if (!m_load) return false;
  m_timer->stop();
  m_load.reset();  // cancels and waits; what it read goes with it
  hideProgress();
  m_form.StatusText.clear();
  return true;
}

void LoadController::applyLoadingState() {
  const bool idle = !isLoading();
  // Controls the form does not govern follow the load alone.
  m_ui.formatMenu->menuAction()->setEnabled(idle);
  m_ui.treeView1->setEnabled(idle);
  m_ui.stringGrid1->setEnabled(idle);
  if (idle) return;
  for (QAction* action : {m_ui.openAction, m_ui.saveAction}) action->setEnabled(false);
  for (QAbstractButton* button : m_ui.reportButtons) button->setEnabled(false);
  for (QAbstractButton* button : m_ui.requestButtons) button->setEnabled(false);
  for (QWidget* widget : std::initializer_list<QWidget*>{m_ui.button1, m_ui.button2, m_ui.checkBox1,
                                                         m_ui.dateTimePicker1, m_ui.dateTimePicker2,
                                                         m_ui.comboBox1})
    widget->setEnabled(false);
}
