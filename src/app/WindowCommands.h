#pragma once

// The window's commands: every menu item, button, choice and table event
// runs one handler of the form and then has the window show the result. One
// command runs at a time; those that read or replace the log wait for no
// load, and a finished load is handed to the form between commands.

#include <QObject>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "CoreText.h"
#include "WindowWidgets.h"

class AboutBox;
class GridModel;
class LoadController;
class MainWindow;
class QDate;
class QModelIndex;
class ViewBinder;

namespace tw {
class TSDIAppForm;
}

class WindowCommands : public QObject {
  Q_OBJECT

 public:
  // Everything given must outlive the commands. Connects the widgets' signals.
  WindowCommands(MainWindow& window, tw::TSDIAppForm& form, const WindowWidgets& widgets,
                 ViewBinder& binder, LoadController& loads, AboutBox& about,
                 CoreTextDecoder& decode);

  // A command runs; no second one starts from the event loop.
  bool busy() const { return m_busy; }
  // Starts loading `paths` as one log, unless a command or a load runs.
  void openLogs(const QStringList& paths);

 protected:
  // StringGrid1 reports its width to the form and counts focus as a click.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void connectSignals();
  // Runs a handler of the form, then refreshes; ignored while another
  // command or a load runs.
  void runCommand(const std::function<void()>& command);
  // runCommand for a handler that leaves the log alone: it may run during a load.
  void runFormCall(const std::function<void()>& command);
  void startLoad(const std::vector<std::string>& paths);
  void finishLoad();

  void onOpenTriggered();
  void onSaveTriggered();
  void onExportTriggered();
  void onHelpTriggered();
  void onHomePageTriggered();
  void onAboutTriggered();
  void onAnalyseClicked();
  void onDetailsClicked();
  void onReportButtonClicked(int index);
  void onRequestButtonClicked(int filter);
  void onIgnoreCrawlersClicked(bool checked);
  void onMonthActivated(int index);
  void onFromDateChanged(const QDate& date);
  void onToDateChanged(const QDate& date);
  void onStatCurrentRowChanged(const QModelIndex& current, const QModelIndex& previous);
  void onStatTableClicked(const QModelIndex& index);
  void onRawCurrentRowChanged(const QModelIndex& current, const QModelIndex& previous);
  void onTreeCurrentChanged(const QModelIndex& current, const QModelIndex& previous);
  void statTableEntered();
  void copyRows(QTableView* view, GridModel* model);

  MainWindow& m_window;
  tw::TSDIAppForm& m_form;
  const WindowWidgets& m_ui;
  ViewBinder& m_binder;
  LoadController& m_loads;
  AboutBox& m_about;
  CoreTextDecoder& m_decode;
  bool m_busy = false;
};
