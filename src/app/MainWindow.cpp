#include "MainWindow.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <utility>

#include "AboutBox.h"
#include "LoadController.h"
#include "ViewBinder.h"
#include "WindowCommands.h"
#include "form/form.h"

MainWindow::MainWindow(Hooks hooks, QWidget* parent)
    : QMainWindow(parent), m_hooks(std::move(hooks)) {
  buildWidgets();
  resize(800, 600);

  // The form comes after the widgets: its construction already runs an analysis.
  m_form = std::make_unique<tw::TSDIAppForm>(*this);
  nameFormatMenu();
  m_binder = std::make_unique<ViewBinder>(*this, m_ui, m_form->view, m_decode);

  m_aboutBox = new AboutBox(*this, baseFont(), this);
  m_aboutBox->setDatabaseLine(fromCoreText(m_form->GeoDatabaseLine()));
  m_aboutBox->hide();
  m_loads = std::make_unique<LoadController>(*this, *m_form, m_ui, m_decode);
  m_commands =
      std::make_unique<WindowCommands>(*this, *m_form, m_ui, *m_binder, *m_loads, *m_aboutBox, m_decode);
  refreshFromForm();
}

MainWindow::~MainWindow() {
  // The worker reads the form's engine list; it stops first.
  abandonLoad();
  m_commands.reset();
  // The views and their models go before the form whose grids and tree they read.
  delete takeCentralWidget();
  m_binder.reset();
  m_form.reset();
}

void MainWindow::openLog(const QString& path) { openLogs({path}); }
void MainWindow::openLogs(const QStringList& paths) { m_commands->openLogs(paths); }
bool MainWindow::isLoading() const { return m_loads->isLoading(); }
void MainWindow::cancelLoad() { m_loads->cancel(); }

void MainWindow::refreshFromForm() {
  if (!m_binder) return;
  m_binder->refresh();
  m_loads->applyLoadingState();
}

void MainWindow::syncModels() {
  if (m_binder) m_binder->syncModels();
}

void MainWindow::abandonLoad() {
  if (m_loads->abandon()) refreshFromForm();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // A command inside the event loop (a message box's) ends first.
  if (m_commands->busy()) {
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
