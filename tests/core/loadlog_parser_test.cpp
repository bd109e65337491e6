#include "parse/parser.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "log/client_address.h"
#include "log/string_pool.h"
#include "show_bytes.h"

namespace tw {
namespace {

using namespace std::string_literals;  // "...\0..."s keeps the zero byte

using testing::Show;

std::vector<std::string> Tokens(std::string text, std::size_t capacity = 20) {
  std::vector<std::string_view> views(capacity);
  const std::size_t n = TokenizeInPlace(text.data(), text.size(), views.data(), capacity);
  return std::vector<std::string>(views.begin(), views.begin() + static_cast<long>(n));
}

TEST(LogTokens, SplitsAtBlanksAndQuotes) {
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"", {}},
      {" \t\r\n", {}},
      {"a b", {"a", "b"}},
      {"  a   b  ", {"a", "b"}},
      {"a\tb\x01"
       "c\x1F"
       "d",
       {"a", "b", "c", "d"}},
      {"\xC0\xFF\x80 b", {"\xC0\xFF\x80", "b"}},  // high bytes belong to the token
      {"\"a b\" c", {"a b", "c"}},
      {"\"a \"\"b\"\" c\"", {"a \"b\" c"}},
      {"\"\" x", {"", "x"}},
      {"\"a\"b", {"a", "b"}},         // a closing quote ends the token
      {"a\"b\" c", {"a\"b\"", "c"}},  // a quote inside an unquoted token is plain
      {"x \"abc\n", {"x", "abc"}},    // unclosed: the last character goes
      {"x \"abc\r\n", {"x", "abc\r"}},
      {"x \"", {"x", ""}},
  };
  for (const auto& [text, tokens] : cases) {
    EXPECT_EQ(Tokens(text), tokens) << "text " << Show(text);
  }
}

TEST(LogTokens, StopsAtCapacity) {
  EXPECT_EQ(Tokens("a b c d e", 3), (std::vector<std::string>{"a", "b", "c"}));
}

std::string Unescape(const std::string& line) {
  std::string out(line.size(), '\0');
  out.resize(ResolveEscapes(line, out.data()));
  return out;
}

