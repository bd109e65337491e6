#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QUrl>
#include <QWindow>

#include "AboutBox.h"
#include "GridModel.h"
#include "SiteTreeModel.h"
#include "analysis/report_kinds.h"
#include "app_test_support.h"
#include "base/cp1251.h"
#include "form/form.h"
#include "geo/find.h"

namespace {

using apptest::RecordingWindow;

QAbstractItemModel* ModelOf(const RecordingWindow& w, const char* view) {
  if (auto* table = w.child<QTableView>(view)) return table->model();
  return w.child<QTreeView>(view)->model();
}

QString MemoText(const RecordingWindow& w) {
  return w.child<QPlainTextEdit>("Memo3")->toPlainText();
}

// Selects a row of a table as a user would.
void SelectRow(QTableView* view, int row) {
  view->selectionModel()->setCurrentIndex(
      view->model()->index(row, 1),
      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ChooseReport(const RecordingWindow& w, const char* button) {
  w.child<QRadioButton>(button)->click();
  w.child<QPushButton>("Button1")->click();
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    logPath = apptest::WriteLog(dir, QStringLiteral("site.example-access_log"),
                                apptest::SampleLogLines());
    ASSERT_FALSE(logPath.isEmpty());
  }

  QTemporaryDir dir;
  QString logPath;
};

TEST_F(MainWindowTest, BuildsWithTheLanguageTexts) {
  RecordingWindow w;
  EXPECT_EQ(w.window->size(), QSize(800, 600));
  EXPECT_EQ(w.window->windowTitle(), QStringLiteral("Quelmark Tallyweave"));
  for (const char* menu : {"File1", "Help1"}) {
    EXPECT_FALSE(w.child<QMenu>(menu)->title().isEmpty()) << menu;
    EXPECT_TRUE(w.child<QMenu>(menu)->menuAction()->isVisible()) << menu;
  }
  for (const char* menu : {"Edit1", "Settings1"})
    EXPECT_FALSE(w.child<QMenu>(menu)->menuAction()->isVisible()) << menu;
  for (const char* action :
       {"FileOpen1", "FileSave1", "FileExit1", "Help2", "HomePage1", "HelpAbout1"})
    EXPECT_FALSE(w.child<QAction>(action)->text().isEmpty()) << action;
  for (const char* box :
       {"GroupBox1", "GroupBox2", "GroupBox3", "GroupBox4", "GroupBox5", "GroupBox6"})
    EXPECT_FALSE(w.child<QGroupBox>(box)->title().trimmed().isEmpty()) << box;
  EXPECT_FALSE(w.child<QGroupBox>("GroupBox2")->isHidden());
  // The location buttons show what the core found on this machine.
  const struct {
    const char* button;
    const char* kind;
  } geoButtons[] = {{"RadioButton7", "cities"}, {"RadioButton8", "countries"}};
  for (const auto& g : geoButtons) {
    const bool available = tw::GeoLevelAvailable(w.window->form().GeoDatabase(),
                                                 tw::FindReportKindByName(g.kind)->Places);
    EXPECT_EQ(w.child<QRadioButton>(g.button)->isHidden(), !available) << g.button;
    EXPECT_EQ(w.child<QRadioButton>(g.button)->isEnabled(), available) << g.button;
  }
  EXPECT_EQ(w.child<AboutBox>("AboutBox")
                ->findChild<QLabel*>(QStringLiteral("DatabaseLabel"))
                ->text()
                .toStdString(),
            w.window->form().GeoDatabaseLine());
  EXPECT_TRUE(w.child<QRadioButton>("RadioButton1")->isChecked());
  EXPECT_TRUE(w.child<QRadioButton>("RadioButton14")->isChecked());
  EXPECT_FALSE(w.child<QLabel>("Label8")->text().isEmpty()) << "the no-log text";
  EXPECT_EQ(MemoText(w).split(QLatin1Char('\n')).size(), 4);
  EXPECT_FALSE(w.child<QPushButton>("Button2")->isEnabled());
  EXPECT_TRUE(w.messages.isEmpty());
}

TEST_F(MainWindowTest, FileMenuCarriesItsShortcutsHintsAndIcons) {
  RecordingWindow w;
  struct Case {
    const char* action;
    QKeySequence keys;
    bool icon;
  };
  const Case cases[] = {
      {"FileOpen1", QKeySequence(Qt::CTRL | Qt::Key_O), true},
      {"FileSave1", QKeySequence(Qt::CTRL | Qt::Key_S), true},
      {"FileExit1", QKeySequence(), false},
  };
  for (const Case& c : cases) {
    const QAction* action = w.child<QAction>(c.action);
    ASSERT_NE(action, nullptr) << c.action;
    EXPECT_EQ(action->shortcut(), c.keys) << c.action;
    EXPECT_EQ(!action->icon().isNull(), c.icon) << c.action;
    EXPECT_FALSE(action->statusTip().isEmpty()) << c.action;
    EXPECT_FALSE(action->statusTip().contains(QLatin1Char('|'))) << c.action << ": long part only";
  }
}

TEST_F(MainWindowTest, ReportButtonsFormOneGroupAndWaitForTheAnalysis) {
  RecordingWindow w;
  w.child<QRadioButton>("RadioButton9")->click();
  for (const char* other : {"RadioButton1", "RadioButton13", "RadioButton17"})
    EXPECT_FALSE(w.child<QRadioButton>(other)->isChecked()) << other;
  EXPECT_TRUE(w.window->form().ReportButton(*tw::FindReportKindByButton("RadioButton9")).Checked);
  EXPECT_FALSE(w.window->form().ReportButton(*tw::FindReportKindByButton("RadioButton1")).Checked);
  EXPECT_EQ(w.window->form().ReportKind(), tw::FindReportKindByName("day")) << "no run yet";
  w.child<QPushButton>("Button1")->click();
  EXPECT_EQ(w.window->form().ReportKind(), tw::FindReportKindByName("domains"));
}

TEST_F(MainWindowTest, LoadFillsInformationBoxTableTreeAndTitle) {
  RecordingWindow w;
  ASSERT_TRUE(w.load(logPath));

  EXPECT_EQ(w.messages.size(), 1) << "one message after a load";
  EXPECT_TRUE(MemoText(w).contains(QStringLiteral("site.example-access_log"))) << MemoText(w);
  EXPECT_EQ(w.window->windowTitle(), logPath + QStringLiteral(" - Quelmark Tallyweave"));
  EXPECT_TRUE(w.child<QLabel>("StatusBar")->text().isEmpty()) << "the load's status text is gone";
  QAbstractItemModel* table = ModelOf(w, "StringGrid1");
  EXPECT_GT(table->rowCount(), 1) << "data rows and the totals row";
  EXPECT_FALSE(table->headerData(1, Qt::Horizontal).toString().isEmpty());
  QAbstractItemModel* tree = ModelOf(w, "TreeView1");
  ASSERT_EQ(tree->rowCount(), 1);
  EXPECT_EQ(tree->index(0, 0).data().toString(), QStringLiteral("www"));
  EXPECT_GT(tree->rowCount(tree->index(0, 0)), 0);
  EXPECT_EQ(w.child<QTreeView>("TreeView1")->currentIndex(), tree->index(0, 0)) << "root selected";
  EXPECT_TRUE(w.child<QLabel>("Label8")->text().startsWith(QStringLiteral("http://")));
}

TEST_F(MainWindowTest, PeriodFrameOffersTheLogsMonthsAndDaysAndAnalysesThem) {
  QStringList lines = apptest::SampleLogLines();
  lines.append(QStringLiteral(R"log(2001:db8::1 - - [01/Nov/2023:10:00:00 +0000] "GET /index.html HTTP/1.1" 200 10 "-" "Opera/9.80")log"));
  const QString path = apptest::WriteLog(dir, QStringLiteral("two-months.log"), lines);
  RecordingWindow w;
  ASSERT_TRUE(w.load(path));

  auto* months = w.child<QComboBox>("ComboBox1");
  auto* from = w.child<QDateEdit>("DateTimePicker1");
  auto* to = w.child<QDateEdit>("DateTimePicker2");
  ASSERT_EQ(months->count(), 2);
  EXPECT_EQ(months->itemText(1), QStringLiteral("November 2023"));
  EXPECT_EQ(months->currentIndex(), 0) << "the analysed month";
  EXPECT_EQ(from->minimumDate(), QDate(2023, 10, 2));
  EXPECT_EQ(to->maximumDate(), QDate(2023, 11, 1));
  EXPECT_EQ(to->date(), QDate(2023, 10, 31));

  to->setDate(QDate(2023, 11, 1));  // as the user would
  EXPECT_EQ(w.window->form().AnalysedPeriod.Last, (tw::CalendarDate{2023, 11, 1}));
  EXPECT_EQ(months->currentIndex(), -1);
  ChooseReport(w, "RadioButton1");
  EXPECT_EQ(ModelOf(w, "StringGrid1")->rowCount(), 31 + 1) << "2 October to 1 November, totals";
  EXPECT_TRUE(w.child<QLabel>("Label8")->text().endsWith(QStringLiteral("02.10.2023 - 01.11.2023")));

  months->activated(1);
  EXPECT_EQ(from->date(), QDate(2023, 11, 1));
  EXPECT_EQ(w.window->form().AnalysedPeriod, tw::MonthPeriod(2023, 11));
}

TEST_F(MainWindowTest, OpenCommandAsksThePlatformForThePath) {
  RecordingWindow w;
  w.child<QAction>("FileOpen1")->trigger();  // cancelled: nothing loads
  EXPECT_TRUE(w.messages.isEmpty());
  EXPECT_EQ(w.window->form().RecordCount(), 0);

  w.openAnswers = {logPath};
  w.child<QAction>("FileOpen1")->trigger();
  ASSERT_TRUE(w.waitForLoad());
  EXPECT_EQ(w.window->form().RecordCount(), 5);
  EXPECT_TRUE(MemoText(w).contains(QStringLiteral("site.example-access_log")));
}

// The default file type writes the table file as always; "CSV, UTF-8" the
// same table in UTF-8, after a byte-order mark.
TEST_F(MainWindowTest, SaveCommandWritesTheTableToTheChosenFileInTheChosenType) {
  RecordingWindow w;
  ASSERT_TRUE(w.load(logPath));
  QByteArray saved[2];
  for (int type = 0; type < 2; ++type) {
    const QString csv = dir.filePath(QStringLiteral("report%1.csv").arg(type));
    w.saveAnswers = {csv};
    w.saveFilter = MainWindow::saveFilters().at(type);
    w.child<QAction>("FileSave1")->trigger();
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << type;
    saved[type] = file.readAll();
    EXPECT_TRUE(saved[type].contains("site.example")) << "the analysed address";
  }
  EXPECT_FALSE(saved[0].startsWith("\xEF\xBB\xBF"));
  const std::string legacy = saved[0].toStdString();
  EXPECT_EQ(saved[1].toStdString(), "\xEF\xBB\xBF" + tw::Cp1251ToUtf8(legacy));
  EXPECT_NE(saved[1].toStdString(), "\xEF\xBB\xBF" + legacy) << "the title's Cyrillic is converted";
}

// The other types write the current table for scripts and people; File >
// Export report writes every report as one page.
TEST_F(MainWindowTest, SaveTypesAndExportWriteTheSharedOutputs) {
  RecordingWindow w;
  ASSERT_TRUE(w.load(logPath));
  w.messages.clear();  // the load's closing message
  const struct {
    int type;
    const char* starts;
    const char* holds;
  } cases[] = {
      {2, "Day,Hits,Good hits,Hosts,Visits\r\n", ","},
      {3, "{\"program\":\"Quelmark Tallyweave\"", "\"report\":\"day\""},
      {4, "<!DOCTYPE html>", "id=\"r-day\""},
  };
  for (const auto& c : cases) {
    const QString path = dir.filePath(QStringLiteral("shared%1").arg(c.type));
    w.saveAnswers = {path};
    w.saveFilter = MainWindow::saveFilters().at(c.type);
    w.child<QAction>("FileSave1")->trigger();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << c.type;
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith(c.starts)) << c.type << ": " << bytes.left(80).toStdString();
    EXPECT_TRUE(bytes.contains(c.holds)) << c.type;
  }
  const QString page = dir.filePath(QStringLiteral("every.html"));
  w.exportAnswers = {page};
  w.child<QAction>("FileExport1")->trigger();
  QFile file(page);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray html = file.readAll();
  for (const tw::ReportKindInfo& kind : tw::kReportKinds) {
    if (kind.Places != tw::GeoLevel::kNone) continue;
    EXPECT_TRUE(html.contains(("id=\"r-" + std::string(kind.CliName) + "\"").c_str())) << kind.CliName;
  }
  EXPECT_TRUE(w.messages.isEmpty()) << w.messages.join(QLatin1Char('\n')).toStdString();
}

TEST_F(MainWindowTest, ClosingMessageOpensOverTheLoadsResult) {
  RecordingWindow w;
  ASSERT_TRUE(w.load(logPath));
  ASSERT_EQ(w.scenes.size(), 1u);
  const RecordingWindow::Scene& scene = w.scenes.front();
  EXPECT_EQ(scene.memo.split(QLatin1Char('\n')).value(1), MemoText(w).split(QLatin1Char('\n')).value(1))
      << "the record count as it stays after the load";
  EXPECT_EQ(scene.title, logPath + QStringLiteral(" - Quelmark Tallyweave"));
  EXPECT_TRUE(scene.status.contains(QStringLiteral("100%"))) << scene.status;
}

TEST_F(MainWindowTest, HelpOpensThePageBesideTheProgram) {
  RecordingWindow w;
  w.child<QAction>("Help2")->trigger();
  w.child<QAction>("HomePage1")->trigger();
  ASSERT_EQ(w.links.size(), 2);
  const QUrl help(w.links[0], QUrl::StrictMode);
  EXPECT_TRUE(help.isLocalFile()) << w.links[0];
  EXPECT_EQ(QFileInfo(help.toLocalFile()).fileName(), QString::fromLatin1(tw::kHelpFileName));
  EXPECT_TRUE(QFileInfo::exists(help.toLocalFile())) << "the build copies the page beside the program";
  EXPECT_EQ(w.links[1], QString::fromLatin1(tw::kHomeAddress));
}

TEST_F(MainWindowTest, TableRowsFollowTheCoreRowsAndDetailsListTheRowsRecords) {
  RecordingWindow w;
  ASSERT_TRUE(w.load(logPath));
  ChooseReport(w, "RadioButton5");  // status codes: 200, 404, totals
  auto* grid1 = w.child<QTableView>("StringGrid1");
  QAbstractItemModel* table = grid1->model();
  ASSERT_EQ(table->rowCount(), 3);
  EXPECT_EQ(table->index(1, 1).data().toString(), QStringLiteral("404"));
  // The current row is painted navy with white text, the swatch keeps its colour.
  EXPECT_EQ(table->index(0, 1).data(GridModel::FillColourRole).value<QColor>(), QColor(0, 0, 128));
  EXPECT_EQ(table->index(0, 1).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::white));
  EXPECT_EQ(table->index(0, 0).data(GridModel::FillColourRole).value<QColor>(), QColor(0, 255, 0));

