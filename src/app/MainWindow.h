#pragma once

// The main window: shows the state of tw::TSDIAppForm, which holds all state
// and logic, and forwards the user's commands to its handlers. It is the
// form's Platform: message boxes, file dialogs, links, folder and date.
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
#include "form/platform.h"

class AboutBox;
class GridModel;
class GridSource;
class QAbstractButton;
class QAction;
class QButtonGroup;
class QChartView;
class QCheckBox;
class QComboBox;
class QDate;
class QDateEdit;
class QGroupBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QShortcut;
class QSplitter;
class QTimer;
class QTableView;
class QTreeView;
class RawLogGridSource;
class SiteTreeModel;
class StatGridSource;

namespace tw {
class BackgroundLoad;
struct Control;
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
    std::function<bool(QString& path)> askSavePath;
    std::function<void(const QString& address)> openLink;
  };

  explicit MainWindow(Hooks hooks = {}, QWidget* parent = nullptr);
  ~MainWindow() override;

  tw::TSDIAppForm& form() { return *m_form; }

  // Loads a log as File > Open does after its dialog.
  void openLog(const QString& path);
  // Opens several files as one log.
  void openLogs(const QStringList& paths);
  // Both start the load on a worker thread and return; the log replaces the
  // loaded one when the load is complete. One load runs at a time.
  bool isLoading() const { return m_load != nullptr; }
  // Stops the running load, as its Cancel button and Esc do: the loaded log
  // stays as it was.
  void cancelLoad();

  // Shows the form's current state in every widget.
  void refreshFromForm();

  // tw::Platform
  void ShowMessage(const std::string& text) override;
  bool AskOpenPath(std::string& path) override;
  bool AskOpenPaths(std::vector<std::string>& paths) override;
  bool AskSavePath(std::string& path) override;
  void OpenLink(const std::string& address) override;
  void ProcessPaint() override;
  std::string ExeFolder() override;
  tw::CalendarDate Today() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private slots:
  void onOpenTriggered();
  void onSaveTriggered();
  void onExitTriggered();
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
  void onCopyStatRowsTriggered();
  void onCopyRawRowsTriggered();

 private:
  struct ButtonBinding {
    const tw::Control* control;  // the form's, which outlives the binding
    QAbstractButton* widget;
  };
  struct LabelBinding {
    tw::Control tw::TSDIAppForm::*control;
    QLabel* widget;
  };
  struct GroupBinding {
    tw::Control tw::TSDIAppForm::*control;
    QGroupBox* widget;
  };
  struct ActionBinding {
    tw::Control tw::TSDIAppForm::*control;
    QAction* action;
  };

  // MainWindowLayout.cpp: the widgets with their fixed sizes, fonts, colours.
  // Tahoma 8 pt where installed, else the closest sans-serif face.
  static QFont baseFont();
  void buildWidgets();
  QWidget* buildLeftPanel();
  QWidget* buildReportArea();
  QWidget* buildSidePanel();
  void buildMenus();
  QTableView* createTable(const char* name);

  void connectSignals();

  // Runs a handler of the form, then refreshes; ignored while another
  // command or a load runs.
  void runCommand(const std::function<void()>& command);
  // runCommand for a handler that leaves the log alone: it may run during a load.
  void runFormCall(const std::function<void()>& command);

  // MainWindowLoad.cpp: the load on a worker thread and its controls.
  void buildLoadControls();
  void startLoad(const std::vector<std::string>& paths);
  void onLoadTimer();
  void finishLoad();
  void showLoadProgress();
  void hideLoadProgress();
  // Greys the commands that would read or replace the log while a load runs.
  void applyLoadingState();
  // Cancels and waits for a running load, throwing away what it read.
  void abandonLoad();

  // Views over the core's grids and tree follow the core before any event runs.
  void syncModels();
  void syncCurrentRow(QTableView* view, const GridSource& source);
  void syncTreeSelection();
  void applyColumnWidths(QTableView* view, const GridSource& source, std::vector<int>& applied);
  void applyTableLayout();
  void applyControls();
  void rebuildChart();
  void statTableEntered();
  void copyRows(QTableView* view, GridModel* model);

  Hooks m_hooks;
  CoreTextDecoder m_decode;
  bool m_syncing = false;  // the window moves its views to the form's state
  bool m_busy = false;     // a command runs; no second one starts from the event loop

  // Widgets, named as the form names them.
  QMenu* m_fileMenu = nullptr;
  QMenu* m_formatMenu = nullptr;  // the format logs are opened with
  QAction* m_automaticFormat = nullptr;
  void buildFormatMenu();
  void nameFormatMenu();
  QMenu* m_editMenu = nullptr;
  QMenu* m_settingsMenu = nullptr;
  QMenu* m_helpMenu = nullptr;
  QAction* m_openAction = nullptr;
  QAction* m_saveAction = nullptr;
  QAction* m_exitAction = nullptr;
  QAction* m_helpAction = nullptr;
  QAction* m_homePageAction = nullptr;
  QAction* m_aboutAction = nullptr;
  QAction* m_changeAction = nullptr;
  QGroupBox* m_groupBox1 = nullptr;
  QGroupBox* m_groupBox2 = nullptr;
  QGroupBox* m_groupBox3 = nullptr;
  QGroupBox* m_groupBox4 = nullptr;
  QGroupBox* m_groupBox5 = nullptr;
  QGroupBox* m_groupBox6 = nullptr;
  QLabel* m_headings[4] = {};  // Label1, Label2, Label5, Label6
  QLabel* m_label3 = nullptr;
  QLabel* m_label4 = nullptr;
  QLabel* m_label7 = nullptr;
  QLabel* m_label8 = nullptr;
  std::vector<QAbstractButton*> m_reportButtons;  // in the order of tw::kReportKinds
  QAbstractButton* m_requestButtons[3] = {};  // index filter - 1
  QButtonGroup* m_reportGroup = nullptr;
  QButtonGroup* m_requestGroup = nullptr;
  QCheckBox* m_checkBox1 = nullptr;
  QPushButton* m_button1 = nullptr;
  QPushButton* m_button2 = nullptr;
  QDateEdit* m_dateTimePicker1 = nullptr;
  QDateEdit* m_dateTimePicker2 = nullptr;
  QComboBox* m_comboBox1 = nullptr;
  QTreeView* m_treeView1 = nullptr;
  QTableView* m_stringGrid1 = nullptr;
  QTableView* m_stringGrid2 = nullptr;
  QWidget* m_panel5 = nullptr;
  QPlainTextEdit* m_memo3 = nullptr;
  QChartView* m_chart1 = nullptr;
  QSplitter* m_splitter1 = nullptr;
  QLabel* m_statusLabel = nullptr;
  AboutBox* m_aboutBox = nullptr;

  std::vector<ButtonBinding> m_buttonBindings;
  std::vector<LabelBinding> m_labelBindings;
  std::vector<GroupBinding> m_groupBindings;
  std::vector<ActionBinding> m_actionBindings;

  std::unique_ptr<tw::TSDIAppForm> m_form;
  std::unique_ptr<StatGridSource> m_statSource;
  std::unique_ptr<RawLogGridSource> m_rawSource;
  GridModel* m_statModel = nullptr;
  GridModel* m_rawModel = nullptr;
  SiteTreeModel* m_treeModel = nullptr;
  // The running load, its files as given, and what shows it in the status bar.
  std::unique_ptr<tw::BackgroundLoad> m_load;
  std::vector<std::string> m_loadPaths;
  QTimer* m_loadTimer = nullptr;
  QProgressBar* m_loadProgress = nullptr;
  QPushButton* m_cancelLoad = nullptr;
  QShortcut* m_cancelShortcut = nullptr;
  std::vector<int> m_statWidths;  // column widths last taken from the core
  std::vector<int> m_rawWidths;
};
