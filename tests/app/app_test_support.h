#pragma once

// Helpers of the window tests: logs written to a temporary folder, a window
// whose message boxes and dialogs record instead of blocking, and model
// testers on every model the window shows.

#include <QAbstractItemModelTester>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <memory>
#include <ostream>
#include <vector>

#include "MainWindow.h"

// Test messages print QStrings as UTF-8.
inline std::ostream& operator<<(std::ostream& os, const QString& text) {
  return os << text.toStdString();
}
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text << '"'; }

namespace apptest {

// Lines of an access log in the combined format, all in October 2023.
inline QStringList SampleLogLines() {
  return {
      R"log(10.0.0.1 - - [02/Oct/2023:10:15:00 +0000] "GET /index.html HTTP/1.1" 200 1200 "-" "Mozilla/5.0 (X11; Linux)")log",
      R"log(10.0.0.2 - - [02/Oct/2023:11:20:00 +0000] "GET /news/today.html HTTP/1.1" 200 800 "http://www.search.example/?q=tallies" "Mozilla/5.0 (Windows NT 10.0)")log",
      R"log(10.0.0.1 - - [03/Oct/2023:09:05:00 +0000] "GET /news/old.html HTTP/1.1" 404 100 "-" "Mozilla/5.0 (X11; Linux)")log",
      R"log(10.0.0.3 - - [04/Oct/2023:18:45:10 +0000] "GET /about.html HTTP/1.1" 200 500 "http://other.example/links.html" "Opera/9.80")log",
      R"log(10.0.0.2 - - [04/Oct/2023:19:00:00 +0000] "GET /index.html HTTP/1.1" 200 1200 "-" "Mozilla/5.0 (Windows NT 10.0)")log",
      R"log(this line is no log line)log",
  };
}

// Writes `lines` to `name` in `dir`; returns the file's path.
inline QString WriteLog(const QTemporaryDir& dir, const QString& name, const QStringList& lines) {
  const QString path = dir.filePath(name);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return {};
  for (const QString& line : lines) file.write(line.toUtf8() + "\n");
  return path;
}

// A window whose modal parts record what they were asked.
struct RecordingWindow {
  QStringList messages;
  // What the window showed when each message box opened.
  struct Scene {
    QString memo, title, status;
  };
  std::vector<Scene> scenes;
  QStringList links;
  QStringList openAnswers;  // empty: the user cancels
  QStringList saveAnswers;
  QString saveFilter;  // the file type the save answers pick; empty: the default
  QStringList exportAnswers;
  std::unique_ptr<MainWindow> window;
  std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;

  RecordingWindow() {
    MainWindow::Hooks hooks;
    hooks.showMessage = [this](const QString& text) {
      messages.append(text);
      scenes.push_back({window->findChild<QPlainTextEdit*>(QStringLiteral("Memo3"))->toPlainText(),
                        window->windowTitle(),
                        window->findChild<QLabel*>(QStringLiteral("StatusBar"))->text()});
    };
    hooks.openLink = [this](const QString& address) { links.append(address); };
    hooks.askOpenPath = [this](QString& path) { return answer(openAnswers, path); };
    hooks.askExportPath = [this](QString& path) { return answer(exportAnswers, path); };
    hooks.askSavePath = [this](QString& path, QString& filter) {
      if (!saveFilter.isEmpty()) filter = saveFilter;
      return answer(saveAnswers, path);
    };
    window = std::make_unique<MainWindow>(hooks);
    for (const char* name : {"StringGrid1", "StringGrid2"}) {
      testers.push_back(std::make_unique<QAbstractItemModelTester>(
          window->findChild<QTableView*>(QLatin1String(name))->model(),
          QAbstractItemModelTester::FailureReportingMode::Fatal));
    }
    testers.push_back(std::make_unique<QAbstractItemModelTester>(
        window->findChild<QTreeView*>(QStringLiteral("TreeView1"))->model(),
        QAbstractItemModelTester::FailureReportingMode::Fatal));
  }
  ~RecordingWindow() {
    testers.clear();  // before the models go
  }

  // Waits for the window's load on its worker thread to end.
  bool waitForLoad(int timeoutMs = 60000) {
    return QTest::qWaitFor([this] { return !window->isLoading(); }, timeoutMs);
  }
  // Opens a log as File > Open does after its dialog, and waits for the load.
  bool load(const QString& path) {
    window->openLog(path);
    return waitForLoad();
  }

  template <typename T>
  T* child(const char* name) const {
    return window->findChild<T*>(QLatin1String(name));
  }

 private:
  static bool answer(QStringList& answers, QString& path) {
    if (answers.isEmpty()) return false;
    path = answers.takeFirst();
    return true;
  }
};

}  // namespace apptest