  auto* details = w.child<QPushButton>("Button2");
  SelectRow(grid1, 1);
  EXPECT_EQ(w.window->form().StringGrid1.Row, 2);
  EXPECT_TRUE(details->isEnabled());
  EXPECT_EQ(table->index(1, 1).data(GridModel::FillColourRole).value<QColor>(), QColor(0, 0, 128));

  details->click();
  QAbstractItemModel* raw = ModelOf(w, "StringGrid2");
  ASSERT_EQ(raw->rowCount(), 2) << "one record and the empty last row";
  EXPECT_EQ(raw->index(0, 3).data().toString(), QStringLiteral("/news/old.html"));
  EXPECT_FALSE(raw->headerData(3, Qt::Horizontal).toString().isEmpty());

  SelectRow(grid1, 0);
  EXPECT_EQ(raw->rowCount(), 1) << "another row empties the raw log";
  SelectRow(grid1, 2);
  EXPECT_FALSE(details->isEnabled()) << "the totals row has no details";
}

TEST_F(MainWindowTest, TreeSelectionLimitsTheNextRun) {
  RecordingWindow w;
  ASSERT_TRUE(w.load(logPath));
  auto* view = w.child<QTreeView>("TreeView1");
  auto* model = static_cast<SiteTreeModel*>(view->model());
  const QModelIndex root = model->index(0, 0);
  QModelIndex news;
  for (int row = 0; row < model->rowCount(root); ++row) {
    if (model->index(row, 0, root).data().toString() == QStringLiteral("news"))
      news = model->index(row, 0, root);
  }
  ASSERT_TRUE(news.isValid());
  view->selectionModel()->setCurrentIndex(news, QItemSelectionModel::ClearAndSelect);
  EXPECT_EQ(w.window->form().TreeView1.Selected, SiteTreeModel::nodeAt(news));

  w.child<QPushButton>("Button1")->click();
  EXPECT_TRUE(w.child<QLabel>("Label8")->text().endsWith(QStringLiteral("/news  01.10.2023 - 31.10.2023")))
      << w.child<QLabel>("Label8")->text().toStdString();

  // Another request kind rebuilds the tree: the view follows and selects the root.
  w.child<QRadioButton>("RadioButton16")->click();
  EXPECT_EQ(w.window->form().RequestFilter, 3);
  EXPECT_EQ(SiteTreeModel::nodeAt(view->currentIndex()), w.window->form().TreeView1.Selected);
  EXPECT_EQ(view->currentIndex(), model->index(0, 0));
}

