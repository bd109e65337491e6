// ParseLogLine on arbitrary bytes, zero bytes included, over real pools, a
// crawler list and an engine list. Besides crashes it checks what the parser
// promises: a rejected line adds nothing to the pools, an accepted one gives
// a consistent record, and the same line parses to the same record again.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "Loadlog_parser.h"
#include "Loadlog_referrer.h"
#include "Loadlog_string_pool.h"
#include "fuzz_support.h"

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

bool SameRecord(const tw::LogRecord& a, const tw::LogRecord& b) {
  return a.Url == b.Url && a.Referrer == b.Referrer && a.UserAgent == b.UserAgent &&
         a.SearchPhrase == b.SearchPhrase && a.ReferrerDomain == b.ReferrerDomain &&
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
  const std::string_view line(reinterpret_cast<const char*>(data), size);

  const std::size_t pooled = parser->Pooled();
  tw::LogRecord record;
  if (!tw::ParseLogLine(parser->ctx, line, &record)) {
    FUZZ_CHECK(parser->Pooled() == pooled);
    return 0;
  }

  FUZZ_CHECK(record.Url != nullptr && record.Referrer != nullptr && record.UserAgent != nullptr);
  FUZZ_CHECK(record.ReferrerDomain != nullptr);
  switch (record.ReferrerKind) {
    case tw::RefSearchEngine:
      FUZZ_CHECK(record.EngineIndex >= 0);
      FUZZ_CHECK(static_cast<std::size_t>(record.EngineIndex) < parser->engines.EngineNames.size());
      break;
    case tw::RefExternal:
    case tw::RefNone:
    case tw::RefOwnSite:
      FUZZ_CHECK(record.EngineIndex == 0 && record.SearchPhrase == nullptr);
      break;
    default:
      FUZZ_CHECK(!"a referrer kind out of range");
  }
  FUZZ_CHECK(record.IsCrawler == (tw::IsCrawlerAgent(&parser->crawlers, record.UserAgent) ? 1u : 0u));

  // Parsing again reuses the grown scratch buffers and the pooled texts.
  const std::size_t after = parser->Pooled();
  tw::LogRecord again;
  FUZZ_CHECK(tw::ParseLogLine(parser->ctx, line, &again));
  FUZZ_CHECK(SameRecord(record, again));
  FUZZ_CHECK(parser->Pooled() == after);
  return 0;
}
