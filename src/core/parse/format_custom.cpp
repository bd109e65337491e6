#include "parse/format_custom.h"

#include "parse/parser.h"
#include "parse/parser_line.h"

namespace tw {
namespace {

inline bool IsBlank(char c) {  // codes 1 to 32, as between the tokens of a line
  return static_cast<unsigned char>(static_cast<unsigned char>(c) - 1) < 32;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

struct StringToken {
  std::string Text;
  bool Quoted = false;
};

// Splits the string at blanks; a quoted part is one token and "" in it one quote.
bool SplitString(std::string_view pattern, std::vector<StringToken>& tokens, std::string& error) {
  std::size_t i = 0;
  for (;;) {
    while (i < pattern.size() && IsBlank(pattern[i])) ++i;
    if (i == pattern.size()) return true;
    StringToken token;
    if (pattern[i] != '"') {
      while (i < pattern.size() && !IsBlank(pattern[i])) token.Text += pattern[i++];
    } else {
      token.Quoted = true;
      for (++i;; ++i) {
        if (i == pattern.size()) {
          error = "a quote in the format is not closed";
          return false;
        }
        if (pattern[i] != '"') {
          token.Text += pattern[i];
        } else if (i + 1 < pattern.size() && pattern[i + 1] == '"') {
          token.Text += '"';
          ++i;
        } else {
          ++i;
          break;
        }
      }
    }
    tokens.push_back(std::move(token));
  }
}

// The kind of directive `letter` with its {name} (empty without braces) and
// modifier ('>', '<' or 0). False for a directive that cannot be used.
bool KindOf(char letter, std::string_view name, bool braced, char modifier, FieldKind* kind) {
  if (braced) {
    if (modifier != 0) return false;
    if (letter == 'i' && EqualsIgnoringCase(name, "Referer")) {
      *kind = FieldKind::kReferrer;
    } else if (letter == 'i' && EqualsIgnoringCase(name, "User-Agent")) {
      *kind = FieldKind::kUserAgent;
    } else if (letter == 'i' || letter == 'o' || letter == 'e' || letter == 'n') {
      *kind = FieldKind::kIgnored;
    } else {
      return false;
    }
    return true;
  }
  if (modifier != 0) {
    *kind = FieldKind::kStatus;
    return modifier == '>' && letter == 's';
  }
  switch (letter) {
    case 'h':
    case 'a':
      *kind = FieldKind::kHost;
      return true;
    case 't':
      *kind = FieldKind::kTime;
      return true;
    case 'r':
      *kind = FieldKind::kRequest;
      return true;
    case 's':
      *kind = FieldKind::kStatus;
      return true;
    case 'b':
    case 'B':
    case 'O':
      *kind = FieldKind::kSize;
      return true;
    case 'v':
    case 'V':
      *kind = FieldKind::kVirtualHost;
      return true;
    case 'l':
    case 'u':
    case 'I':
    case 'D':
    case 'T':
    case 'p':
      *kind = FieldKind::kIgnored;
      return true;
    default:
      return false;
  }
}

// Reads the directive that starts at text[*i] == '%' (not "%%"); moves *i past it.
bool ReadDirective(const std::string& text, std::size_t* i, FieldKind* kind, std::string* spelling,
                   std::string& error) {
  const std::size_t start = *i;
  std::size_t p = start + 1;
  std::string_view name;
  const bool braced = p < text.size() && text[p] == '{';
  if (braced) {
    const std::size_t close = text.find('}', p);
    if (close == std::string::npos) {
      error = "the directive " + text.substr(start) + " has no closing '}'";
      return false;
    }
    name = std::string_view(text).substr(p + 1, close - p - 1);
    p = close + 1;
  }
  char modifier = 0;
  if (p < text.size() && (text[p] == '>' || text[p] == '<')) modifier = text[p++];
  if (p == text.size()) {
    error = "the directive " + text.substr(start) + " is not complete";
    return false;
  }
  *spelling = text.substr(start, p + 1 - start);
  *i = p + 1;
  if (!KindOf(text[p], name, braced, modifier, kind)) {
    error = "the directive " + *spelling + " cannot be used";
    return false;
  }
  return true;
}

// Compiles one token of the string.
bool CompileToken(const StringToken& pattern, FormatToken& token, std::string& error) {
  std::string literal;
  std::string previous;  // the spelling of the directive before, for messages
  bool time = false;
  for (std::size_t i = 0; i < pattern.Text.size();) {
    if (pattern.Text[i] != '%' || (i + 1 < pattern.Text.size() && pattern.Text[i + 1] == '%')) {
      literal += pattern.Text[i];
      i += pattern.Text[i] == '%' ? 2 : 1;
      continue;
    }
    FormatPart part;
    std::string spelling;
    if (!ReadDirective(pattern.Text, &i, &part.Kind, &spelling, error)) return false;
    if (!token.Parts.empty() && literal.empty()) {
      error = "the directive " + spelling + " follows " + previous + " with nothing between them";
      return false;
    }
    if (!pattern.Quoted &&
        (part.Kind == FieldKind::kRequest || part.Kind == FieldKind::kUserAgent)) {
      error = "the directive " + spelling + " must stand in quotes, as its text holds blanks";
      return false;
    }
    (token.Parts.empty() ? token.Prefix : token.Parts.back().LiteralAfter) = std::move(literal);
    literal.clear();
    time = time || part.Kind == FieldKind::kTime;
    token.Parts.push_back(std::move(part));
    previous = spelling;
  }
  (token.Parts.empty() ? token.Prefix : token.Parts.back().LiteralAfter) = std::move(literal);
  if (time && !pattern.Quoted) {
    if (token.Parts.size() != 1 || !token.Prefix.empty() || !token.Parts[0].LiteralAfter.empty()) {
      error = "the directive %t must stand alone or in quotes";
      return false;
    }
    token.TimeAndZone = true;
  }
  return true;
}

bool HasField(const CustomLogFormat& format, FieldKind kind) {
  for (const FormatToken& token : format.Tokens) {
    for (const FormatPart& part : token.Parts) {
      if (part.Kind == kind) return true;
    }
  }
  return false;
}

void SetField(FieldKind kind, std::string_view value, LineTokens* tokens) {
  switch (kind) {
    case FieldKind::kHost:
      tokens->Host = value;
      break;
    case FieldKind::kTime:
      tokens->Time = value;
      break;
    case FieldKind::kRequest:
      tokens->Request = value;
      break;
    case FieldKind::kStatus:
      tokens->Status = value;
      break;
    case FieldKind::kSize:
      tokens->Size = value;
      break;
    case FieldKind::kReferrer:
      tokens->Referrer = value;
      break;
    case FieldKind::kUserAgent:
      tokens->UserAgent = value;
      break;
    case FieldKind::kVirtualHost:
      tokens->VirtualHost = value;
      break;
    case FieldKind::kIgnored:
      break;
  }
}

// Matches one token of a line against one token of the format.
bool MatchToken(const FormatToken& format, std::string_view text, LineTokens* tokens) {
  if (text.substr(0, format.Prefix.size()) != format.Prefix) return false;
  text.remove_prefix(format.Prefix.size());
  if (format.Parts.empty()) return text.empty();
  for (std::size_t i = 0; i < format.Parts.size(); ++i) {
    const FormatPart& part = format.Parts[i];
    const std::string_view literal = part.LiteralAfter;
    std::size_t end = text.size();
    if (i + 1 == format.Parts.size()) {
      if (!text.ends_with(literal)) return false;
      end = text.size() - literal.size();
    } else {
      const bool blanks = part.Kind == FieldKind::kRequest || part.Kind == FieldKind::kUserAgent;
      end = blanks ? text.rfind(literal) : text.find(literal);
      if (end == std::string_view::npos) return false;
    }
    SetField(part.Kind, text.substr(0, end), tokens);
    text.remove_prefix(std::min(text.size(), end + literal.size()));
  }
  return true;
}

}  // namespace

bool CompileLogFormat(std::string_view pattern, CustomLogFormat& format, std::string& error) {
  format = CustomLogFormat();
  format.Text = std::string(pattern);
  std::string unescaped;  // "\"" stands for a quote, as in a server's configuration
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '\\' && i + 1 < pattern.size() && pattern[i + 1] == '"') ++i;
    unescaped += pattern[i];
  }
  std::vector<StringToken> string_tokens;
  if (!SplitString(unescaped, string_tokens, error)) return false;
  for (const StringToken& string_token : string_tokens) {
    FormatToken token;
    if (!CompileToken(string_token, token, error)) return false;
    format.LineTokens += token.TimeAndZone ? 2 : 1;
    format.Tokens.push_back(std::move(token));
  }
  if (format.LineTokens > kMaxCustomLineTokens) {
    error = "the format has more than " + std::to_string(kMaxCustomLineTokens) + " fields";
    return false;
  }
  if (!HasField(format, FieldKind::kTime)) {
    error = "the format has no %t, the time of the request";
    return false;
  }
  if (!HasField(format, FieldKind::kRequest)) {
    error = "the format has no %r, the request line";
    return false;
  }
  return true;
}

RejectReason ParseCustomLine(ParseContext& ctx, const CustomLogFormat& format,
                             std::string_view line, LogRecord* record) {
  char* text = nullptr;
  std::size_t length = 0;
  const RejectReason prepared = LineParser::Prepare(ctx, line, &text, &length);
  if (prepared != RejectReason::kAccepted) return prepared;
  std::string_view found[kMaxCustomLineTokens + 1];
  if (TokenizeInPlace(text, length, found, format.LineTokens + 1) != format.LineTokens) {
    return RejectReason::kFieldCount;
  }
  LineTokens tokens;
  std::size_t next = 0;
  for (const FormatToken& token : format.Tokens) {
    if (!MatchToken(token, found[next], &tokens)) return RejectReason::kFieldCount;
    next += token.TimeAndZone ? 2 : 1;  // the zone is not used
  }
  CheckedLine checked;
  const RejectReason reason = LineParser::Check(tokens, &checked);
  if (reason == RejectReason::kAccepted && record != nullptr) {
    LineParser::Store(ctx, checked, record);
  }
  return reason;
}

}  // namespace tw