TEST_F(MainWindowTest, RepaintDuringALoadShowsStatusAndDropsFreedCoreData) {
  RecordingWindow w;
  ASSERT_TRUE(w.load(logPath));
  // What a load does before its first repaint: the old tree and table go.
  w.window->form().ClearSiteTree();
  w.window->form().ClearReport();
  w.window->form().StatusText = "Reading 50%";
  w.window->ProcessPaint();
  EXPECT_EQ(w.child<QLabel>("StatusBar")->text(), QStringLiteral("Reading 50%"));
  EXPECT_EQ(ModelOf(w, "TreeView1")->rowCount(), 0);
  EXPECT_EQ(ModelOf(w, "StringGrid1")->rowCount(), 1);
}

TEST_F(MainWindowTest, TimeTableKeepsItsWidthAndCountTableFollowsTheWindow) {
  RecordingWindow w;
  w.window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(w.window.get()));
  ASSERT_TRUE(w.load(logPath));  // ends with the by-day report
  auto* grid1 = w.child<QTableView>("StringGrid1");
  auto* side = w.child<QWidget>("Panel5");
  QApplication::processEvents();
  EXPECT_EQ(grid1->width(), 330);
  EXPECT_TRUE(grid1->isColumnHidden(0));

  ChooseReport(w, "RadioButton4");
  QApplication::processEvents();
  EXPECT_EQ(side->width(), 200);
  EXPECT_FALSE(grid1->isColumnHidden(0));
  EXPECT_EQ(grid1->columnWidth(1), std::max(100, grid1->width() - 170));

  w.window->resize(1000, 600);
  QApplication::processEvents();
  EXPECT_EQ(side->width(), 200);
  EXPECT_EQ(grid1->columnWidth(1), std::max(100, grid1->width() - 170)) << "after a resize";
}

