#pragma once

// The log line parser: one line of an Apache combined-format access log into a
// LogRecord, its texts interned into the loaded log's pools. The other formats
// (parse/format.h) differ only in where the fields stand.
//
//   127.0.0.1 - frank [10/Oct/2000:13:55:36 -0700] "GET /apache_pb.gif HTTP/1.0" 200 2326
//       "http://www.example.com/start.html" "Mozilla/4.08 [en] (Win98; I ;Nav)"
//   ->  ClientIp 0x7F000001, LogTime 10/10/2000:13:55:36, Url "/apache_pb.gif", Status 200,
//       Bytes 2326, Referrer "http://www.example.com/start.html", UserAgent "Mozilla/4.08 ...",
//       ReferrerDomain "example.com", ReferrerKind RefExternal
//
// A line must give exactly ten tokens (parse/parser_tokens.h); a line is
// rejected, in this order (the RejectReason of each in brackets), when
//   - it is empty, or only a line end            [kEmptyLine];
//   - it does not give exactly ten tokens        [kFieldCount];
//   - the host is neither an IPv6 address nor read by ParseIp [kClientAddress]
//     (log/client_address.h);
//   - the time token fails ParseLogTime          [kTime];
//   - the request is not exactly three words     [kRequestLine];
//   - the status is not a whole number (ParseLogNumber) [kStatus];
//   - the size is neither "-" nor a whole number [kSize].
// Every text is pooled as UTF-8 (base/utf8.h): a user agent or virtual host
// judged as a whole, a path or referrer part by part (parse/parser_decode.h).
// The path's characters as written are lower-cased and then it is percent-
// decoded, so characters that arrive encoded keep their case (DecodePath). The
// referrer is decoded twice and then classified (parse/referrer.h). The user
// agent is kept as written; it marks a crawler when it equals one of the
// crawler lines, letter case ignored.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "log/record.h"
#include "parse/parser_decode.h"
#include "parse/parser_fields.h"
#include "parse/parser_tokens.h"
#include "parse/referrer.h"

namespace tw {

class StringPool;
class Ipv6AddressTable;
class CrawlerPatterns;

// The parser's own buffers (parse/parser_line.h); nothing else touches them.
struct ParseScratch {
  std::string Line;          // the line with escapes resolved, split in place
  std::string Url;           // the decoded path
  std::string ReferrerOnce;  // the referrer decoded once
  std::string Referrer;      // ... and twice
  std::string Phrase;        // the search phrase
  std::string OwnSite;       // the line's virtual host as its own site
  std::string Text;          // a field converted to UTF-8, until it is pooled
  bool LineIsAscii = false;  // no byte of the line is 0x80 or above
  const char* VirtualHost = nullptr;  // of the line stored last, pooled
};

// What the parser reads and writes besides the line. All of it belongs to the
// loaded log and the window; the context only points at it. The scratch
// buffers make parsing allocate nothing once they have grown to the longest line.
class ParseContext {
 public:
  StringPool* UrlPool = nullptr;
  StringPool* ReferrerPool = nullptr;
  StringPool* UserAgentPool = nullptr;
  StringPool* SearchPhrasePool = nullptr;
  StringPool* ReferrerDomainPool = nullptr;
  // The IPv6 client addresses; null counts IPv6 clients as host names (0.0.0.0).
  Ipv6AddressTable* Ipv6Addresses = nullptr;
  // The crawler lines as interned into UserAgentPool; null for none.
  const std::vector<const char*>* Crawlers = nullptr;
  // The crawler patterns; null for none.
  const CrawlerPatterns* Patterns = nullptr;
  // A user agent is judged a crawler's or not on its first use, and the verdict
  // is kept as the agent's mark in UserAgentPool: the two lists above must not
  // change while that pool is parsed into.
  // The site's own domain name, lower-case; empty matches nothing.
  std::string SiteName;
  // The search engines; null for none.
  const EngineList* Engines = nullptr;
  // Whether records get their referrer, its domain, kind, engine and phrase.
  // A load for a report that reads none of them leaves them out (null texts,
  // RefExternal, engine 0) and saves decoding, classifying and pooling them.
  bool StoreReferrers = true;
  // The lines' virtual hosts, without their ports; null keeps none.
  StringPool* VirtualHostPool = nullptr;

  // After a line was stored into a record: its virtual host as pooled in
  // VirtualHostPool, or null when it has none or none is kept.
  const char* StoredVirtualHost() const { return scratch_.VirtualHost; }

 private:
  friend class LineParser;
  ParseScratch scratch_;
};

// Parses one combined-format line (up to its first zero byte; it may end in "\n"
// or "\r\n") into *record and returns true, or returns false when the line is
// rejected; the contents of *record then mean nothing. A rejected line adds
// nothing to the pools. ParseLogLineAs (parse/format.h) also says why.
// REQUIRES: the five pools of `ctx` are set; `record` points at writable storage.
bool ParseLogLine(ParseContext& ctx, std::string_view line, LogRecord* record);

// Whether the pooled user agent is one of `crawlers` (a pointer comparison, as
// both come from UserAgentPool). `crawlers` may be null.
bool IsCrawlerAgent(const std::vector<const char*>* crawlers, const char* user_agent);

// Whether the pooled user agent is a crawler's: one of ctx.Crawlers, or one
// that contains one of ctx.Patterns. Does not look at the agent's mark.
bool JudgeCrawlerAgent(const ParseContext& ctx, const char* user_agent);

// The record's IsCrawler bit for an agent pooled in ctx.UserAgentPool: judged
// on the agent's first use and kept as its mark from then on.
std::uint32_t CrawlerBit(const ParseContext& ctx, const char* user_agent);

}  // namespace tw