TEST(LogTokens, ResolvesEscapesLeftToRight) {
  const std::pair<std::string, std::string> cases[] = {
      {R"(a\"b)", "a'b"},    {R"(\\)", R"(\\)"}, {R"(\\")", R"(\\")"},  // an escaped backslash does
                                                                        // not pair with the quote
      {R"(\\\")", R"(\\')"}, {R"(\x)", R"(\x)"}, {R"(end\)", R"(end\)"}, {"", ""},
  };
  for (const auto& [line, escaped] : cases) {
    EXPECT_EQ(Unescape(line), escaped) << "line " << line;
  }
  // A user agent ending in a backslash keeps its closing quote.
  EXPECT_EQ(Tokens(Unescape(R"("Foo\\" "next")")), (std::vector<std::string>{R"(Foo\\)", "next"}));
  EXPECT_EQ(Tokens(Unescape(R"("say \"hi\"" x)")), (std::vector<std::string>{"say 'hi'", "x"}));
}

// The one-pass copy gives what cutting at the first zero byte and then
// resolving escapes gives, wherever the zero bytes, backslashes and high
// bytes fall against the copy's 16-byte steps.
TEST(LogTokens, OnePassCopyCutsAtZeroAndResolvesEscapesAsTwoPassesDo) {
  const char alphabet[] = {'a', 'a', 'a', ' ', '"', '\\', '\0', '\n', '\xD0'};
  std::uint64_t state = 12345;
  auto next = [&state] {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<std::size_t>(state >> 33);
  };
  for (int round = 0; round < 4000; ++round) {
    std::string line(next() % 70, 'a');
    // Mostly plain lines, with a few special bytes placed anywhere.
    for (std::size_t k = next() % 4; k > 0 && !line.empty(); --k) {
      line[next() % line.size()] = alphabet[next() % sizeof alphabet];
    }
    const std::string before_zero = line.substr(0, line.find('\0'));
    std::string out(line.size(), '#');
    std::size_t kept = 0;
    bool ascii = false;
    out.resize(CopyLineResolvingEscapes(line, out.data(), &kept, &ascii));
    ASSERT_EQ(kept, before_zero.size()) << Show(line);
    ASSERT_EQ(out, Unescape(before_zero)) << Show(line);
    // A high byte kept is always told; one past a zero byte may be as well.
    const bool high_kept = before_zero.find('\xD0') != std::string::npos;
    const bool high_anywhere = line.find('\xD0') != std::string::npos;
    if (high_kept) {
      ASSERT_FALSE(ascii) << Show(line);
    }
    if (!high_anywhere) {
      ASSERT_TRUE(ascii) << Show(line);
    }
  }
}

TEST(ParseIp, ReadsLikeDottedDecimalScan) {
  const std::pair<const char*, std::uint32_t> good[] = {
      {"127.0.0.1", 0x7F000001},
      {"255.255.255.255", 0xFFFFFFFF},
      {"0.0.0.0", 0},
      {"10.1", 0x0A010000},  // numbers not read count as 0
      {"example.com", 0},    // a host name reads as 0.0.0.0
      {"", 0},
      {"1.2.3.4.5", 0x01020304},  // the rest after four numbers is ignored
      {"1.2.3.4abc", 0x01020304},
      {"+1.+2.3.4", 0x01020304},
      {" 1. 2.3.4", 0x01020304},  // blanks before a number are skipped
      {"1 .2.3.4", 0x01000000},   // but not before a dot
      {"1..2.3", 0x01000000},
      {"1.x.3.4", 0x01000000},
      {"-0.1.2.3", 0x00010203},
  };
  for (const auto& [text, ip] : good) {
    std::uint32_t got = 12345;
    EXPECT_EQ(ParseIp(text, &got), 0) << "text " << text;
    EXPECT_EQ(got, ip) << "text " << text;
  }
  const char* bad[] = {"256.1.1.1", "-1.2.3.4",          "1.2.3.256",
                       "1.2.3.-4",  "99999999999.1.1.1", "4294967297.0.0.0"};
  for (const char* text : bad) {
    std::uint32_t got = 12345;
    EXPECT_EQ(ParseIp(text, &got), -1) << "text " << text;
    EXPECT_EQ(got, 12345u) << "text " << text;
  }
  std::uint32_t got = 7;
  EXPECT_EQ(ParseIp(static_cast<const char*>(nullptr), &got), -1);
  EXPECT_EQ(got, 7u);
}

TEST(ParseIp, TellsIpv6AddressesApart) {
  const char* valid[] = {"::",
                         "::1",
                         "2a02:6b8::1",
                         "2001:db8:0:0:0:0:2:1",
                         "fe80::1:2",
                         "::ffff:192.0.2.1",
                         "1:2:3:4:5:6:1.2.3.4",
                         "1:2:3:4:5:6:7::",
                         "ABCD::"};
  for (const char* text : valid) EXPECT_TRUE(IsIpv6Address(text)) << "text " << text;
  const char* invalid[] = {"",
                           "1.2.3.4",
                           ":1",
                           "1:",
                           "1::2::3",
                           "12345::",
                           "g::1",
                           "1:2:3:4:5:6:7:8:9",
                           "1:2:3:4:5:6:7",
                           "1:2:3:4:5:6:7:8::",
                           "::ffff:256.1.1.1",
                           "::1.2.3",
                           "1:2:3:4:5:6:7:1.2.3.4",
                           "a:b",
                           "::01.2.3.4"};
  for (const char* text : invalid) EXPECT_FALSE(IsIpv6Address(text)) << "text " << text;
}

TEST(ParseLogTime, ReadsTheBracketedTime) {
  struct Case {
    const char* text;
    LogTimeFields f;
  };
  const Case good[] = {
      {"[10/Oct/2000:13:55:36", {10, 10, 2000, 13, 55, 36}},
      {"[01/Jan/1970:00:00:00", {1, 1, 1970, 0, 0, 0}},
      {"[31/Dec/2032:23:59:59", {31, 12, 2032, 23, 59, 59}},
      {"[00/Feb/2008:00:00:00", {0, 2, 2008, 0, 0, 0}},   // day 0 passes
      {"[31/Apr/2008:00:00:00", {31, 4, 2008, 0, 0, 0}},  // so does a day past the month
      {"[1/Mar/2008:1:2:3", {1, 3, 2008, 1, 2, 3}},
      {"[ 1/Mar/2008: 01:02:03", {1, 3, 2008, 1, 2, 3}},  // blanks do not count
      {"[+1/Mar/2008:+1:02:03", {1, 3, 2008, 1, 2, 3}},
      {"[10/Oct/2000:13:55:36 -0700]", {10, 10, 2000, 13, 55, 36}},
      {"[10/Oct/2000:13:55:36xyz", {10, 10, 2000, 13, 55, 36}},
  };
  for (const auto& c : good) {
    LogTime t = 0;
    ASSERT_EQ(ParseLogTime(c.text, &t), 0) << "text " << c.text;
    EXPECT_EQ(t, PackLogTime(c.f)) << "text " << c.text << " gave " << FormatLogTime(t);
  }
}

TEST(ParseLogTime, RejectsWhatDoesNotMatch) {
  const char* bad[] = {
      "",
      "10/Oct/2000:13:55:36",   // no bracket
      "[10/oct/2000:13:55:36",  // month letter case counts
      "[10/Okt/2000:13:55:36",
      "[10/Octo/2000:13:55:36",
      "[10/Oct/2000:24:00:00",
      "[10/Oct/1969:13:55:36",
      "[10/Oct/2033:13:55:36",
      "[32/Oct/2000:13:55:36",
      "[-1/Oct/2000:13:55:36",
      "[10/Oct/2000:13:60:36",
      "[10/Oct/2000:13:55:60",
      "[10/Oct/2000:13:55",  // no seconds
      "[10/Oct/2000:13:55:",
      "[100/Oct/2000:13:55:36",  // the day is at most 2 characters
      "[+10/Oct/2000:13:55:36",  // and a sign counts among them
      "[10/Oct/20000:13:55:36",
      "[10/Oct/2000:13:5x:36",
      "[10/Oc",
  };
  for (const char* text : bad) {
    LogTime t = 99;
    EXPECT_EQ(ParseLogTime(text, &t), -1) << "text " << text;
    EXPECT_EQ(t, 99u) << "text " << text;
  }
}

TEST(LogNumber, ReadsWholeDecimalNumbers) {
  const std::pair<const char*, std::int32_t> good[] = {
      {"200", 200},
      {"", 0},
      {" 5", 5},
      {"+7", 7},
      {"-3", -3},
      {"007", 7},
      {"2147483647", INT32_MAX},
      {"99999999999", INT32_MAX},
      {"-99999999999", INT32_MIN},
      {"-2147483648", INT32_MIN},
  };
  for (const auto& [text, value] : good) {
    std::int32_t got = 1;
    EXPECT_TRUE(ParseLogNumber(text, &got)) << "text " << text;
    EXPECT_EQ(got, value) << "text " << text;
  }
  const char* bad[] = {"12a", "-", "+", " ", "5 ", "0x10", "1.5", "--1"};
  for (const char* text : bad) {
    std::int32_t got = 1;
    EXPECT_FALSE(ParseLogNumber(text, &got)) << "text " << text;
  }
}

TEST(DecodeUrl, DecodesEachPartAsUtf8OrTheCodePage) {
  const std::pair<std::string, std::string> cases[] = {
      {"/plain/path", "/plain/path"},
      {"/caf%C3%A9.html", "/café.html"},
      {"/%CE%A3%CE%B1%CF%82", "/Σας"},
      {"/%E4%B8%AD%E6%96%87.html", "/中文.html"},
      {"/%D8%B9%D8%B1%D8%A8%D9%8A", "/عربي"},
      {"/%F0%9F%98%80", "/😀"},
      {"/%D0%9F%D1%80%D0%B8", "/При"},   // Cyrillic in UTF-8
      {"/%CF%F0%E8", "/При"},            // ... and in Windows-1251
      {"/%d0%9f", "/П"},                 // small hex digits too
      {"%D0%9Fx%D1%80", "Пxр"},          // one field, UTF-8 around a letter
      {"%D0%9F%CF", "РџП"},              // one bad byte: all of its part the code page
      {"/%D0%9F/%CF", "/П/П"},           // each part between delimiters on its own
      {"?q=%D0%BC%D0%B8+x&b=%CD%E0%E9!", "?q=ми+x&b=Най!"},
      {"a=%CF;b=%D0%9F#%CF", "a=П;b=П#П"},
      {"q=%D0%BC%2F%CF", "q=Рј/П"},       // an encoded '/' parts nothing
      {"%D0x%9F", "Рxџ"},
      {"/Пр%D0%B8", "/При"},             // raw bytes count with the decoded ones
      {"/\xCF\xF0%E8"s, "/При"},
      {"%C0%AF", "АЇ"},                  // overlong '/': not UTF-8
      {"%ED%A0%80", "н\xC2\xA0Ђ"},      // a surrogate: not UTF-8
      {"%E2%82%AC %88", "в‚¬ €"},
      {"%41%42c", "ABc"},
      {"%zz", "%zz"},
      {"a%", "a%"},
      {"a%4", "a%4"},
      {"%%41", "%A"},
      {"a+b", "a+b"},
      {"%2541", "%41"},  // one level per call
      {"a%00b", "a"},    // the result ends at a zero byte
      {"%41%00%42", "A"},
      {"%CF%00%42", "П"},
      {"ab\0%41"s, "ab"},
      {"%01%1F", "\x01\x1F"},  // control characters stay
  };
  for (const auto& [text, decoded] : cases) {
    EXPECT_EQ(Show(DecodeUrl(text)), Show(decoded)) << "text " << Show(text);
  }
}

TEST(DecodePath, LowersWhatIsWrittenAndKeepsWhatIsEncoded) {
  const std::pair<std::string, std::string> cases[] = {
      // The parser has lowered the ASCII letters before.
      {"/index.html", "/index.html"},
      {"/café/%C3%89t%C3%A9", "/café/Été"},
      {"/CAFÉ/ΣΑΣ/ПРИВЕТ", "/café/σασ/привет"},  // lowered, not folded: no final sigma
      {"/caf\xC3\x89", "/café"},
      {"/\xCF\xD0\xC8%CF", "/приП"},             // Windows-1251 raw and encoded
      {"/\xD0%9F", "/П"},                          // one character, half raw and half encoded
      {"/\xC3\x89%E9", "/г‰й"},                    // UTF-8 raw, the code page encoded: the code page
      {"/\xCF\xF0/\xD0\x9F\xD0\xA0?Q=%CF", "/пр/пр?Q=П"},       // each part in its own encoding
      {"/Ё%00Ж", "/ё"},
  };
  std::string scratch, spare;
  for (const auto& [text, decoded] : cases) {
    EXPECT_EQ(Show(DecodePath(text, scratch, spare)), Show(decoded)) << "text " << Show(text);
  }
}

// A parser over fresh pools, with two crawlers and two engines.
class ParseLogLineTest : public ::testing::Test {
 protected:
  ParseLogLineTest() {
    ctx_.UrlPool = &urls_;
    ctx_.ReferrerPool = &referrers_;
    ctx_.UserAgentPool = &agents_;
    ctx_.SearchPhrasePool = &phrases_;
    ctx_.ReferrerDomainPool = &domains_;
    ctx_.Ipv6Addresses = &ipv6_;
    crawlers_ = {agents_.Intern("Googlebot/2.1 (+http://www.google.com/bot.html)"),
                 agents_.Intern("YandexBot/3.0")};
    ctx_.Crawlers = &crawlers_;
    ctx_.SiteName = "mysite.ru";
    engines_.EngineNames = {"google", "yandex"};
    engines_.EngineParams = {"q=", "text="};
    ctx_.Engines = &engines_;
  }

  bool Parse(std::string_view line) {
    record_ = LogRecord{};
    return ParseLogLine(ctx_, line, &record_);
  }

  std::size_t PooledTexts() const {
    return urls_.Count() + referrers_.Count() + agents_.Count() + phrases_.Count() +
           domains_.Count();
  }

  StringPool urls_, referrers_, agents_, phrases_, domains_;
  Ipv6AddressTable ipv6_;
  std::vector<const char*> crawlers_;
  EngineList engines_;
  ParseContext ctx_;
  LogRecord record_;
};

const char kSample[] =
    "127.0.0.1 - frank [10/Oct/2000:13:55:36 -0700] \"GET /apache_pb.gif HTTP/1.0\" 200 2326 "
    "\"http://www.example.com/start.html\" \"Mozilla/4.08 [en] (Win98; I ;Nav)\"\n";

// The sample line with one token replaced.
std::string Sample(int token, const std::string& value) {
  std::string fields[10] = {"127.0.0.1",
                            "-",
                            "frank",
                            "[10/Oct/2000:13:55:36",
                            "-0700]",
                            "\"GET /apache_pb.gif HTTP/1.0\"",
                            "200",
                            "2326",
                            "\"http://www.example.com/start.html\"",
                            "\"Mozilla/4.08 [en] (Win98; I ;Nav)\""};
  fields[token - 1] = value;
  std::string line;
  for (const auto& f : fields) line += (line.empty() ? "" : " ") + f;
  return line + "\n";
}

TEST_F(ParseLogLineTest, AcceptsACombinedFormatLine) {
  ASSERT_TRUE(Parse(kSample));
  EXPECT_EQ(record_.ClientIp, 127u * 16777216u + 1u);
  EXPECT_EQ(FormatLogTime(record_.LogTime), "10/10/2000:13:55:36");
  EXPECT_EQ(LogYear(record_.LogTime) - 1970, 30);
  EXPECT_STREQ(record_.Url(), "/apache_pb.gif");
  EXPECT_EQ(record_.Status, 200);
  EXPECT_EQ(record_.Bytes, 2326);
  EXPECT_STREQ(record_.Referrer(), "http://www.example.com/start.html");
  EXPECT_STREQ(record_.UserAgent(), "Mozilla/4.08 [en] (Win98; I ;Nav)");
  EXPECT_STREQ(record_.ReferrerDomain(), "example.com");
  EXPECT_EQ(record_.ReferrerKind, RefExternal);
  EXPECT_EQ(record_.EngineIndex, 0);
  EXPECT_EQ(record_.SearchPhrase(), nullptr);
  EXPECT_EQ(record_.IsCrawler, 0u);
}

TEST_F(ParseLogLineTest, ReadsEachFieldAsDescribed) {
  struct Case {
    std::string line;
    const char* what;  // the field checked
    std::string expected;
  };
  auto field = [this](const char* what) -> std::string {
    const std::string w = what;
    if (w == "ip") return FormatClientAddress(&ipv6_, record_);
    if (w == "time") return FormatLogTime(record_.LogTime);
    if (w == "url") return record_.Url();
    if (w == "status") return std::to_string(record_.Status);
    if (w == "bytes") return std::to_string(record_.Bytes);
    if (w == "referrer") return record_.Referrer();
    if (w == "agent") return record_.UserAgent();
    return "?";
  };
  const Case cases[] = {
      {Sample(1, "www.example.com"), "ip", "0.0.0.0"},
      {Sample(1, "2a02:6b8::1"), "ip", "2a02:6b8::1"},  // an IPv6 host is no 2.0.0.0
      {Sample(1, "::ffff:10.0.0.1"), "ip", "10.0.0.1"},
      {Sample(1, "10.1"), "ip", "10.1.0.0"},
      {Sample(5, "+0300]"), "time", "10/10/2000:13:55:36"},  // the zone is not applied
      {Sample(8, "-"), "bytes", "0"},
      {Sample(8, "\"\""), "bytes", "0"},
      {Sample(7, "\"404\""), "status", "404"},
      {Sample(6, "\"GET /Index.HTML HTTP/1.0\""), "url", "/index.html"},
      {Sample(6, "\"GET /%D0%9F%D1%80%D0%B8 HTTP/1.0\""), "url", "/При"},  // stays upper
      {Sample(6, "\"GET /\xCF\xD0\xC8\xC2 HTTP/1.0\""), "url", "/прив"},  // Windows-1251
      {Sample(6, "\"GET /ПРИВ HTTP/1.0\""), "url", "/прив"},                // UTF-8
      {Sample(6, "\"GET /%CF%F0 HTTP/1.0\""), "url", "/Пр"},
      {Sample(6, "\"GET /caf%C3%A9 HTTP/1.0\""), "url", "/café"},
      {Sample(9, "\"http://x.com/%25D0%259F\""), "referrer", "http://x.com/П"},  // twice, then UTF-8
      {Sample(9, "\"http://x.com/%25CF%F0\""), "referrer", "http://x.com/Пр"},    // one field
      {Sample(10, "\"Mozilla \xCF\xF0\xE8\""), "agent", "Mozilla При"},
      {Sample(10, "\"Mozilla При\""), "agent", "Mozilla При"},
      {Sample(6, "\"GET /a+b%zz% HTTP/1.0\""), "url", "/a+b%zz%"},
      {Sample(6, "\"GET /x?a=%2541 HTTP/1.0\""), "url", "/x?a=%41"},              // decoded once
      {Sample(9, "\"http://x.com/?a=%2541\""), "referrer", "http://x.com/?a=A"},  // twice
      {Sample(9, "\"-\""), "referrer", "-"},
      {Sample(10, R"("Mozilla \"compatible\"")"), "agent", "Mozilla 'compatible'"},
      {Sample(10, R"("Foo\\")"), "agent", R"(Foo\\)"},
      {Sample(10, "\"Say \"\"hi\"\"\""), "agent", "Say \"hi\""},
      {Sample(10, "\"Unclosed agent"), "agent", "Unclosed agent"},  // only the line feed goes
      {Sample(10, "\"Unclosed agent\r"), "agent", "Unclosed agent\r"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(Parse(c.line)) << "line " << Show(c.line);
    EXPECT_EQ(field(c.what), c.expected) << c.what << " of line " << Show(c.line);
  }
}

TEST_F(ParseLogLineTest, Ipv6ClientsAreAddressesOfTheirOwnInTheirShortestText) {
  struct Case {
    const char* host;
    const char* shown;  // FormatClientAddress; "0.0.0.0" for a host name
    bool ipv6;
  };
  const Case cases[] = {
      {"2001:db8::1", "2001:db8::1", true},
      {"2001:DB8:0:0:0:0:0:1", "2001:db8::1", true},  // upper case and zero groups
      {"2001:0db8:0000:0000:0000:ff00:0042:8329", "2001:db8::ff00:42:8329", true},
      {"2001:db8:0:0:1:0:0:1", "2001:db8::1:0:0:1", true},  // the first of equal runs
      {"2001:db8:0:1:1:1:1:1", "2001:db8:0:1:1:1:1:1", true},  // one zero group stays
      {"::1", "::1", true},
      {"::", "::", true},
      {"::192.0.2.1", "::192.0.2.1", true},  // compatible, not mapped
      {"::ffff:192.0.2.1", "192.0.2.1", false},  // mapped: the IPv4 address
      {"::FFFF:10.0.0.1", "10.0.0.1", false},
      {"fe80::1%eth0", "0.0.0.0", false},  // a zone makes it a host name
      {"g::1", "0.0.0.0", false},
      {"::01.2.3.4", "0.0.0.0", false},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(Parse(Sample(1, c.host))) << c.host;
    EXPECT_EQ(FormatClientAddress(&ipv6_, record_), c.shown) << c.host;
    EXPECT_EQ(record_.IsIpv6 != 0, c.ipv6) << c.host;
  }
  EXPECT_FALSE(Parse(Sample(1, "12345::"))) << "neither IPv6 nor an IPv4 address";
}

TEST_F(ParseLogLineTest, EachIpv6AddressIsStoredOnceAndARejectedLineStoresNone) {
  ASSERT_TRUE(Parse(Sample(1, "2001:db8::1")));
  const LogRecord first = record_;
  ASSERT_TRUE(Parse(Sample(1, "2001:DB8:0::1")));
  EXPECT_TRUE(SameClient(first, record_)) << "one address in two spellings";
  ASSERT_TRUE(Parse(Sample(1, "2001:db8::2")));
  EXPECT_FALSE(SameClient(first, record_));
  ASSERT_TRUE(Parse(Sample(1, "0.0.0.1")));
  EXPECT_FALSE(SameClient(first, record_)) << "IPv4 address 1 is not IPv6 address number 1";
  EXPECT_EQ(ipv6_.Count(), 2u);
  std::string bad_time = Sample(4, "[xx/Oct/2000:13:55:36");
  bad_time.replace(0, 9, "2001:db8::3");  // the host 127.0.0.1
  EXPECT_FALSE(Parse(bad_time));
  EXPECT_EQ(ipv6_.Count(), 2u);

  ctx_.Ipv6Addresses = nullptr;  // without a table IPv6 clients count as host names
  ASSERT_TRUE(Parse(Sample(1, "2001:db8::9")));
  EXPECT_EQ(FormatClientAddress(nullptr, record_), "0.0.0.0");
}

TEST_F(ParseLogLineTest, TakesTheLineUpToItsZeroByteAndAnyLineEnd) {
  std::string line = kSample;
  line.pop_back();
  for (const std::string& variant : {line, line + "\r\n", line + "\n\0garbage"s}) {
    ASSERT_TRUE(Parse(variant)) << "line " << Show(variant);
    EXPECT_STREQ(record_.UserAgent(), "Mozilla/4.08 [en] (Win98; I ;Nav)") << Show(variant);
  }
}

TEST_F(ParseLogLineTest, RejectsLinesInTheOrderOfTheirFaults) {
  const std::string common =
      "127.0.0.1 - frank [10/Oct/2000:13:55:36 -0700] \"GET /apache_pb.gif HTTP/1.0\" 200 2326\n";
  const std::pair<std::string, const char*> cases[] = {
      {"", "empty line"},
      {"\0 127.0.0.1"s, "empty before its zero byte"},
      {"\r\n", "no tokens"},
      {common, "common log format"},
      {Sample(10, "\"agent\" extra"), "an eleventh token"},
      {Sample(3, "frank smith"), "a blank in the user field"},
      {Sample(1, "256.1.1.1"), "octet above 255"},
      {Sample(1, "-1.2.3.4"), "negative octet"},
      {Sample(4, "[10/oct/2000:13:55:36"), "month in other letter case"},
      {Sample(4, "[10/Oct/2000:24:55:36"), "hour 24"},
      {Sample(4, "[10/Oct/1969:13:55:36"), "year 1969"},
      {Sample(4, "[10/Oct/2033:13:55:36"), "year 2033"},
      {Sample(6, "\"GET /apache_pb.gif\""), "two-word request"},
      {Sample(6, "\"-\""), "request -"},
      {Sample(6, "\"GET /a b HTTP/1.0\""), "four-word request"},
      {Sample(7, "-"), "status -"},
      {Sample(7, "2OO"), "status with letters"},
      {Sample(8, "12a"), "size 12a"},
  };
  for (const auto& [line, why] : cases) {
    EXPECT_FALSE(Parse(line)) << why << ": " << Show(line);
  }
  EXPECT_EQ(PooledTexts(), crawlers_.size()) << "rejected lines add nothing to the pools";
}

TEST_F(ParseLogLineTest, MarksCrawlersIgnoringLetterCase) {
  const std::pair<const char*, unsigned> cases[] = {
      {"\"YandexBot/3.0\"", 1},
      {"\"yandexbot/3.0\"", 1},
      {"\"GOOGLEBOT/2.1 (+HTTP://WWW.GOOGLE.COM/BOT.HTML)\"", 1},
      {"\"YandexBot/3.0 extra\"", 0},  // a whole line must match
      {"\"YandexBot\"", 0},
      {"\"Mozilla/5.0\"", 0},
  };
  for (const auto& [agent, crawler] : cases) {
    ASSERT_TRUE(Parse(Sample(10, agent))) << "agent " << agent;
    EXPECT_EQ(record_.IsCrawler, crawler) << "agent " << agent;
  }
  // Without a list nothing is a crawler's. The verdict is kept with the pooled
  // agent, so a context without crawlers gets pools of its own.
  StringPool urls, referrers, agents, phrases, domains;
  ParseContext bare;
  bare.UrlPool = &urls;
  bare.ReferrerPool = &referrers;
  bare.UserAgentPool = &agents;
  bare.SearchPhrasePool = &phrases;
  bare.ReferrerDomainPool = &domains;
  ASSERT_TRUE(ParseLogLine(bare, Sample(10, "\"YandexBot/3.0\""), &record_));
  EXPECT_EQ(record_.IsCrawler, 0u);
}

TEST_F(ParseLogLineTest, ClassifiesTheDecodedReferrer) {
  // The phrase is percent-encoded twice; %2B turns into a '+' and so into a blank.
  ASSERT_TRUE(Parse(Sample(9, "\"http://yandex.ru/yandsearch?text=%25D0%259F%25D1%2580%2Bx\"")));
  EXPECT_EQ(record_.ReferrerKind, RefSearchEngine);
  EXPECT_EQ(record_.EngineIndex, 1);
  EXPECT_STREQ(record_.ReferrerDomain(), "yandex.ru");
  EXPECT_STREQ(record_.SearchPhrase(), "пр x");
  EXPECT_STREQ(record_.Referrer(), "http://yandex.ru/yandsearch?text=Пр+x");

  ASSERT_TRUE(Parse(Sample(9, "\"http://www.mysite.ru/news/\"")));
  EXPECT_EQ(record_.ReferrerKind, RefOwnSite);
  ASSERT_TRUE(Parse(Sample(9, "\"-\"")));
  EXPECT_EQ(record_.ReferrerKind, RefNone);
  EXPECT_STREQ(record_.ReferrerDomain(), "-");
}

TEST_F(ParseLogLineTest, ClassifiesTheLinesOwnSpellingNotThePooledOne) {
  // The pool keeps the first spelling; the second line's own text decides.
  ASSERT_TRUE(Parse(Sample(9, "\"http://GOOGLE.com/?q=a\"")));
  EXPECT_EQ(record_.ReferrerKind, RefExternal);
  ASSERT_TRUE(Parse(Sample(9, "\"http://google.com/?q=a\"")));
  EXPECT_STREQ(record_.Referrer(), "http://GOOGLE.com/?q=a");
  EXPECT_EQ(record_.ReferrerKind, RefSearchEngine);
  EXPECT_STREQ(record_.SearchPhrase(), "a");
}

TEST_F(ParseLogLineTest, ShortLineAfterLongLineLeavesNothingBehind) {
  const std::string long_ref = "\"http://a.com/" + std::string(5000, 'r') + "%41\"";
  ASSERT_TRUE(Parse(Sample(9, long_ref)));
  EXPECT_EQ(std::string(record_.Referrer()).size(), 13u + 5000u + 1u);
  ASSERT_TRUE(Parse(Sample(9, "\"http://b.com/%42\"")));
  EXPECT_STREQ(record_.Referrer(), "http://b.com/B");
  EXPECT_STREQ(record_.Url(), "/apache_pb.gif");
}

}  // namespace
}  // namespace tw
