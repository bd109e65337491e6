// The window's load on a worker thread: the commands greyed while it runs,
// its progress in the status bar, Cancel and Esc, and closing mid-load.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>

#include "analysis/report_kinds.h"
#include "app_test_support.h"
#include "form/form.h"

namespace {

using apptest::RecordingWindow;

// A log that takes the worker a while: long enough that a test acts while it
// runs, short enough for the sanitizer build.
QString WriteLongLog(const QTemporaryDir& dir, const QString& name) {
  const QStringList sample = apptest::SampleLogLines();
  QStringList lines;
  for (int i = 0; i < 60000; ++i) lines.append(sample);
  return apptest::WriteLog(dir, name, lines);
}

class WindowLoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    smallPath = apptest::WriteLog(dir, QStringLiteral("small.example-access_log"),
                                  apptest::SampleLogLines());
    longPath = WriteLongLog(dir, QStringLiteral("long.example-access_log"));
    ASSERT_FALSE(longPath.isEmpty());
  }

  // The commands that read or replace the log, by object name.
  static std::vector<bool> LogCommandsEnabled(const RecordingWindow& w) {
    std::vector<bool> enabled;
    for (const char* action : {"FileOpen1", "FileSave1"})
      enabled.push_back(w.child<QAction>(action)->isEnabled());
    enabled.push_back(w.child<QMenu>("LogFormat1")->menuAction()->isEnabled());
    for (const char* widget : {"Button1", "RadioButton1", "RadioButton14", "RadioButton16",
                               "TreeView1", "StringGrid1", "ComboBox1"})
      enabled.push_back(w.child<QWidget>(widget)->isEnabled());
    return enabled;
  }

  QTemporaryDir dir;
  QString smallPath, longPath;
};

TEST_F(WindowLoadTest, CommandsAreGreyedWhileALoadRunsAndComeBackAfterIt) {
  RecordingWindow w;
  ASSERT_TRUE(w.load(smallPath));
  const std::vector<bool> idle = LogCommandsEnabled(w);
  EXPECT_EQ(std::count(idle.begin(), idle.end(), true), static_cast<long>(idle.size()))
      << "a loaded log leaves every command on";

  w.window->openLogs({longPath, smallPath});
  ASSERT_TRUE(w.window->isLoading());
  EXPECT_EQ(LogCommandsEnabled(w), std::vector<bool>(idle.size(), false));
  EXPECT_TRUE(w.child<QAction>("Help2")->isEnabled()) << "help reads no log";
  auto* bar = w.child<QProgressBar>("LoadProgress");
  EXPECT_FALSE(bar->isHidden());
  EXPECT_FALSE(w.child<QPushButton>("CancelLoad")->isHidden());
  EXPECT_TRUE(bar->format().startsWith(QStringLiteral("File 1 of 2"))) << bar->format();
  EXPECT_TRUE(w.child<QLabel>("StatusBar")->text().startsWith(QStringLiteral("Loading ")));

  // Commands that reach the window anyway do nothing meanwhile.
  w.child<QRadioButton>("RadioButton5")->click();
  w.child<QPushButton>("Button1")->click();
  EXPECT_EQ(w.window->form().ReportKind(), tw::FindReportKindByName("day"));
  w.window->openLog(smallPath);  // a second load does not start
  EXPECT_EQ(w.window->form().RecordCount(), 5);

  ASSERT_TRUE(w.waitForLoad());
  EXPECT_EQ(LogCommandsEnabled(w), idle);
  EXPECT_TRUE(bar->isHidden());
  EXPECT_TRUE(w.child<QPushButton>("CancelLoad")->isHidden());
  EXPECT_EQ(w.window->form().RecordCount(), 300000 + 5);
  EXPECT_EQ(w.messages.size(), 2) << "one closing message per load";
}

TEST_F(WindowLoadTest, CancelAndEscLeaveTheLoadedLogAsItWas) {
  RecordingWindow w;
  w.window->show();
  w.window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w.window.get()));
  ASSERT_TRUE(w.load(smallPath));
  const QString memo = w.child<QPlainTextEdit>("Memo3")->toPlainText();
  const QString title = w.window->windowTitle();
  const int rows = w.child<QTableView>("StringGrid1")->model()->rowCount();

  const std::function<void()> cancels[] = {
      [&] { w.child<QPushButton>("CancelLoad")->click(); },
      [&] { QTest::keyClick(w.window.get(), Qt::Key_Escape); },
  };
  for (const auto& cancel : cancels) {
    w.window->openLog(longPath);
    ASSERT_TRUE(w.window->isLoading());
    cancel();
    ASSERT_TRUE(w.waitForLoad());
    EXPECT_EQ(w.window->form().RecordCount(), 5);
    EXPECT_EQ(w.child<QPlainTextEdit>("Memo3")->toPlainText(), memo);
    EXPECT_EQ(w.window->windowTitle(), title);
    EXPECT_EQ(w.child<QTableView>("StringGrid1")->model()->rowCount(), rows);
    EXPECT_TRUE(w.child<QLabel>("StatusBar")->text().isEmpty());
    EXPECT_EQ(w.messages.size(), 1) << "a cancelled load says nothing";
    EXPECT_TRUE(w.child<QAction>("FileOpen1")->isEnabled());
  }
}

TEST_F(WindowLoadTest, DropDuringALoadIsRefused) {
  RecordingWindow w;
  w.window->openLog(longPath);
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(smallPath)});
  QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w.window.get(), &enter);
  EXPECT_FALSE(enter.isAccepted());
  w.window->cancelLoad();
  ASSERT_TRUE(w.waitForLoad());
}

TEST_F(WindowLoadTest, ClosingOrDestroyingTheWindowMidLoadStopsTheLoad) {
  {
    RecordingWindow w;
    w.window->show();
    w.window->openLog(longPath);
    ASSERT_TRUE(w.window->isLoading());
    EXPECT_TRUE(w.window->close()) << "a load does not hold the window open";
    EXPECT_FALSE(w.window->isLoading());
    EXPECT_EQ(w.window->form().RecordCount(), 0);
    EXPECT_TRUE(w.messages.isEmpty());
  }
  {
    RecordingWindow w;
    w.window->openLog(longPath);
    QTest::qWait(20);  // the worker is well into the file
    ASSERT_TRUE(w.window->isLoading());
  }  // destroyed mid-load: the worker stops and frees what it read
}

}  // namespace
