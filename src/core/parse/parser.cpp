#include "parse/parser.h"

#include <algorithm>
#include <cstring>

#include "base/letter_case.h"
#include "base/utf8.h"
#include "log/client_address.h"
#include "log/string_pool.h"
#include "parse/crawler_patterns.h"
#include "parse/format_name.h"
#include "parse/parser_line.h"

namespace tw {
namespace {

// Where the fields of a named format stand among its tokens; -1 for a field
// the format lacks. A line is split into at most `capacity` tokens and must
// give exactly `tokens` of them, or with `extras` at least that many.
struct Layout {
  std::size_t tokens;
  std::size_t capacity;
  int virtual_host, host, time, request, status, size, referrer, user_agent;
  bool extras = false;
};

// The fields that begin a line: an address, two more and the time's first part.
constexpr std::size_t kLineStartTokens = 4;

constexpr Layout kCombinedLayout{10, 11, -1, 0, 3, 5, 6, 7, 8, 9};
constexpr Layout kVhostCombinedLayout{11, 12, 0, 1, 4, 6, 7, 8, 9, 10};
constexpr Layout kCombinedExtraLayout{10, 10 + kLineStartTokens, -1, 0, 3, 5, 6, 7, 8, 9, true};
constexpr Layout kCommonLayout{8, 9, -1, 0, 3, 5, 6, 7, -1, -1};

// A view into one of the context's own buffers, made writable again.
char* Writable(std::string_view view) { return const_cast<char*>(view.data()); }

// LowerAsciiInPlace, passing over runs of eight characters that hold no 'A'
// to 'Z'. Letters beyond ASCII are lowered when the path is decoded, once its
// encoding is known (DecodePath).
void LowerPath(char* p, std::size_t n) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
  for (; n >= 8; p += 8, n -= 8) {
    std::uint64_t x;
    std::memcpy(&x, p, 8);
    const std::uint64_t low = x & ~kHighs;
    const std::uint64_t from_a = (low + kOnes * (0x80 - 'A')) & kHighs;
    const std::uint64_t past_z = (low + kOnes * (0x80 - 'Z' - 1)) & kHighs;
    if ((from_a & ~past_z & ~x) != 0) LowerAsciiInPlace(p, 8);
  }
  LowerAsciiInPlace(p, n);
}

[[gnu::always_inline]] inline RejectReason PrepareLine(ParseScratch& scratch, std::string_view line,
                                                       char** text, std::size_t* length) {
  // Escapes are resolved and the tokens split in the context's copy of the
  // line, made in the same pass that finds where a zero byte cuts the line.
  if (scratch.Line.size() < line.size()) scratch.Line.resize(line.size());
  std::size_t kept = 0;
  *text = scratch.Line.data();
  *length = CopyLineResolvingEscapes(line, *text, &kept, &scratch.LineIsAscii);
  line = line.substr(0, kept);
  std::size_t content = line.size();
  if (content > 0 && line[content - 1] == '\n') --content;
  if (content > 0 && line[content - 1] == '\r') --content;
  if (content == 0) return RejectReason::kEmptyLine;
  return RejectReason::kAccepted;
}

[[gnu::always_inline]] inline RejectReason CheckFields(const LineTokens& tokens,
                                                       CheckedLine* line) {
  if (!ReadClientAddress(tokens.Host, &line->Client)) return RejectReason::kClientAddress;
  if (ParseLogTime(tokens.Time, &line->Time) != 0) return RejectReason::kTime;

  // Folding letter case never makes or breaks a word, so only the path, the one
  // word kept, is lower-cased; that happens before decoding, so characters that
  // arrive encoded keep their case.
  TokenRoom<4> words;
  const std::string_view request = tokens.Request;
  if (TokenizeInPlace(Writable(request), request.size(), words.data(), 4) != 3) {
    return RejectReason::kRequestLine;
  }
  LowerPath(Writable(words[1]), words[1].size());
  line->Path = words[1];

  if (!ParseLogNumber(tokens.Status, &line->Status)) return RejectReason::kStatus;
  if (tokens.Size != "-" && !ParseLogNumber(tokens.Size, &line->Bytes)) return RejectReason::kSize;
  line->Referrer = tokens.Referrer;
  line->UserAgent = tokens.UserAgent;
  line->VirtualHost = tokens.VirtualHost;
  return RejectReason::kAccepted;
}

// A dotted IPv4 address of four numbers, or an IPv6 address: stricter than a
// line's host, which may be a name.
bool IsAddressText(std::string_view text) {
  if (IsIpv6Address(text)) return true;
  std::uint32_t ip = 0;
  return std::count(text.begin(), text.end(), '.') == 3 &&
         text.find_first_not_of("0123456789.") == std::string_view::npos && ParseIp(text, &ip) == 0;
}

// Whether the tokens begin a log line, "1.2.3.4 - - [10/Oct/2000:13:55:36": the
// extra fields of a line glued to the next where a line end was lost.
bool BeginsALine(const std::string_view* tokens) {
  LogTime time = 0;
  return IsAddressText(tokens[0]) && !tokens[3].empty() && tokens[3].front() == '[' &&
         ParseLogTime(tokens[3], &time) == 0;
}

// The marks of UserAgentPool's entries: the crawler verdict, once judged.
constexpr std::uint8_t kNotJudged = 0;
constexpr std::uint8_t kNotCrawler = 1;
constexpr std::uint8_t kCrawler = 2;

[[gnu::always_inline]] inline std::uint32_t CrawlerBitOf(const ParseContext& ctx, const char* agent) {
  std::uint8_t mark = StringPool::Mark(agent);
  if (mark == kNotJudged) [[unlikely]] {
    mark = JudgeCrawlerAgent(ctx, agent) ? kCrawler : kNotCrawler;
    StringPool::SetMark(agent, mark);
  }
  return mark == kCrawler ? 1 : 0;
}

// The referrer twice decoded, pooled and classified: its domain, kind, engine
// and search phrase.
[[gnu::always_inline]] inline void StoreReferrer(const ParseContext& ctx, ParseScratch& scratch,
                                                 const CheckedLine& line, LogRecord* record) {
  // Both levels are decoded before the encoding is judged.
  bool high = false;
  const std::string_view once = PercentDecode(line.Referrer, scratch.ReferrerOnce, &high);
  const std::string_view referrer = scratch.LineIsAscii && !high
                                        ? DecodeAsciiUrl(once, scratch.Referrer)
                                        : DecodeUrl(once, scratch.Referrer);
  record->SetReferrer(ctx.ReferrerPool->Intern(referrer));
  // A line that names its virtual host is its own site's line, whatever the log is called.
  const std::string_view own_site = line.VirtualHost.data() != nullptr
                                        ? OwnSiteOfVirtualHost(line.VirtualHost, scratch.OwnSite)
                                        : std::string_view(ctx.SiteName);
  const ReferrerContext referrer_ctx{ctx.ReferrerDomainPool, ctx.SearchPhrasePool, own_site,
                                     ctx.Engines, true};
  ClassifyReferrer(referrer_ctx, referrer, record, scratch.Phrase);
}

// Pooled as written: the referrer's own-site test lower-cases the line's copy after this.
[[gnu::always_inline]] inline const char* PooledVirtualHost(const ParseContext& ctx,
                                                            ParseScratch& scratch,
                                                            const CheckedLine& line) {
  if (ctx.VirtualHostPool == nullptr || line.VirtualHost.data() == nullptr) return nullptr;
  const std::string_view host = VirtualHostWithoutPort(line.VirtualHost);
  if (host.empty()) return nullptr;
  return ctx.VirtualHostPool->Intern(scratch.LineIsAscii ? host : AsUtf8(host, scratch.Text));
}

[[gnu::always_inline]] inline void StoreRecord(const ParseContext& ctx, ParseScratch& scratch,
                                               const CheckedLine& line, LogRecord* record) {
  StoreClientAddress(ctx.Ipv6Addresses, line.Client, record);
  record->LogTime = line.Time;
  record->Status = line.Status;
  record->Bytes = line.Bytes;
  // A line of ASCII, the usual one, holds no text to be judged but what its escapes give.
  record->SetUrl(ctx.UrlPool->Intern(scratch.LineIsAscii
                                         ? DecodeAsciiUrl(line.Path, scratch.Url)
                                         : DecodePath(line.Path, scratch.Url, scratch.Text)));
  scratch.VirtualHost = PooledVirtualHost(ctx, scratch, line);
  if (ctx.StoreReferrers) StoreReferrer(ctx, scratch, line, record);
  record->SetUserAgent(scratch.LineIsAscii ? ctx.UserAgentPool->Intern(line.UserAgent)
                                            : ctx.UserAgentPool->InternUtf8(line.UserAgent, scratch.Text));
  record->IsCrawler = CrawlerBitOf(ctx, record->UserAgent());
}

template <const Layout& L>
RejectReason ParseWithLayout(ParseContext& ctx, std::string_view line, LogRecord* record) {
  ParseScratch& scratch = LineParser::Scratch(ctx);
  char* text = nullptr;
  std::size_t length = 0;
  const RejectReason prepared = PrepareLine(scratch, line, &text, &length);
  if (prepared != RejectReason::kAccepted) return prepared;
  TokenRoom<L.capacity> found;
  const std::size_t count = TokenizeInPlace(text, length, found.data(), L.capacity);
  if (L.extras ? count < L.tokens : count != L.tokens) return RejectReason::kFieldCount;

  LineTokens tokens;
  tokens.Host = found[L.host];
  tokens.Time = found[L.time];
  tokens.Request = found[L.request];
  tokens.Status = found[L.status];
  tokens.Size = found[L.size];
  if constexpr (L.referrer >= 0) tokens.Referrer = found[L.referrer];
  if constexpr (L.user_agent >= 0) tokens.UserAgent = found[L.user_agent];
  if constexpr (L.virtual_host >= 0) tokens.VirtualHost = found[L.virtual_host];

  CheckedLine checked;
  RejectReason reason = CheckFields(tokens, &checked);
  if constexpr (L.extras) {
    if (reason == RejectReason::kAccepted && count == L.tokens + kLineStartTokens &&
        BeginsALine(found.data() + L.tokens)) {
      reason = RejectReason::kGluedLines;
    }
  }
  if (reason == RejectReason::kAccepted && record != nullptr) {
    StoreRecord(ctx, scratch, checked, record);
  }
  return reason;
}

}  // namespace

