#include "CommandLine.h"

#include <gtest/gtest.h>

#include "app_test_support.h"

namespace {

using Action = StartupRequest::Action;

TEST(CommandLine, AnswersOrOpensTheWindow) {
  struct Case {
    QStringList arguments;
    Action action;
    QStringList logs;
    QString textStart;  // what the printed text starts with, when anything is printed
  };
  const QString version = versionLine();
  const Case cases[] = {
      {{"tallyweave"}, Action::OpenWindow, {}, {}},
      {{"tallyweave", "access_log"}, Action::OpenWindow, {"access_log"}, {}},
      {{"tallyweave", "a.log", "b.log.1"}, Action::OpenWindow, {"a.log", "b.log.1"}, {}},
      {{"tallyweave", "--", "--version"}, Action::OpenWindow, {"--version"}, {}},
      {{"tallyweave", "--version"}, Action::PrintAndExit, {}, version + "\n"},
      {{"tallyweave", "-v"}, Action::PrintAndExit, {}, version + "\n"},
      {{"tallyweave", "--help"}, Action::PrintAndExit, {}, "Usage: tallyweave [options] [LOGFILE...]"},
      {{"/opt/tw/tallyweave", "-h", "log"}, Action::PrintAndExit, {}, "Usage: tallyweave "},
      {{"tallyweave", "--colour"}, Action::FailAndExit, {}, "Unknown option 'colour'."},
  };
  for (const Case& c : cases) {
    const StartupRequest request = parseStartup(c.arguments);
    const QString shown = c.arguments.join(QLatin1Char(' '));
    EXPECT_EQ(request.action, c.action) << shown;
    EXPECT_EQ(request.logs, c.logs) << shown;
    EXPECT_TRUE(request.text.startsWith(c.textStart)) << shown << ": " << request.text;
  }
}

}  // namespace
