// tallyweave: the log analyser's window. An optional argument names a log
// to open at start-up, as File > Open would.

#include <QApplication>
#include <QStringList>
#include <QTimer>

#include "MainWindow.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Quelmark Tallyweave"));

  MainWindow window;
  window.show();

  const QStringList arguments = QApplication::arguments();
  if (arguments.size() > 1) {
    const QString path = arguments.at(1);
    QTimer::singleShot(0, &window, [&window, path] { window.openLog(path); });
  }
  QApplication::exec();
  return 0;
}
