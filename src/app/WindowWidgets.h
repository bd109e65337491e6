#pragma once

// The main window's widgets, named as the form names them. MainWindow builds
// them (MainWindowLayout.cpp); the view binder, the commands and the load
// controller reach them through this one table. The window owns them all.

#include <vector>

class QAbstractButton;
class QAction;
class QButtonGroup;
class QChartView;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTableView;
class QTreeView;
class QWidget;

struct WindowWidgets {
  QMenu* fileMenu = nullptr;
  QMenu* formatMenu = nullptr;  // the format logs are opened with
  QAction* automaticFormat = nullptr;
  QMenu* editMenu = nullptr;
  QMenu* settingsMenu = nullptr;
  QMenu* helpMenu = nullptr;
  QAction* openAction = nullptr;
  QAction* saveAction = nullptr;
  QAction* exportAction = nullptr;
  QAction* exitAction = nullptr;
  QAction* helpAction = nullptr;
  QAction* homePageAction = nullptr;
  QAction* aboutAction = nullptr;
  QAction* changeAction = nullptr;
  QGroupBox* groupBox1 = nullptr;
  QGroupBox* groupBox2 = nullptr;
  QGroupBox* groupBox3 = nullptr;
  QGroupBox* groupBox4 = nullptr;
  QGroupBox* groupBox5 = nullptr;
  QGroupBox* groupBox6 = nullptr;
  QLabel* headings[4] = {};  // Label1, Label2, Label5, Label6
  QLabel* label3 = nullptr;
  QLabel* label4 = nullptr;
  QLabel* label7 = nullptr;
  QLabel* label8 = nullptr;
  std::vector<QAbstractButton*> reportButtons;  // in the order of tw::kReportKinds
  QAbstractButton* requestButtons[3] = {};      // index filter - 1
  QButtonGroup* reportGroup = nullptr;
  QButtonGroup* requestGroup = nullptr;
  QCheckBox* checkBox1 = nullptr;
  QPushButton* button1 = nullptr;
  QPushButton* button2 = nullptr;
  QDateEdit* dateTimePicker1 = nullptr;
  QDateEdit* dateTimePicker2 = nullptr;
  QComboBox* comboBox1 = nullptr;
  QTreeView* treeView1 = nullptr;
  QTableView* stringGrid1 = nullptr;
  QTableView* stringGrid2 = nullptr;
  QWidget* panel5 = nullptr;
  QPlainTextEdit* memo3 = nullptr;
  QChartView* chart1 = nullptr;
  QSplitter* splitter1 = nullptr;
  QLabel* statusLabel = nullptr;
};
