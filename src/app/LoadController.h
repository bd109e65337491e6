#pragma once

// The load controller: a log's load on a worker thread, the progress bar and
// Cancel button in the status bar while it runs, and the commands greyed
// meanwhile. It hands the finished load back (take) for the commands to give
// to the form in the window's thread.

#include <QObject>
#include <memory>
#include <string>
#include <vector>

#include "CoreText.h"
#include "WindowWidgets.h"
#include "load/loader.h"

class QMainWindow;
class QProgressBar;
class QPushButton;
class QShortcut;
class QTimer;

namespace tw {
class BackgroundLoad;
struct PreparedClosing;
class TSDIAppForm;
}  // namespace tw

class LoadController : public QObject {
  Q_OBJECT

 public:
  // The window, the form, the widgets and the decoder must outlive the controller.
  LoadController(QMainWindow& window, tw::TSDIAppForm& form, const WindowWidgets& widgets,
                 const CoreTextDecoder& decode);
  ~LoadController() override;

  bool isLoading() const { return m_load != nullptr; }
  // Starts `request`, of the files `paths`, on a worker thread. REQUIRES: no load runs.
  void start(const std::vector<std::string>& paths, tw::LoadRequest&& request);
  // Stops the running load; the loaded log stays as it was.
  void cancel();
  // What the finished load gave, its controls hidden. REQUIRES: loadDone was signalled.
  tw::LoadRefusal take(tw::LoadedLog& log, std::unique_ptr<tw::PreparedClosing>& closing);
  // Cancels and waits for a running load, throwing away what it read, and
  // clears the status text; false when none ran.
  bool abandon();
  // Greys the commands that would read or replace the log while a load runs.
  void applyLoadingState();

 signals:
  // The worker has finished; take() gives what it read. Signalled at every
  // look at the worker until taken.
  void loadDone();

 private:
  void buildControls(QMainWindow& window);
  void onTimer();
  void showProgress();
  void hideProgress();

  tw::TSDIAppForm& m_form;
  const WindowWidgets& m_ui;
  const CoreTextDecoder& m_decode;
  // The running load, its files as given, and what shows it in the status bar.
  std::unique_ptr<tw::BackgroundLoad> m_load;
  std::vector<std::string> m_paths;
  QTimer* m_timer = nullptr;
  QProgressBar* m_progress = nullptr;
  QPushButton* m_cancel = nullptr;
  QShortcut* m_cancelShortcut = nullptr;
};
