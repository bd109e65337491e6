// tallyweave: the log analyser's window. --version and --help answer without
// a window; the LOGFILE arguments are opened at start-up as one log, as File > Open would.

#include <QApplication>
#include <QStringList>
#include <QTimer>

#include <cstdio>

#include "CommandLine.h"
#include "MainWindow.h"

namespace {

QStringList argumentsOf(int argc, char* argv[]) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
  return arguments;
}

}  // namespace

int main(int argc, char* argv[]) {
  // Read before the application object exists, so --version needs no display.
  const StartupRequest request = parseStartup(argumentsOf(argc, argv));
  if (request.action != StartupRequest::Action::OpenWindow) {
    const bool failed = request.action == StartupRequest::Action::FailAndExit;
    std::fputs(request.text.toLocal8Bit().constData(), failed ? stderr : stdout);
    return failed ? 2 : 0;
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quelmark Tallyweave"));

  MainWindow window;
  window.show();
  if (!request.logs.isEmpty()) {
    const QStringList paths = request.logs;
    QTimer::singleShot(0, &window, [&window, paths] { window.openLogs(paths); });
  }
  QApplication::exec();
  return 0;
}
