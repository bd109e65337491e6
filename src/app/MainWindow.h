#pragma once

// The main window: builds the widgets and composes the three parts that run
// them over tw::TSDIAppForm, which holds all state and logic: the commands
// (WindowCommands) forward the user's events to the form's handlers, the view
// binder (ViewBinder) shows the form's state in the widgets, and the load
// controller (LoadController) runs a load on a worker thread. The window is
// the form's Platform: message boxes, file dialogs, links, folder and date.
//
// After every call into the form the window refreshes every widget from the
// form's state in one place, refreshFromForm().

#include <QFont>
#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CoreText.h"
#include "WindowWidgets.h"
#include "form/platform.h"

class AboutBox;
class LoadController;
class QTableView;
class ViewBinder;
class WindowCommands;

namespace tw {
class TSDIAppForm;
}  // namespace tw

class MainWindow : public QMainWindow, public tw::Platform {
  Q_OBJECT

 public:
  // Stand-ins for the modal parts of the platform, for tests. An empty
  // function leaves the real message box, dialog or desktop call in place.
  struct Hooks {
    std::function<void(const QString& text)> showMessage;
    std::function<bool(QString& path)> askOpenPath;
    // Sets the path and the name filter chosen (one of saveFilters()).
    std::function<bool(QString& path, QString& filter)> askSavePath;
    std::function<bool(QString& path)> askExportPath;
    std::function<void(const QString& address)> openLink;
  };

  explicit MainWindow(Hooks hooks = {}, QWidget* parent = nullptr);
  ~MainWindow() override;

  tw::TSDIAppForm& form() { return *m_form; }

  // The save dialog's file types, as its name filters, in tw::SaveType's order.
  static QStringList saveFilters();

  // Loads a log as File > Open does after its dialog.
  void openLog(const QString& path);
  // Opens several files as one log.
  void openLogs(const QStringList& paths);
  // Both start the load on a worker thread and return; the log replaces the
  // loaded one when the load is complete. One load runs at a time.
  bool isLoading() const;
  // Stops the running load, as its Cancel button and Esc do: the loaded log
  // stays as it was.
  void cancelLoad();

  // Shows the form's current state in every widget.
  void refreshFromForm();

  // tw::Platform
  void ShowMessage(const std::string& text) override;
  bool AskOpenPath(std::string& path) override;
  bool AskOpenPaths(std::vector<std::string>& paths) override;
  bool AskSavePath(std::string& path, tw::SaveType& type) override;
  bool AskExportPath(std::string& path) override;
  void OpenLink(const std::string& address) override;
  void ProcessPaint() override;
  std::string ExeFolder() override;
  tw::CalendarDate Today() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // MainWindowLayout.cpp: the widgets with their fixed sizes, fonts, colours.
  // Tahoma 8 pt where installed, else the closest sans-serif face.
  static QFont baseFont();
  void buildWidgets();
  QWidget* buildLeftPanel();
  QWidget* buildReportArea();
  QWidget* buildSidePanel();
  void buildMenus();
  void buildFormatMenu();
  void nameFormatMenu();
  QTableView* createTable(const char* name);

  // Cancels and waits for a running load, throwing away what it read.
  void abandonLoad();
  // Views over the core's grids and tree follow the core; none yet while
  // the form is being made.
  void syncModels();

  Hooks m_hooks;
  CoreTextDecoder m_decode;
  WindowWidgets m_ui;
  AboutBox* m_aboutBox = nullptr;

  std::unique_ptr<tw::TSDIAppForm> m_form;
  std::unique_ptr<ViewBinder> m_binder;
  std::unique_ptr<LoadController> m_loads;
  std::unique_ptr<WindowCommands> m_commands;
};
