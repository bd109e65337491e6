// The main window's load on a worker thread: the progress bar and Cancel
// button in the status bar, the commands greyed meanwhile, and the hand-over
// of the loaded log to the form in the window's thread.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QTreeView>
#include <utility>

#include "MainWindow.h"
#include "base/text_format.h"
#include "form/form.h"
#include "session/background_load.h"

namespace {

// How often the window looks at the worker: often enough that the bar moves
// smoothly and a finished load is taken over at once.
constexpr int kLoadPollMs = 25;

}  // namespace

void MainWindow::buildLoadControls() {
  m_loadProgress = new QProgressBar(this);
  m_loadProgress->setObjectName(QStringLiteral("LoadProgress"));
  m_loadProgress->setRange(0, 100);
  m_loadProgress->setMaximumWidth(260);
  m_cancelLoad = new QPushButton(fromCp1251(m_form->Lang.GetOr("load0", "Cancel")), this);
  m_cancelLoad->setObjectName(QStringLiteral("CancelLoad"));
  statusBar()->addPermanentWidget(m_loadProgress);
  statusBar()->addPermanentWidget(m_cancelLoad);
  m_loadProgress->hide();
  m_cancelLoad->hide();
  connect(m_cancelLoad, &QPushButton::clicked, this, &MainWindow::cancelLoad);

  m_cancelShortcut = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  m_cancelShortcut->setEnabled(false);
  connect(m_cancelShortcut, &QShortcut::activated, this, &MainWindow::cancelLoad);

  m_loadTimer = new QTimer(this);
  m_loadTimer->setInterval(kLoadPollMs);
  connect(m_loadTimer, &QTimer::timeout, this, &MainWindow::onLoadTimer);
}

void MainWindow::startLoad(const std::vector<std::string>& paths) {
  if (m_busy || isLoading()) return;
  std::optional<tw::LoadRequest> request;
  runCommand([&] { request = m_form->PrepareLoad(paths); });
  if (!request) return;
  m_loadPaths = paths;
  // The tree and the first analysis are prepared on the worker as well.
  m_load = std::make_unique<tw::BackgroundLoad>(std::move(*request),
                                                m_form->ClosingChoiceForLoad());
  m_loadProgress->show();
  m_cancelLoad->show();
  m_cancelShortcut->setEnabled(true);
  showLoadProgress();
  refreshFromForm();
  m_loadTimer->start();
}

void MainWindow::cancelLoad() {
  if (m_load) m_load->Cancel();  // the next look at the worker takes the result
}

void MainWindow::onLoadTimer() {
  if (!m_load) {
    m_loadTimer->stop();
    return;
  }
  showLoadProgress();
  // A command's message box still open would refuse the hand-over; it waits.
  if (m_load->Done() && !m_busy) finishLoad();
}

void MainWindow::showLoadProgress() {
  const std::size_t source = m_load->FileSource();
  const std::size_t count = m_load->FileCount();
  const int percent = m_load->Percent();
  tw::TSDIAppForm& form = *m_form;
  const std::string path = source < m_loadPaths.size() ? m_loadPaths[source] : std::string();
  form.StatusText = tw::FormatText(form.Lang.Get("mes0"), {path, percent, tw::FormatArg::Char('%')});
  m_statusLabel->setText(m_decode(form.StatusText));
  QString format = QStringLiteral("%p%");
  if (count > 1) {
    const std::string place = tw::FormatText(form.Lang.GetOr("load1", "File %d of %d"),
                                             {m_load->FilePlace() + 1, count});
    // The bar reads '%' as the start of a placeholder.
    format = fromCp1251(place).remove(QLatin1Char('%')) + QStringLiteral(": %p%");
  }
  m_loadProgress->setFormat(format);
  m_loadProgress->setValue(percent);
}

void MainWindow::finishLoad() {
  m_loadTimer->stop();
  tw::LoadedLog log;
  std::unique_ptr<tw::PreparedClosing> closing;
  const tw::LoadRefusal result = m_load->TakeResult(log, &closing);
  m_load.reset();
  hideLoadProgress();
  runCommand([&] { m_form->FinishLoad(result, std::move(log), std::move(closing)); });
}

void MainWindow::hideLoadProgress() {
  m_loadProgress->hide();
  m_cancelLoad->hide();
  m_cancelShortcut->setEnabled(false);
}

void MainWindow::abandonLoad() {
  if (!m_load) return;
  m_loadTimer->stop();
  m_load.reset();  // cancels and waits; what it read goes with it
  hideLoadProgress();
  m_form->StatusText.clear();
  refreshFromForm();
}

void MainWindow::applyLoadingState() {
  const bool idle = !isLoading();
  // Controls the form does not govern follow the load alone.
  m_formatMenu->menuAction()->setEnabled(idle);
  m_treeView1->setEnabled(idle);
  m_stringGrid1->setEnabled(idle);
  if (idle) return;
  for (QAction* action : {m_openAction, m_saveAction}) action->setEnabled(false);
  for (QAbstractButton* button : m_reportButtons) button->setEnabled(false);
  for (QAbstractButton* button : m_requestButtons) button->setEnabled(false);
  for (QWidget* widget : std::initializer_list<QWidget*>{m_button1, m_button2, m_checkBox1,
                                                         m_dateTimePicker1, m_dateTimePicker2,
                                                         m_comboBox1})
    widget->setEnabled(false);
}
