#include "Loadlog_parser.h"

#include <algorithm>
#include <cstring>

#include "Loadlog_client_address.h"
#include "Loadlog_string_pool.h"
#include "Text_cp1251.h"

namespace tw {
namespace {

// Token positions of a combined-format line.
enum : std::size_t {
  kHost = 0,
  kTime = 3,
  kRequest = 5,
  kStatus = 6,
  kSize = 7,
  kReferrer = 8,
  kUserAgent = 9,
  kTokenCount = 10,
};

// A view into one of the context's own buffers, made writable again.
char* Writable(std::string_view view) { return const_cast<char*>(view.data()); }

// LowerInPlace, passing over runs of eight characters that hold no capital:
// neither 'A' to 'Z' nor a byte from 0x80 up, the only ones the code page folds.
void LowerPath(char* p, std::size_t n) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
  for (; n >= 8; p += 8, n -= 8) {
    std::uint64_t x;
    std::memcpy(&x, p, 8);
    const std::uint64_t low = x & ~kHighs;
    const std::uint64_t from_a = (low + kOnes * (0x80 - 'A')) & kHighs;
    const std::uint64_t past_z = (low + kOnes * (0x80 - 'Z' - 1)) & kHighs;
    if (((x & kHighs) | (from_a & ~past_z)) != 0) LowerInPlace(p, 8);
  }
  LowerInPlace(p, n);
}

}  // namespace

bool IsCrawlerAgent(const std::vector<const char*>* crawlers, const char* user_agent) {
  if (crawlers == nullptr) return false;
  return std::find(crawlers->begin(), crawlers->end(), user_agent) != crawlers->end();
}

bool ParseLogLine(ParseContext& ctx, std::string_view line, LogRecord* record) {
  if (const void* nul = std::memchr(line.data(), 0, line.size())) {
    line = line.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - line.data()));
  }
  if (line.empty()) return false;

  // Escapes are resolved and the tokens split in the context's copy of the line.
  if (ctx.line_.size() < line.size()) ctx.line_.resize(line.size());
  char* text = ctx.line_.data();
  const std::size_t length = ResolveEscapes(line, text);
  std::string_view tokens[kTokenCount + 1];
  if (TokenizeInPlace(text, length, tokens, kTokenCount + 1) != kTokenCount) return false;

  ClientAddress client;
  if (!ReadClientAddress(tokens[kHost], &client)) return false;

  LogTime time = 0;
  if (ParseLogTime(tokens[kTime], &time) != 0) return false;

  // Folding letter case never makes or breaks a word, so only the path, the one
  // word kept, is lower-cased; that happens before decoding, so characters that
  // arrive encoded keep their case.
  const std::string_view request = tokens[kRequest];
  std::string_view words[4];
  if (TokenizeInPlace(Writable(request), request.size(), words, 4) != 3) return false;
  LowerPath(Writable(words[1]), words[1].size());

  std::int32_t status = 0;
  if (!ParseLogNumber(tokens[kStatus], &status)) return false;
  std::int32_t bytes = 0;
  if (tokens[kSize] != "-" && !ParseLogNumber(tokens[kSize], &bytes)) return false;

  // Accepted: from here on nothing rejects.
  StoreClientAddress(ctx.Ipv6Addresses, client, record);
  record->LogTime = time;
  record->Status = status;
  record->Bytes = bytes;
  record->Url = ctx.UrlPool->Intern(DecodeUrl(words[1], ctx.url_));

  const std::string_view once = DecodeUrl(tokens[kReferrer], ctx.referrer_once_);
  const std::string_view referrer = DecodeUrl(once, ctx.referrer_);
  record->Referrer = ctx.ReferrerPool->Intern(referrer);
  const ReferrerContext referrer_ctx{ctx.ReferrerDomainPool, ctx.SearchPhrasePool, ctx.SiteName,
                                     ctx.Engines};
  ClassifyReferrer(referrer_ctx, referrer, record, ctx.phrase_);

  record->UserAgent = ctx.UserAgentPool->Intern(tokens[kUserAgent]);
  record->IsCrawler = IsCrawlerAgent(ctx.Crawlers, record->UserAgent) ? 1 : 0;
  return true;
}

}  // namespace tw
