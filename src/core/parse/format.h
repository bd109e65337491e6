#pragma once

// Log formats: which fields a line has and where. A file is read under one
// format, either given or recognised from its first pieces.
//
//   combined        %h %l %u %t "%r" %>s %b "%{Referer}i" "%{User-Agent}i"
//   vhost_combined  %v:%p %h %l %u %t "%r" %>s %O "%{Referer}i" "%{User-Agent}i"
//   combined_extra  a combined line followed by further fields, which are ignored
//   common          %h %l %u %t "%r" %>s %b  (referrer and user agent "-")
//   custom          an Apache LogFormat string
//
// Every format checks the fields it has in the order of RejectReason. A line
// of vhost_combined, or of a custom format with %v or %V, is its own virtual
// host's line: the referrer's own-site test takes that host, lower-cased and
// without its port, in place of the context's SiteName.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "log/record.h"
#include "parse/format_name.h"
#include "parse/reject_reason.h"

namespace tw {

class ParseContext;


// A format ready to parse with. Cheap to copy.
class LogFormat {
 public:
  LogFormat() = default;  // combined
  // A named format; kCustom, which needs a string, gives combined.
  static LogFormat Named(LogFormatName name);
  // "combined", "vhost_combined", "combined_extra" or "common". False for any other text.
  static bool FromName(std::string_view name, LogFormat& format);
  // An Apache LogFormat string (parse/format_custom.h tells what it may hold).
  // On failure returns false, leaves `format` as it was and sets `error` to a
  // message naming the directive that cannot be used.
  static bool FromApacheString(std::string_view format_string, LogFormat& format, std::string& error);

  LogFormatName Name() const { return name_; }
  // "combined", ..., or the custom string as given.
  std::string Label() const;

 private:
  LogFormatName name_ = LogFormatName::kCombined;
  std::shared_ptr<const struct CustomLogFormat> custom_;  // set for kCustom
  friend RejectReason ParseLogLineAs(ParseContext&, const LogFormat&, std::string_view, LogRecord*);
};

// Parses one piece under `format`. kAccepted when *record holds the record;
// otherwise the reason, and the piece added nothing to the pools.
// REQUIRES: as ParseLogLine.
RejectReason ParseLogLineAs(ParseContext& ctx, const LogFormat& format, std::string_view line,
                            LogRecord* record);

// Whether `line` parses under `format`, and if not why, without storing a
// record: nothing enters the pools of `ctx`.
RejectReason CheckLogLineAs(ParseContext& ctx, const LogFormat& format, std::string_view line);

// The format of a file from its first pieces (up to 1,000 non-empty ones): the
// format under which most of them parse, ties to the earlier of combined,
// vhost_combined, combined_extra, common; combined whenever combined parses
// at least half as many as that one. Nothing enters the pools of `ctx`.
LogFormat DetectLogFormat(ParseContext& ctx, const std::vector<std::string_view>& pieces);

// How many leading non-empty pieces detection looks at.
inline constexpr std::size_t kFormatSamplePieces = 1000;

}  // namespace tw