TEST_F(MainWindowTest, CtrlCCopiesTheSelectedRowOfTheTable) {
  RecordingWindow w;
  ASSERT_TRUE(w.load(logPath));
  ChooseReport(w, "RadioButton5");
  w.window->show();
  w.window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.window.get()));
  auto* grid1 = w.child<QTableView>("StringGrid1");
  grid1->setFocus();
  SelectRow(grid1, 1);
  QApplication::clipboard()->clear();
  QTest::keyClick(grid1, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("\t404\t1\t20.00%\n"));
}

TEST_F(MainWindowTest, DroppedFileIsOpened) {
  RecordingWindow w;
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(logPath)});
  QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w.window.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w.window.get(), &drop);
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.window->form().RecordCount() == 5; }, 5000));
  EXPECT_TRUE(MemoText(w).contains(QStringLiteral("site.example-access_log")));
}

TEST_F(MainWindowTest, ShowsAFileNameOutsideTheCodePageIntact) {
  // Also a name holding Qt's title placeholder, shown as written.
  const QString path =
      apptest::WriteLog(dir, QStringLiteral("журнал[*]-access_log"), apptest::SampleLogLines());
  RecordingWindow w;
  w.window->show();
  ASSERT_TRUE(w.load(path));
  EXPECT_EQ(w.window->form().RecordCount(), 5);
  EXPECT_EQ(w.window->windowHandle()->title(), path + QStringLiteral(" - Quelmark Tallyweave"));
  EXPECT_TRUE(MemoText(w).contains(QStringLiteral("  Log: журнал[*]-access_log"))) << MemoText(w);
}

}  // namespace
