#pragma once

// Custom Apache LogFormat strings, compiled to the tokens a line must give.
//
//   %v:%p %h %l %u %t "%r" %>s %O "%{Referer}i" "%{User-Agent}i"
//   ->  [virtual host ':' ignored] [host] [ignored] [ignored] [time + zone]
//       [request] [status] [size] [referrer] [user agent]
//
// The string is split as a line is (parse/parser_tokens.h): at blanks, and a
// part in quotes is one token, blanks included, with its quotes dropped; "\""
// stands for a quote. Each token of the string matches one token of a line,
// except a bare %t, which matches the time and its zone. Inside a token the
// literal text must appear as written; a directive's value runs up to the
// first occurrence of the literal after it (the request and the user agent,
// which hold blanks, up to the last), the last one to the end of the token.
//
// Directives: %h %a host; %t time; %r request; %>s %s status; %b %B %O size;
// %v %V virtual host (the own site); %{Referer}i; %{User-Agent}i (header names
// in any letter case); %l %u %I %D %T %p and any other %{...}i, %{...}o,
// %{...}e, %{...}n are read and ignored; "%%" is a '%'. The string must hold
// %t and %r; a field it lacks takes the value the common format gives it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "log/record.h"
#include "parse/format_name.h"
#include "parse/reject_reason.h"

namespace tw {

class ParseContext;

enum class FieldKind : std::uint8_t {
  kIgnored,
  kHost,
  kTime,
  kRequest,
  kStatus,
  kSize,
  kReferrer,
  kUserAgent,
  kVirtualHost,
};

// One directive and the literal text that follows it inside its token.
struct FormatPart {
  FieldKind Kind = FieldKind::kIgnored;
  std::string LiteralAfter;
  bool operator==(const FormatPart&) const = default;
};

// One token of the string: literal text, then directives with their literals.
// A token without directives must equal its prefix.
struct FormatToken {
  std::string Prefix;
  std::vector<FormatPart> Parts;
  bool TimeAndZone = false;  // a bare %t: two tokens of a line
  bool operator==(const FormatToken&) const = default;
};

struct CustomLogFormat {
  std::string Text;  // as given
  std::vector<FormatToken> Tokens;
  std::size_t LineTokens = 0;  // how many tokens a matching line gives
  // kCombined or kVhostCombined when the string compiles to that named
  // format's tokens, whose parser then reads the lines (vhost_combined's also
  // takes a virtual host without its port); otherwise kCustom.
  LogFormatName SameAs = LogFormatName::kCustom;
};

// The most tokens a custom format may ask of a line.
inline constexpr std::size_t kMaxCustomLineTokens = 64;

// Compiles `pattern` into `format` (SameAs left kCustom). On failure returns false
// and sets `error` to a message naming the directive or text that cannot be used.
bool CompileLogFormat(std::string_view pattern, CustomLogFormat& format, std::string& error);

// Parses one piece under a compiled format, by its tokens (SameAs is not
// looked at). With a null `record` the piece is only checked and nothing is pooled.
RejectReason ParseCustomLine(ParseContext& ctx, const CustomLogFormat& format,
                             std::string_view line, LogRecord* record);

}  // namespace tw
