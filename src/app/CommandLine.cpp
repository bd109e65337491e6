#include "CommandLine.h"

#include <QCommandLineParser>
#include <QFileInfo>

#include <array>

#include "form/form.h"
#include "form/version.h"

namespace {

// The usage line names the program as it was called: the parser would take the
// name from an application object, which need not exist yet.
QString withProgramName(QString help, const QStringList& arguments) {
  const QString name = arguments.isEmpty() ? QStringLiteral("tallyweave")
                                           : QFileInfo(arguments.constFirst()).fileName();
  const QString usage = QStringLiteral("Usage: ");
  const qsizetype options = help.indexOf(QStringLiteral(" [options]"));
  if (help.startsWith(usage) && options > 0)
    help.replace(usage.size(), options - usage.size(), name);
  return help;
}

}  // namespace

QString versionLine() {
  std::array<int, 4> parts{};
  QString line = QString::fromLatin1(tw::kProgramTitle);
  if (tw::ReadFileVersion(parts))
    line += QStringLiteral(" %1.%2.%3.%4").arg(parts[0]).arg(parts[1]).arg(parts[2]).arg(parts[3]);
  return line;
}

StartupRequest parseStartup(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Analyses a web server's access log: opens the window, with LOGFILE loaded "
                     "when one is given."));
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("LOGFILE"), QStringLiteral("An access log to open."),
                               QStringLiteral("[LOGFILE...]"));

  StartupRequest request;
  if (!parser.parse(arguments)) {
    request.action = StartupRequest::Action::FailAndExit;
    request.text = parser.errorText() + QLatin1Char('\n');
    return request;
  }
  if (parser.isSet(help)) {
    request.action = StartupRequest::Action::PrintAndExit;
    request.text = withProgramName(parser.helpText(), arguments);
  } else if (parser.isSet(version)) {
    request.action = StartupRequest::Action::PrintAndExit;
    request.text = versionLine() + QLatin1Char('\n');
  } else {
    request.logs = parser.positionalArguments();
  }
  return request;
}
