#include "parse/format.h"

#include <array>

#include "parse/format_custom.h"
#include "parse/parser.h"
#include "parse/parser_line.h"

namespace tw {
namespace {

constexpr std::array<std::pair<LogFormatName, std::string_view>, 4> kNames = {{
    {LogFormatName::kCombined, "combined"},
    {LogFormatName::kVhostCombined, "vhost_combined"},
    {LogFormatName::kCombinedExtra, "combined_extra"},
    {LogFormatName::kCommon, "common"},
}};

// The strings the two named formats stand for; a custom string that compiles
// to the same tokens is read by the named format's own parser.
constexpr std::string_view kCombinedString =
    R"(%h %l %u %t "%r" %>s %b "%{Referer}i" "%{User-Agent}i")";
constexpr std::string_view kVhostCombinedString =
    R"(%v:%p %h %l %u %t "%r" %>s %O "%{Referer}i" "%{User-Agent}i")";

const std::vector<FormatToken>& CompiledTokens(std::string_view pattern) {
  static const auto compile = [](std::string_view text) {
    CustomLogFormat format;
    std::string error;
    CompileLogFormat(text, format, error);
    return format.Tokens;
  };
  static const std::vector<FormatToken> combined = compile(kCombinedString);
  static const std::vector<FormatToken> vhost_combined = compile(kVhostCombinedString);
  return pattern == kCombinedString ? combined : vhost_combined;
}

}  // namespace

LogFormat LogFormat::Named(LogFormatName name) {
  LogFormat format;
  if (name != LogFormatName::kCustom) format.name_ = name;
  return format;
}

bool LogFormat::FromName(std::string_view name, LogFormat& format) {
  for (const auto& [value, text] : kNames) {
    if (name == text) {
      format = Named(value);
      return true;
    }
  }
  return false;
}

bool LogFormat::FromApacheString(std::string_view pattern, LogFormat& format, std::string& error) {
  auto custom = std::make_shared<CustomLogFormat>();
  if (!CompileLogFormat(pattern, *custom, error)) return false;
  if (custom->Tokens == CompiledTokens(kCombinedString)) {
    custom->SameAs = LogFormatName::kCombined;
  } else if (custom->Tokens == CompiledTokens(kVhostCombinedString)) {
    custom->SameAs = LogFormatName::kVhostCombined;
  }
  format.name_ = LogFormatName::kCustom;
  format.custom_ = std::move(custom);
  return true;
}

std::string LogFormat::Label() const {
  if (name_ == LogFormatName::kCustom) return custom_->Text;
  for (const auto& [value, text] : kNames) {
    if (value == name_) return std::string(text);
  }
  return std::string(kNames[0].second);
}

RejectReason ParseLogLineAs(ParseContext& ctx, const LogFormat& format, std::string_view line,
                            LogRecord* record) {
  if (format.name_ != LogFormatName::kCustom)
    return ParseNamedLine(ctx, format.name_, line, record);
  if (format.custom_->SameAs != LogFormatName::kCustom) {
    return ParseNamedLine(ctx, format.custom_->SameAs, line, record);
  }
  return ParseCustomLine(ctx, *format.custom_, line, record);
}

RejectReason CheckLogLineAs(ParseContext& ctx, const LogFormat& format, std::string_view line) {
  return ParseLogLineAs(ctx, format, line, nullptr);
}

LogFormat DetectLogFormat(ParseContext& ctx, const std::vector<std::string_view>& pieces) {
  std::array<std::size_t, kNames.size()> parsed{};
  std::size_t sampled = 0;
  for (std::size_t i = 0; i < pieces.size() && sampled < kFormatSamplePieces; ++i) {
    const RejectReason combined = CheckLogLineAs(ctx, LogFormat(), pieces[i]);
    if (combined == RejectReason::kEmptyLine) continue;  // empty under every format
    ++sampled;
    if (combined == RejectReason::kAccepted) ++parsed[0];
    for (std::size_t f = 1; f < kNames.size(); ++f) {
      if (CheckLogLineAs(ctx, LogFormat::Named(kNames[f].first), pieces[i]) ==
          RejectReason::kAccepted) {
        ++parsed[f];
      }
    }
  }
  std::size_t best = 0;  // ties go to the earlier format
  for (std::size_t f = 1; f < kNames.size(); ++f) {
    if (parsed[f] > parsed[best]) best = f;
  }
  // Combined keeps a log whose junk lines another format happens to accept.
  if (2 * parsed[0] >= parsed[best]) best = 0;
  return LogFormat::Named(kNames[best].first);
}

}  // namespace tw
