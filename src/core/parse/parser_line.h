#pragma once

// The steps every log format shares once a line is split into its fields:
// checking the fields in a fixed order, then storing the record. Checking
// writes nothing to the pools, so a format can be tried on a line and dropped.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "log/client_address.h"
#include "log/record.h"
#include "parse/format_name.h"
#include "parse/parser.h"
#include "parse/reject_reason.h"

namespace tw {

// The fields of one line as its tokens, views into the context's copy of the
// line. A field the format lacks holds the text that stands for it.
struct LineTokens {
  std::string_view Host;
  std::string_view Time;
  std::string_view Request;
  std::string_view Status = "0";
  std::string_view Size = "-";
  std::string_view Referrer = "-";
  std::string_view UserAgent = "-";
  // The line's own virtual host, as written ("Www.Site.ru:443"); a null view
  // when the format has none, and then the context's site name is the own site.
  std::string_view VirtualHost;
};

// A line whose fields passed every check.
struct CheckedLine {
  ClientAddress Client;
  LogTime Time = 0;
  std::int32_t Status = 0;
  std::int32_t Bytes = 0;
  std::string_view Path;  // its ASCII letters lower-cased, not yet decoded
  std::string_view Referrer;
  std::string_view UserAgent;
  std::string_view VirtualHost;
};

// Access to the context's scratch buffers for the formats' parsers.
class LineParser {
 public:
  // Cuts `line` at its first zero byte; kEmptyLine when nothing but a line end
  // remains. Otherwise copies it with its escapes resolved into the context's
  // line buffer, sets *text and *length to that copy and returns kAccepted.
  static RejectReason Prepare(ParseContext& ctx, std::string_view line, char** text,
                              std::size_t* length);

  // Checks the fields in the order the reasons are listed: client address,
  // time, request line, status, size. Lower-cases the path's ASCII letters in place.
  static RejectReason Check(const LineTokens& tokens, CheckedLine* line);

  // Fills *record from a checked line, interning its texts.
  static void Store(ParseContext& ctx, const CheckedLine& line, LogRecord* record);

  static ParseScratch& Scratch(ParseContext& ctx) { return ctx.scratch_; }
};

// Parses `line` under a named format (kCustom reads as combined). With a null
// `record` the line is only checked and nothing is pooled.
RejectReason ParseNamedLine(ParseContext& ctx, LogFormatName name, std::string_view line,
                            LogRecord* record);

// A virtual host without its port: the digits after the last ':' and the
// ':' dropped ("Www.Site.ru:443" -> "Www.Site.ru").
std::string_view VirtualHostWithoutPort(std::string_view virtual_host);

// The own-site name a virtual host stands for: the port after the last ':'
// dropped, as UTF-8 (base/utf8.h), lower-cased ("Www.Site.ru:443" ->
// "www.site.ru"; the referrer test drops a leading "www." itself). Written
// into `scratch`; the view is valid until it changes.
std::string_view OwnSiteOfVirtualHost(std::string_view virtual_host, std::string& scratch);

}  // namespace tw
