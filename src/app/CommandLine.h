#pragma once

// The window program's command line: --version and --help answer without a
// window; anything else names logs to open at start-up.

#include <QString>
#include <QStringList>

struct StartupRequest {
  enum class Action { OpenWindow, PrintAndExit, FailAndExit };
  Action action = Action::OpenWindow;
  QStringList logs;  // OpenWindow: the logs to open, in the order given
  QString text;      // PrintAndExit: for standard output; FailAndExit: for standard error
};

// The version line, as --version prints it: "Quelmark Tallyweave 1.0.1.83".
QString versionLine();

// Reads `arguments` (the program's name first). Needs no application object.
StartupRequest parseStartup(const QStringList& arguments);
