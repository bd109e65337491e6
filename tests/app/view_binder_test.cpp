// The view binder over widgets of its own: a view built from a session that
// loaded a log and ran a report, shown in the table, the titles and the box.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QtCharts/QChartView>

#include "ViewBinder.h"
#include "analysis/report_kinds.h"
#include "app_test_support.h"
#include "fake_platform.h"
#include "form/view.h"
#include "session/session.h"

namespace {

// One widget of each the binder fills, in a window of their own.
struct BoundWidgets {
  QMainWindow host;
  WindowWidgets ui;

  BoundWidgets() {
    auto* central = new QWidget(&host);
    host.setCentralWidget(central);
    QMenu** menus[] = {&ui.fileMenu, &ui.editMenu, &ui.settingsMenu, &ui.helpMenu};
    for (QMenu** menu : menus) *menu = host.menuBar()->addMenu(QString());
    QAction** actions[] = {&ui.openAction, &ui.saveAction, &ui.exportAction, &ui.exitAction, &ui.helpAction,
                           &ui.homePageAction, &ui.aboutAction, &ui.changeAction};
    for (QAction** action : actions) *action = ui.fileMenu->addAction(QString());
    QGroupBox** groups[] = {&ui.groupBox1, &ui.groupBox2, &ui.groupBox3,
                            &ui.groupBox4, &ui.groupBox5, &ui.groupBox6};
    for (QGroupBox** group : groups) *group = new QGroupBox(central);
    for (QLabel*& heading : ui.headings) heading = new QLabel(central);
    for (QLabel** label : {&ui.label3, &ui.label4, &ui.label7, &ui.label8, &ui.statusLabel})
      *label = new QLabel(central);
    for (std::size_t i = 0; i < tw::kReportKindCount; ++i)
      ui.reportButtons.push_back(new QRadioButton(central));
    for (QAbstractButton*& button : ui.requestButtons) button = new QRadioButton(central);
    ui.checkBox1 = new QCheckBox(central);
    ui.button1 = new QPushButton(central);
    ui.button2 = new QPushButton(central);
    ui.dateTimePicker1 = new QDateEdit(central);
    ui.dateTimePicker2 = new QDateEdit(central);
    ui.comboBox1 = new QComboBox(central);
    ui.treeView1 = new QTreeView(central);
    ui.stringGrid1 = new QTableView(central);
    ui.stringGrid2 = new QTableView(central);
    ui.panel5 = new QWidget(central);
    ui.memo3 = new QPlainTextEdit(central);
    ui.chart1 = new QChartView(central);
  }
};

TEST(ViewBinder, ShowsAViewBuiltFromASessionInTheWidgets) {
  QTemporaryDir dir;
  const QString logPath = apptest::WriteLog(dir, QStringLiteral("access_log"), apptest::SampleLogLines());
  tw::Session session(tw::testing::TestBinaryFolder());
  ASSERT_EQ(session.Load({toPathBytes(logPath)}).kind, tw::LoadOutcome::Kind::kLoaded);

  BoundWidgets widgets;
  tw::FormView view;
  CoreTextDecoder decode;
  decode.rememberPath(logPath);
  ViewBinder binder(widgets.host, widgets.ui, view, decode);

  struct Case {
    const char* kind;
    bool label_column_first;  // the count table shows its legend column, the time table hides it
  };
  for (const Case& c : {Case{"pages", true}, Case{"day", false}}) {
    SCOPED_TRACE(c.kind);
    tw::AnalysisChoice choice{tw::FindReportKindByName(c.kind), {}};
    choice.selection.period = session.PeriodAfterLoad();
    const tw::ReportResult& report = session.Analyse(choice);
    tw::ShowLanguageInView(session.Lang(), view);
    tw::ShowLogInView(session, view);
    tw::ShowReportInView(report, view);
    binder.refresh();

    EXPECT_EQ(widgets.host.windowTitle(), logPath + QStringLiteral(" - Quelmark Tallyweave"));
    EXPECT_EQ(widgets.ui.groupBox4->title(), fromCoreText(report.title));
    EXPECT_EQ(widgets.ui.label8->text(), fromCoreText(report.subject));
    QStringList information;
    for (const std::string& line : session.InformationLines()) information.append(decode(line));
    EXPECT_EQ(widgets.ui.memo3->toPlainText(), information.join(QLatin1Char('\n')));

    const QAbstractItemModel* model = widgets.ui.stringGrid1->model();
    ASSERT_EQ(model->columnCount(), report.ColCount());
    ASSERT_EQ(model->rowCount(), report.RowCount() - 1) << "the title row is the header";
    for (int col = 0; col < report.ColCount(); ++col) {
      EXPECT_EQ(model->headerData(col, Qt::Horizontal).toString(), fromCoreText(report.Cell(col, 0)));
      for (int row = 0; row < model->rowCount(); ++row) {
        EXPECT_EQ(model->index(row, col).data().toString(), fromCoreText(report.Cell(col, row + 1)))
            << col << "," << row;
      }
    }
    EXPECT_EQ(widgets.ui.stringGrid1->isColumnHidden(0), !c.label_column_first);
    EXPECT_EQ(widgets.ui.stringGrid1->columnWidth(1), view.StringGrid1.ColWidths[1]);
  }
}

}  // namespace
