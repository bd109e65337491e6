// ParseLogLineAs on arbitrary bytes, zero bytes included, over real pools, a
// crawler list and an engine list, under every named format and custom
// LogFormat strings (fixed ones, and one taken from the input). Besides
// crashes it checks what the parser promises: a rejected line adds nothing to
// the pools, an accepted one gives a consistent record, the same line parses
// to the same record again, checking a line gives the same reason and pools
// nothing, combined reads as ParseLogLine does, and detection pools nothing.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "log/string_pool.h"
#include "parse/format.h"
#include "parse/parser.h"
#include "parse/referrer.h"

namespace {

constexpr std::string_view kEngines =
    "images.google;q=\r\n"
    "google;q=\n"
    "search.yahoo;p=\n"
    "yandex;text=\n"
    "\n"
    "rambler;query=\r"
    "mail.ru;\"q=\"\n"
    "go.mail.ru;q=;extra\n"
    "bing;q=\n";

constexpr const char* kCrawlerLines[] = {
    "Googlebot/2.1 (+http://www.google.com/bot.html)",
    "YandexBot/3.0",
    "",
    "Mozilla/5.0 (compatible; bingbot/2.0)",
};

struct Parser {
  tw::StringPool urls, referrers, agents, phrases, domains;
  std::vector<const char*> crawlers;
  tw::EngineList engines;
  tw::ParseContext ctx;

  Parser() {
    for (const char* line : kCrawlerLines) crawlers.push_back(agents.Intern(line));
    tw::ParseEngineList(kEngines, engines);
    ctx.UrlPool = &urls;
    ctx.ReferrerPool = &referrers;
    ctx.UserAgentPool = &agents;
    ctx.SearchPhrasePool = &phrases;
    ctx.ReferrerDomainPool = &domains;
    ctx.Crawlers = &crawlers;
    ctx.SiteName = "www.mysite.ru";
    ctx.Engines = &engines;
  }

  std::size_t Pooled() const {
    return urls.Count() + referrers.Count() + agents.Count() + phrases.Count() + domains.Count();
  }
};

constexpr const char* kCustomStrings[] = {
    R"(%h %l %u %t "%r" %>s %b "%{Referer}i" "%{User-Agent}i")",
    R"(%v:%p %h %l %u %t "%r" %>s %O "%{Referer}i" "%{User-Agent}i")",
    R"(%a %u %l %t "%r" %s %B "%{referer}i" "%{user-agent}i" %D "%{X-Forwarded-For}i")",
    R"f(%V [%{SSL}e] "%t" "%r took %D" s=%>s "%{User-Agent}i (x)" 100%%)f",
    R"(%t "%r")",
};

// The format the input's first byte picks; a custom string may come from the
// input itself, up to its first line feed, which then leaves `line`.
bool PickFormat(std::string_view& line, tw::LogFormat& format) {
  if (line.empty()) return true;
  const unsigned pick = static_cast<unsigned char>(line.front()) % 10;
  line.remove_prefix(1);
  if (pick < 4) {
    format = tw::LogFormat::Named(static_cast<tw::LogFormatName>(pick));
    return true;
  }
  std::string error;
  if (pick < 9) {
    FUZZ_CHECK(tw::LogFormat::FromApacheString(kCustomStrings[pick - 4], format, error));
    return true;
  }
  const std::size_t end = line.find('\n');
  if (end == std::string_view::npos) return false;
  const std::string_view pattern = line.substr(0, end);
  line.remove_prefix(end + 1);
  if (!tw::LogFormat::FromApacheString(pattern, format, error)) {
    FUZZ_CHECK(!error.empty());
    return false;
  }
  FUZZ_CHECK(format.Label() == pattern);
  return true;
}

// Detection over the input's lines pools nothing.
void CheckDetection(Parser& parser, std::string_view text) {
  std::vector<std::string_view> pieces;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size() - 1);
    pieces.push_back(text.substr(0, end + 1));
    text.remove_prefix(end + 1);
  }
  const std::size_t pooled = parser.Pooled();
  const tw::LogFormat format = tw::DetectLogFormat(parser.ctx, pieces);
  FUZZ_CHECK(format.Name() != tw::LogFormatName::kCustom);
  FUZZ_CHECK(parser.Pooled() == pooled);
}

