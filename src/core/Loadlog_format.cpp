#include "Loadlog_format.h"

#include "Loadlog_parser.h"

namespace tw {

// Combined only, until the other formats are read.
LogFormat LogFormat::Named(LogFormatName) { return LogFormat(); }

bool LogFormat::FromName(std::string_view name, LogFormat& format) {
  if (name != "combined") return false;
  format = LogFormat();
  return true;
}

bool LogFormat::FromApacheString(std::string_view, LogFormat&, std::string& error) {
  error = "custom log formats are not read yet";
  return false;
}

std::string LogFormat::Label() const { return "combined"; }

RejectReason ParseLogLineAs(ParseContext& ctx, const LogFormat&, std::string_view line,
                            LogRecord* record) {
  return ParseLogLine(ctx, line, record) ? RejectReason::kAccepted : RejectReason::kFieldCount;
}

LogFormat DetectLogFormat(ParseContext&, const std::vector<std::string_view>&) {
  return LogFormat();
}

}  // namespace tw
