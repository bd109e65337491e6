// A custom Apache LogFormat string and lines read by it: the input's first
// line is the string, each further line (with its '\n') is parsed under it
// into real pools, IPv6 table and virtual host pool. Besides crashes it checks
// what the format and the parser promise: a refused string leaves the format
// as it was and says why; an accepted one keeps its text as the label and
// asks no more tokens of a line than the limit; checking a line gives the
// reason parsing does and pools nothing; a rejected line pools nothing; an
// accepted record's texts are the pools' own copies; and a string that
// compiles to a named format's tokens reads every line as that format does.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "log/ipv6_table.h"
#include "log/string_pool.h"
#include "parse/format.h"
#include "parse/format_custom.h"
#include "parse/parser.h"
#include "parse/referrer.h"

namespace {

constexpr std::string_view kEngines = "google;q=\nyandex;text=\nbing;q=\n";
constexpr const char* kCrawlerLines[] = {"Googlebot/2.1", "curl/8"};
// What a refused string must leave in place.
constexpr std::string_view kEarlierString = R"(%h %t "%r" %>s %b)";

struct Parser {
  tw::StringPool urls, referrers, agents, phrases, domains, hosts;
  tw::Ipv6AddressTable ipv6;
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
    ctx.VirtualHostPool = &hosts;
    ctx.Ipv6Addresses = &ipv6;
    ctx.Crawlers = &crawlers;
    ctx.SiteName = "www.mysite.ru";
    ctx.Engines = &engines;
  }

  std::size_t Pooled() const {
    return urls.Count() + referrers.Count() + agents.Count() + phrases.Count() + domains.Count() +
           hosts.Count() + ipv6.Count();
  }
};

// A pooled text interns to itself: the record holds the pool's copy.
void CheckPooled(tw::StringPool& pool, const char* text) {
  if (text == nullptr) return;
  const std::size_t count = pool.Count();
  FUZZ_CHECK(pool.Intern(text) == text);
  FUZZ_CHECK(pool.Count() == count);
}

bool SameRecord(const tw::LogRecord& a, const tw::LogRecord& b) {
  return a.Url() == b.Url() && a.Referrer() == b.Referrer() && a.UserAgent() == b.UserAgent() &&
         a.SearchPhrase() == b.SearchPhrase() && a.ReferrerDomain() == b.ReferrerDomain() &&
         a.ClientIp == b.ClientIp && a.IsIpv6 == b.IsIpv6 && a.Status == b.Status &&
         a.Bytes == b.Bytes && a.LogTime == b.LogTime && a.ReferrerKind == b.ReferrerKind &&
         a.EngineIndex == b.EngineIndex && a.IsCrawler == b.IsCrawler;
}

// Compiles `pattern`; false when it is refused, which must change nothing.
bool Compile(std::string_view pattern, tw::LogFormat& format, tw::CustomLogFormat& compiled) {
  std::string error;
  FUZZ_CHECK(tw::LogFormat::FromApacheString(kEarlierString, format, error));
  const bool accepted = tw::LogFormat::FromApacheString(pattern, format, error);
  std::string raw_error;
  FUZZ_CHECK(tw::CompileLogFormat(pattern, compiled, raw_error) == accepted);
  FUZZ_CHECK(format.Name() == tw::LogFormatName::kCustom);
  if (!accepted) {
    FUZZ_CHECK(!error.empty() && !raw_error.empty());
    FUZZ_CHECK(format.Label() == kEarlierString);
    return false;
  }
  FUZZ_CHECK(format.Label() == pattern);
  FUZZ_CHECK(compiled.Text == pattern);
  FUZZ_CHECK(compiled.LineTokens <= tw::kMaxCustomLineTokens);
  FUZZ_CHECK(compiled.SameAs == tw::LogFormatName::kCustom);
  return true;
}

// The named format whose tokens `compiled` has, or kCustom.
tw::LogFormatName SameAs(const tw::CustomLogFormat& compiled) {
  for (const tw::LogFormatName name : {tw::LogFormatName::kCombined, tw::LogFormatName::kVhostCombined}) {
    tw::CustomLogFormat named;
    std::string error;
    FUZZ_CHECK(tw::CompileLogFormat(
        name == tw::LogFormatName::kCombined
            ? R"(%h %l %u %t "%r" %>s %b "%{Referer}i" "%{User-Agent}i")"
            : R"(%v:%p %h %l %u %t "%r" %>s %O "%{Referer}i" "%{User-Agent}i")",
        named, error));
    if (named.Tokens == compiled.Tokens) return name;
  }
  return tw::LogFormatName::kCustom;
}