bool SameRecord(const tw::LogRecord& a, const tw::LogRecord& b) {
  return a.Url() == b.Url() && a.Referrer() == b.Referrer() && a.UserAgent() == b.UserAgent() &&
         a.SearchPhrase() == b.SearchPhrase() && a.ReferrerDomain() == b.ReferrerDomain() &&
         a.ClientIp == b.ClientIp && a.Status == b.Status && a.Bytes == b.Bytes &&
         a.LogTime == b.LogTime && a.ReferrerKind == b.ReferrerKind &&
         a.EngineIndex == b.EngineIndex && a.IsCrawler == b.IsCrawler;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The pools carry texts from one input to the next, as a loaded log's do;
  // they start afresh now and then so that a long run does not fill memory.
  static Parser* parser = nullptr;
  static std::size_t runs = 0;
  if (parser == nullptr || ++runs % 100000 == 0) {
    delete parser;
    parser = new Parser;
  }
  std::string_view line(reinterpret_cast<const char*>(data), size);
  CheckDetection(*parser, line);
  tw::LogFormat format;
  if (!PickFormat(line, format)) return 0;

  const std::size_t pooled = parser->Pooled();
  const tw::RejectReason checked = tw::CheckLogLineAs(parser->ctx, format, line);
  FUZZ_CHECK(parser->Pooled() == pooled);
  tw::LogRecord record;
  const tw::RejectReason reason = tw::ParseLogLineAs(parser->ctx, format, line, &record);
  FUZZ_CHECK(reason == checked);
  FUZZ_CHECK(static_cast<std::size_t>(reason) < tw::kRejectReasonCount);
  FUZZ_CHECK(reason != tw::RejectReason::kDamagedData);
  if (format.Name() == tw::LogFormatName::kCombined) {
    tw::LogRecord plain;
    FUZZ_CHECK(tw::ParseLogLine(parser->ctx, line, &plain) ==
               (reason == tw::RejectReason::kAccepted));
  }
  if (reason != tw::RejectReason::kAccepted) {
    FUZZ_CHECK(parser->Pooled() == pooled);
    return 0;
  }

  FUZZ_CHECK(record.Url() != nullptr && record.Referrer() != nullptr && record.UserAgent() != nullptr);
  FUZZ_CHECK(record.ReferrerDomain() != nullptr);
  switch (record.ReferrerKind) {
    case tw::RefSearchEngine:
      FUZZ_CHECK(record.EngineIndex >= 0);
      FUZZ_CHECK(static_cast<std::size_t>(record.EngineIndex) < parser->engines.EngineNames.size());
      break;
    case tw::RefExternal:
    case tw::RefNone:
    case tw::RefOwnSite:
      FUZZ_CHECK(record.EngineIndex == 0 && record.SearchPhrase() == nullptr);
      break;
    default:
      FUZZ_CHECK(!"a referrer kind out of range");
  }
  FUZZ_CHECK(record.IsCrawler ==
             (tw::IsCrawlerAgent(&parser->crawlers, record.UserAgent()) ? 1u : 0u));

  // Parsing again reuses the grown scratch buffers and the pooled texts.
  const std::size_t after = parser->Pooled();
  tw::LogRecord again;
  FUZZ_CHECK(tw::ParseLogLineAs(parser->ctx, format, line, &again) == tw::RejectReason::kAccepted);
  FUZZ_CHECK(SameRecord(record, again));
  FUZZ_CHECK(parser->Pooled() == after);
  return 0;
}