RejectReason LineParser::Prepare(ParseContext& ctx, std::string_view line, char** text,
                                 std::size_t* length) {
  return PrepareLine(ctx.scratch_, line, text, length);
}

RejectReason LineParser::Check(const LineTokens& tokens, CheckedLine* line) {
  return CheckFields(tokens, line);
}

void LineParser::Store(ParseContext& ctx, const CheckedLine& line, LogRecord* record) {
  StoreRecord(ctx, ctx.scratch_, line, record);
}

std::string_view VirtualHostWithoutPort(std::string_view virtual_host) {
  const std::size_t colon = virtual_host.rfind(':');
  if (colon != std::string_view::npos &&
      virtual_host.find_first_not_of("0123456789", colon + 1) == std::string_view::npos) {
    virtual_host = virtual_host.substr(0, colon);
  }
  return virtual_host;
}

std::string_view OwnSiteOfVirtualHost(std::string_view virtual_host, std::string& scratch) {
  std::string converted;
  const std::string_view host = AsUtf8(VirtualHostWithoutPort(virtual_host), converted);
  scratch.clear();
  AppendLower(scratch, host);
  return scratch;
}

RejectReason ParseNamedLine(ParseContext& ctx, LogFormatName name, std::string_view line,
                            LogRecord* record) {
  switch (name) {
    case LogFormatName::kVhostCombined:
      return ParseWithLayout<kVhostCombinedLayout>(ctx, line, record);
    case LogFormatName::kCombinedExtra:
      return ParseWithLayout<kCombinedExtraLayout>(ctx, line, record);
    case LogFormatName::kCommon:
      return ParseWithLayout<kCommonLayout>(ctx, line, record);
    case LogFormatName::kCombined:
    case LogFormatName::kCustom:
      break;
  }
  return ParseWithLayout<kCombinedLayout>(ctx, line, record);
}

bool IsCrawlerAgent(const std::vector<const char*>* crawlers, const char* user_agent) {
  if (crawlers == nullptr) return false;
  return std::find(crawlers->begin(), crawlers->end(), user_agent) != crawlers->end();
}

bool JudgeCrawlerAgent(const ParseContext& ctx, const char* user_agent) {
  if (IsCrawlerAgent(ctx.Crawlers, user_agent)) return true;
  return ctx.Patterns != nullptr && ctx.Patterns->Matches(user_agent);
}

std::uint32_t CrawlerBit(const ParseContext& ctx, const char* user_agent) {
  return CrawlerBitOf(ctx, user_agent);
}

bool ParseLogLine(ParseContext& ctx, std::string_view line, LogRecord* record) {
  return ParseWithLayout<kCombinedLayout>(ctx, line, record) == RejectReason::kAccepted;
}

}  // namespace tw
