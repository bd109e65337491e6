// The main window as the form's platform: message boxes, file dialogs,
// links, repaints while a log loads, the program's folder and today's date.

#include <algorithm>
#include <QCoreApplication>
#include <QDate>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QUrl>

#include "MainWindow.h"
#include "ViewBinder.h"
#include "form/form.h"

void MainWindow::ShowMessage(const std::string& text) {
  // The box opens over a window that already shows what the form holds: the
  // information box, the caption and the status line of a finished load.
  refreshFromForm();
  const QString shown = m_decode(text);
  if (m_hooks.showMessage) {
    m_hooks.showMessage(shown);
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(tw::kProgramTitle), shown,
                  QMessageBox::Ok, this);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

bool MainWindow::AskOpenPaths(std::vector<std::string>& paths) {
  // A test's answer stands for the dialog.
  if (m_hooks.askOpenPath) {
    std::string path;
    if (!AskOpenPath(path)) return false;
    paths = {path};
    return true;
  }
  syncModels();
  QFileDialog dialog(this);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setNameFilter(QStringLiteral("All Files (*)"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  paths.clear();
  for (const QString& chosen : dialog.selectedFiles()) {
    m_decode.rememberPath(chosen);
    paths.push_back(toPathBytes(chosen));
  }
  return true;
}

bool MainWindow::AskOpenPath(std::string& path) {
  syncModels();
  QString chosen;
  if (m_hooks.askOpenPath) {
    if (!m_hooks.askOpenPath(chosen)) return false;
  } else {
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QStringLiteral("All Files (*)"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    chosen = dialog.selectedFiles().constFirst();
  }
  m_decode.rememberPath(chosen);
  path = toPathBytes(chosen);
  return true;
}

QStringList MainWindow::saveFilters() {
  return {QStringLiteral("CSV (*.csv)"), QStringLiteral("CSV, UTF-8 (*.csv)"),
          QStringLiteral("CSV (UTF-8) (*.csv)"), QStringLiteral("JSON (*.json)"),
          QStringLiteral("HTML report (*.html)")};
}

namespace {

// The extension a name filter such as "JSON (*.json)" gives a file named without one.
QString SuffixOf(const QString& filter) {
  const qsizetype dot = filter.lastIndexOf(QLatin1String("(*."));
  return dot < 0 ? QString() : filter.mid(dot + 3).chopped(1);
}

}  // namespace

bool MainWindow::AskSavePath(std::string& path, tw::SaveType& type) {
  syncModels();
  const QStringList filters = saveFilters();
  QString chosen;
  QString filter = filters.constFirst();
  if (m_hooks.askSavePath) {
    if (!m_hooks.askSavePath(chosen, filter)) return false;
  } else {
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    connect(&dialog, &QFileDialog::filterSelected, &dialog,
            [&dialog](const QString& f) { dialog.setDefaultSuffix(SuffixOf(f)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    chosen = dialog.selectedFiles().constFirst();
    filter = dialog.selectedNameFilter();
  }
  type = static_cast<tw::SaveType>(std::max<qsizetype>(0, filters.indexOf(filter)));
  m_decode.rememberPath(chosen);
  path = toPathBytes(chosen);
  return true;
}

bool MainWindow::AskExportPath(std::string& path) {
  syncModels();
  QString chosen;
  if (m_hooks.askExportPath) {
    if (!m_hooks.askExportPath(chosen)) return false;
  } else {
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(saveFilters().constLast());
    dialog.setDefaultSuffix(QStringLiteral("html"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    chosen = dialog.selectedFiles().constFirst();
  }
  m_decode.rememberPath(chosen);
  path = toPathBytes(chosen);
  return true;
}

void MainWindow::OpenLink(const std::string& address) {
  const QString text = fromCoreText(address);
  if (m_hooks.openLink) {
    m_hooks.openLink(text);
    return;
  }
  QDesktopServices::openUrl(QUrl(text, QUrl::StrictMode));  // a failure shows nothing
}

void MainWindow::ProcessPaint() {
  if (!m_binder) return;  // still inside the form's construction
  m_binder->syncModels();
  m_binder->showStatusText();
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

std::string MainWindow::ExeFolder() {
  return toPathBytes(QCoreApplication::applicationDirPath() + QLatin1Char('/'));
}

tw::CalendarDate MainWindow::Today() {
  const QDate today = QDate::currentDate();
  return {today.year(), today.month(), today.day()};
}