void CheckAccepted(Parser& parser, const tw::LogFormat& format, std::string_view line,
                   const tw::LogRecord& record) {
  FUZZ_CHECK(record.Url() != nullptr && record.UserAgent() != nullptr);
  CheckPooled(parser.urls, record.Url());
  CheckPooled(parser.referrers, record.Referrer());
  CheckPooled(parser.agents, record.UserAgent());
  CheckPooled(parser.phrases, record.SearchPhrase());
  CheckPooled(parser.domains, record.ReferrerDomain());
  if (record.IsIpv6) FUZZ_CHECK(record.ClientIp < parser.ipv6.Count());
  const char* host = parser.ctx.StoredVirtualHost();
  if (host != nullptr) CheckPooled(parser.hosts, host);
  FUZZ_CHECK(record.IsCrawler ==
             (tw::IsCrawlerAgent(&parser.crawlers, record.UserAgent()) ? 1u : 0u));

  // Again: the same record from the same pooled texts, nothing new pooled.
  const std::size_t pooled = parser.Pooled();
  tw::LogRecord again;
  FUZZ_CHECK(tw::ParseLogLineAs(parser.ctx, format, line, &again) == tw::RejectReason::kAccepted);
  FUZZ_CHECK(SameRecord(record, again));
  FUZZ_CHECK(parser.ctx.StoredVirtualHost() == host);
  FUZZ_CHECK(parser.Pooled() == pooled);
}

// Whether the line's first token holds a ':' (the port's), roughly as the
// tokens are split: past codes 1 to 32, up to the next one, a zero byte or,
// for a quoted token, its closing quote.
bool FirstTokenHasColon(std::string_view line) {
  auto blank = [](char c) { return c != 0 && static_cast<unsigned char>(c) <= 32; };
  std::size_t at = 0;
  while (at < line.size() && blank(line[at])) ++at;
  const bool quoted = at < line.size() && line[at] == '"';
  for (at += quoted ? 1 : 0; at < line.size() && line[at] != 0; ++at) {
    if (quoted ? line[at] == '"' : blank(line[at])) break;
    if (line[at] == ':') return true;
  }
  return false;
}

void CheckLine(Parser& parser, const tw::LogFormat& format, const tw::CustomLogFormat& compiled,
               tw::LogFormatName same_as, std::string_view line) {
  const std::size_t pooled = parser.Pooled();
  const tw::RejectReason checked = tw::CheckLogLineAs(parser.ctx, format, line);
  FUZZ_CHECK(parser.Pooled() == pooled);
  if (same_as != tw::LogFormatName::kCustom) {
    // Read by the named format's parser; its own tokens must agree, but for
    // the virtual host without a port that vhost_combined also takes.
    FUZZ_CHECK(tw::CheckLogLineAs(parser.ctx, tw::LogFormat::Named(same_as), line) == checked);
    const tw::RejectReason by_tokens = tw::ParseCustomLine(parser.ctx, compiled, line, nullptr);
    FUZZ_CHECK(by_tokens == checked || (same_as == tw::LogFormatName::kVhostCombined &&
                                        by_tokens == tw::RejectReason::kFieldCount &&
                                        !FirstTokenHasColon(line)));
  }
  tw::LogRecord record;
  const tw::RejectReason reason = tw::ParseLogLineAs(parser.ctx, format, line, &record);
  FUZZ_CHECK(reason == checked);
  FUZZ_CHECK(static_cast<std::size_t>(reason) < tw::kRejectReasonCount);
  FUZZ_CHECK(reason != tw::RejectReason::kDamagedData);
  if (reason != tw::RejectReason::kAccepted) {
    FUZZ_CHECK(parser.Pooled() == pooled);
    return;
  }
  CheckAccepted(parser, format, line, record);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The pools carry texts from one input to the next, as a loaded log's do;
  // they start afresh now and then so that a long run does not fill memory.
  static Parser* parser = nullptr;
  static std::size_t runs = 0;
  if (parser == nullptr || ++runs % 20000 == 0) {
    delete parser;
    parser = new Parser;
  }
  std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::size_t end = text.find('\n');
  const std::string_view pattern = text.substr(0, end);
  text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);

  tw::LogFormat format;
  tw::CustomLogFormat compiled;
  if (!Compile(pattern, format, compiled)) return 0;
  const tw::LogFormatName same_as = SameAs(compiled);
  while (!text.empty()) {
    const std::size_t line_end = text.find('\n');
    const std::size_t length = line_end == std::string_view::npos ? text.size() : line_end + 1;
    CheckLine(*parser, format, compiled, same_as, text.substr(0, length));
    text.remove_prefix(length);
  }
  return 0;
}
