#include "parse/format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log/string_pool.h"
#include "parse/format_custom.h"
#include "parse/parser.h"
#include "show_bytes.h"

namespace tw {
namespace {

using namespace std::string_literals;  // "...\0..."s keeps the zero byte

using testing::Show;

const char* ReasonName(RejectReason reason) {
  static const char* const kNames[] = {"accepted",       "empty line", "field count",
                                       "client address", "time",       "request",
                                       "status",         "size",       "damaged"};
  return kNames[static_cast<int>(reason)];
}

LogFormat Named(const char* name) {
  LogFormat format;
  EXPECT_TRUE(LogFormat::FromName(name, format)) << name;
  return format;
}

LogFormat Custom(const std::string& pattern) {
  LogFormat format;
  std::string error;
  EXPECT_TRUE(LogFormat::FromApacheString(pattern, format, error)) << pattern << ": " << error;
  return format;
}

// A parser over fresh pools, with one crawler and one engine; the log's own
// site is mysite.ru.
class LogFormatTest : public ::testing::Test {
 public:
  LogFormatTest() {
    ctx_.UrlPool = &urls_;
    ctx_.ReferrerPool = &referrers_;
    ctx_.UserAgentPool = &agents_;
    ctx_.SearchPhrasePool = &phrases_;
    ctx_.ReferrerDomainPool = &domains_;
    crawlers_ = {agents_.Intern("YandexBot/3.0")};
    ctx_.Crawlers = &crawlers_;
    ctx_.SiteName = "mysite.ru";
    engines_.EngineNames = {"yandex"};
    engines_.EngineParams = {"text="};
    ctx_.Engines = &engines_;
  }

  RejectReason Parse(const LogFormat& format, std::string_view line) {
    record_ = LogRecord{};
    return ParseLogLineAs(ctx_, format, line, &record_);
  }

  std::size_t Pooled() const {
    return urls_.Count() + referrers_.Count() + agents_.Count() + phrases_.Count() +
           domains_.Count();
  }

  // The record's fields as one text, so that a mismatch shows them all.
  std::string Fields() const {
    return FormatIp(record_.ClientIp) + " " + FormatLogTime(record_.LogTime) + " " + record_.Url() +
           " " + std::to_string(record_.Status) + " " + std::to_string(record_.Bytes) + " [" +
           record_.Referrer() + "] [" + record_.UserAgent() + "] " + record_.ReferrerDomain() + " kind " +
           std::to_string(record_.ReferrerKind) + " crawler " + std::to_string(record_.IsCrawler);
  }

  StringPool urls_, referrers_, agents_, phrases_, domains_;
  std::vector<const char*> crawlers_;
  EngineList engines_;
  ParseContext ctx_;
  LogRecord record_;
};

const std::string kCombined =
    "1.2.3.4 - frank [10/Oct/2000:13:55:36 -0700] \"GET /A.gif HTTP/1.0\" 200 2326 "
    "\"http://www.example.com/start.html\" \"Mozilla/4.08\"\n";
const std::string kCommon =
    "1.2.3.4 - frank [10/Oct/2000:13:55:36 -0700] \"GET /A.gif HTTP/1.0\" 200 2326\n";
const std::string kVhost = "www.Other.org:443 " + kCombined;
const std::string kExtra = kCombined.substr(0, kCombined.size() - 1) + " 1534 \"x y\"\n";

const std::string kCombinedFields =
    "1.2.3.4 10/10/2000:13:55:36 /a.gif 200 2326 [http://www.example.com/start.html] "
    "[Mozilla/4.08] example.com kind 0 crawler 0";
const std::string kCommonFields =
    "1.2.3.4 10/10/2000:13:55:36 /a.gif 200 2326 [-] [-] - kind 1 crawler 0";

TEST_F(LogFormatTest, ReadsGoodLinesOfEachFormat) {
  struct Case {
    const char* format;
    std::string line;
    std::string fields;
  };
  const Case cases[] = {
      {"combined", kCombined, kCombinedFields},
      {"combined", "2a02:6b8::1" + kCombined.substr(7), "0.0.0.0" + kCombinedFields.substr(7)},
      {"vhost_combined", kVhost, kCombinedFields},
      {"vhost_combined", "site.ru " + kCombined, kCombinedFields},  // no port
      // The line's own host, not the log's name, says what the own site is.
      {"vhost_combined",
       "WWW.Example.COM:80 1.2.3.4 - - [10/Oct/2000:13:55:36 -0700] \"GET / HTTP/1.1\" 304 - "
       "\"https://example.com/a\" \"YandexBot/3.0\"",
       "1.2.3.4 10/10/2000:13:55:36 / 304 0 [https://example.com/a] [YandexBot/3.0] "
       "example.com kind 2 crawler 1"},
      {"vhost_combined",
       "other.org:80 1.2.3.4 - - [10/Oct/2000:13:55:36 -0700] \"GET / HTTP/1.1\" 200 5 "
       "\"http://mysite.ru/\" \"a\"",
       "1.2.3.4 10/10/2000:13:55:36 / 200 5 [http://mysite.ru/] [a] mysite.ru kind 0 crawler 0"},
      {"combined_extra", kExtra, kCombinedFields},
      {"combined_extra", kCombined, kCombinedFields},  // no field after the user agent
      {"combined_extra", kCombined.substr(0, kCombined.size() - 1) + " a b c d\n", kCombinedFields},
      // Extra fields like a line's start, but no client address or no time: kept.
      {"combined_extra", kCombined.substr(0, kCombined.size() - 1) + " host - - [10/Oct/2000:13:55:36\n",
       kCombinedFields},
      {"combined_extra", kCombined.substr(0, kCombined.size() - 1) + " 1.2.3.4 - - 10/Oct/2000\n",
       kCombinedFields},
      {"common", kCommon, kCommonFields},
      {"common", kCommon.substr(0, kCommon.size() - 1) + "\r\n", kCommonFields},
      {"common", "10.0.0.1 - - [01/Jan/2020:00:00:00 +0000] \"POST /%41 HTTP/1.1\" \"500\" -\n",
       "10.0.0.1 01/01/2020:00:00:00 /A 500 0 [-] [-] - kind 1 crawler 0"},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(Parse(Named(c.format), c.line), RejectReason::kAccepted)
        << c.format << ": " << Show(c.line);
    EXPECT_EQ(Fields(), c.fields) << c.format << ": " << Show(c.line);
  }
}

TEST_F(LogFormatTest, GivesTheReasonOfTheFirstFaultOfEachFormat) {
  struct Case {
    const char* format;
    std::string line;
    RejectReason reason;
  };
  const std::string tail = " - - [10/Oct/2000:13:55:36 -0700] \"GET / HTTP/1.0\" 200 5";
  const Case cases[] = {
      {"combined", "", RejectReason::kEmptyLine},
      {"combined", "\n", RejectReason::kEmptyLine},
      {"combined", "\r\n", RejectReason::kEmptyLine},
      {"combined", "\0"s + kCombined, RejectReason::kEmptyLine},
      {"combined", " \n", RejectReason::kFieldCount},
      {"combined", kCommon, RejectReason::kFieldCount},
      {"combined", kExtra, RejectReason::kFieldCount},
      {"combined", kVhost, RejectReason::kFieldCount},
      {"combined", "256.1.1.1" + tail + " \"-\" \"a\"", RejectReason::kClientAddress},
      {"combined", "1.2.3.4 - - [10/oct/2000:13:55:36 -0700] \"GET / HTTP/1.0\" 2x 5x \"-\" \"a\"",
       RejectReason::kTime},
      {"combined", "1.2.3.4 - - [10/Oct/2000:13:55:36 -0700] \"GET /\" 2x 5x \"-\" \"a\"",
       RejectReason::kRequestLine},
      {"combined", "1.2.3.4 - - [10/Oct/2000:13:55:36 -0700] \"GET / H\" 2x 5x \"-\" \"a\"",
       RejectReason::kStatus},
      {"combined", "1.2.3.4 - - [10/Oct/2000:13:55:36 -0700] \"GET / H\" 200 5x \"-\" \"a\"",
       RejectReason::kSize},
      {"vhost_combined", "\n", RejectReason::kEmptyLine},
      {"vhost_combined", kCombined, RejectReason::kFieldCount},
      {"vhost_combined", kExtra, RejectReason::kFieldCount},
      {"vhost_combined", kCombined.substr(0, kCombined.size() - 1) + " 1534",
       RejectReason::kTime},  // the host is "-", the time "-0700]"
      {"vhost_combined", "a:80 -1.2.3.4" + tail + " \"-\" \"a\"", RejectReason::kClientAddress},
      {"vhost_combined",
       "a:80 1.2.3.4 - - [10/Oct/2000:13:55:36 -0700] \"GET / HTTP/1.0\" x5 5 \"-\" \"a\"",
       RejectReason::kStatus},
      {"combined_extra", kCommon, RejectReason::kFieldCount},
      {"combined_extra", kVhost, RejectReason::kTime},
      {"combined_extra", "1.2.3.4" + tail + "z \"-\" \"a\" extra", RejectReason::kSize},
      // A lost line end: the extra fields are the next line, with an IPv4 or IPv6 client.
      {"combined_extra", kCombined.substr(0, kCombined.size() - 1) + kCombined,
       RejectReason::kGluedLines},
      {"combined_extra", kCombined.substr(0, kCombined.size() - 1) + "2001:db8::1" + tail,
       RejectReason::kGluedLines},
      {"common", "\0"s, RejectReason::kEmptyLine},
      {"common", kCombined, RejectReason::kFieldCount},
      {"common", "1.2.3.4 - - [10/Oct/2000:13:55:36 -0700] \"GET / HTTP/1.0\" 200",
       RejectReason::kFieldCount},
      {"common", "1.2.3.4 - - [10/Oct/2000:13:55:36 -0700] \"GET\" 200 5",
       RejectReason::kRequestLine},
      {"common", "1.2.3.4 - - [10/Oct/2000:13:55:36 -0700] \"GET / HTTP/1.0\" 200 +",
       RejectReason::kSize},
  };
  for (const auto& c : cases) {
    const RejectReason got = Parse(Named(c.format), c.line);
    EXPECT_EQ(got, c.reason) << c.format << ": " << Show(c.line) << " gave " << ReasonName(got);
  }
  EXPECT_EQ(Pooled(), crawlers_.size()) << "rejected lines add nothing to the pools";
}

// Lines made of every combination of good and faulty fields.
std::vector<std::string> CombinedLineVariants() {
  const std::vector<std::vector<std::string>> fields = {
      {"127.0.0.1", "2a02:6b8::1", "256.1.1.1", "example.com"},
      {"-"},
      {"frank", "\"a b\""},
      {"[10/Oct/2000:13:55:36 -0700]", "[10/oct/2000:13:55:36 -0700]", "[1/Mar/2008:1:2:3 +0100]"},
      {"\"GET /A%41 HTTP/1.0\"", "\"GET /\"", "\"-\""},
      {"200", "2OO", "\"404\""},
      {"2326", "-", "12a"},
      {"\"http://www.mysite.ru/x\"", "\"-\"", "\"http://yandex.ru/yandsearch?text=a+b\""},
      {"\"YandexBot/3.0\"", "\"Mozilla \\\"x\\\"\"", "\"Unclosed"},
  };
  std::vector<std::string> lines = {"", "\n", "a b c\n", kCommon, kExtra};
  std::vector<std::size_t> pick(fields.size(), 0);
  for (;;) {
    std::string line;
    for (std::size_t f = 0; f < fields.size(); ++f) line += (f ? " " : "") + fields[f][pick[f]];
    lines.push_back(line + "\n");
    std::size_t f = 0;
    while (f < fields.size() && ++pick[f] == fields[f].size()) pick[f++] = 0;
    if (f == fields.size()) break;
  }
  return lines;
}

// Parses every line under each format with the same pools and expects the
// same reason and, for accepted lines, the same record (pooled texts compare
// as pointers, so first spellings match too).
void ExpectSameParses(LogFormatTest& test, const std::vector<std::string>& lines,
                      const LogFormat& expected, const LogFormat& got,
                      const CustomLogFormat* by_tokens) {
  for (const std::string& line : lines) {
    const RejectReason want = test.Parse(expected, line);
    const std::string want_fields = want == RejectReason::kAccepted ? test.Fields() : "";
    const LogRecord want_record = test.record_;
    EXPECT_EQ(test.Parse(got, line), want) << got.Label() << ": " << Show(line);
    if (want == RejectReason::kAccepted) {
      EXPECT_EQ(test.Fields(), want_fields) << got.Label() << ": " << Show(line);
      EXPECT_EQ(test.record_.Url(), want_record.Url()) << Show(line);
      EXPECT_EQ(test.record_.UserAgent(), want_record.UserAgent()) << Show(line);
    }
    if (by_tokens == nullptr) continue;
    test.record_ = LogRecord{};
    EXPECT_EQ(ParseCustomLine(test.ctx_, *by_tokens, line, &test.record_), want)
        << "by tokens " << got.Label() << ": " << Show(line);
    if (want == RejectReason::kAccepted) {
      EXPECT_EQ(test.Fields(), want_fields) << Show(line);
    }
  }
}

TEST_F(LogFormatTest, TheApacheStringsOfTheNamedFormatsReadAsThose) {
  const std::string combined_string = R"(%h %l %u %t "%r" %>s %b "%{Referer}i" "%{User-Agent}i")";
  const std::string vhost_string =
      R"(%v:%p %h %l %u %t "%r" %>s %O "%{Referer}i" "%{User-Agent}i")";
  const std::vector<std::string> lines = CombinedLineVariants();
  std::vector<std::string> vhost_lines;
  for (const std::string& line : lines) {
    vhost_lines.push_back("www.MySite.ru:443 " + line);
    vhost_lines.push_back("other.example:80 " + line);
  }
  vhost_lines.push_back("nocolon " + kCombined);  // as the named format reads it
  vhost_lines.push_back("a:b:80 " + kCombined);

  CustomLogFormat by_tokens;
  std::string error;
  ASSERT_TRUE(CompileLogFormat(combined_string, by_tokens, error)) << error;
  ExpectSameParses(*this, lines, Named("combined"), Custom(combined_string), &by_tokens);
  ExpectSameParses(*this, vhost_lines, Named("vhost_combined"), Custom(vhost_string), nullptr);

  // Read by tokens, the vhost string agrees wherever the host has one colon.
  ASSERT_TRUE(CompileLogFormat(vhost_string, by_tokens, error)) << error;
  vhost_lines.resize(vhost_lines.size() - 2);
  ExpectSameParses(*this, vhost_lines, Named("vhost_combined"), Custom(vhost_string), &by_tokens);
  // Equivalent directives read alike.
  ExpectSameParses(*this, lines, Named("combined"),
                   Custom(R"(%a %u %l %t "%r" %s %B "%{referer}i" "%{user-agent}i")"), nullptr);
  EXPECT_EQ(Custom(combined_string).Label(), combined_string);
  EXPECT_EQ(Custom(combined_string).Name(), LogFormatName::kCustom);
}

TEST_F(LogFormatTest, ReadsOtherApacheStrings) {
  struct Case {
    std::string pattern;
    std::string line;
    std::string fields;  // empty: expect `reason`
    RejectReason reason = RejectReason::kAccepted;
  };
  const std::string request = " [10/Oct/2000:13:55:36 -0700] \"GET /A.gif HTTP/1.0\" 200 2326";
  const Case cases[] = {
      {R"(%h %l %u %t "%r" %>s %b)", kCommon, kCommonFields},
      {R"(%h %l %u %t "%r" %>s %b "%{Referer}i" "%{User-Agent}i" %D "%{X-Forwarded-For}i")", kExtra,
       kCombinedFields},
      {R"(%h %l %u %t "%r" %>s %b "%{Referer}i" "%{User-Agent}i" %D "%{X-Forwarded-For}i")",
       kCombined, "", RejectReason::kFieldCount},
      {R"(%h %l %u %t "%r" %>s %b "%{Referer}i" "%{User-Agent}i" %D "%{X-Forwarded-For}i")",
       "1.2.3.4 - -" + request + " \"-\" \"a\" 1 \"x y\" z", "", RejectReason::kFieldCount},
      // Literal text and a directive inside a token, a quoted time.
      {R"(%h [%{SSL}e] "%t" "%r" s=%>s size=%b)",
       "1.2.3.4 [TLSv1.3] \"[10/Oct/2000:13:55:36 -0700]\" \"GET /A.gif HTTP/1.0\" s=200 size=2326",
       kCommonFields},
      {R"(%h [%{SSL}e] "%t" "%r" s=%>s size=%b)",
       "1.2.3.4 [TLSv1.3] \"[10/Oct/2000:13:55:36 -0700]\" \"GET /A.gif HTTP/1.0\" s=200 sz=2326",
       "", RejectReason::kFieldCount},
      {R"(%h [%{SSL}e] "%t" "%r" s=%>s size=%b)",
       "1.2.3.4 [TLSv1.3] \"[10/Oct/2000:13:55:36 -0700]\" \"GET /A.gif HTTP/1.0\" s=2x size=2326",
       "", RejectReason::kStatus},
      // A virtual host without a port; the request and the agent with text after them.
      {R"f(%V %h %t "%r took %D" "%{User-Agent}i (x)" 100%%)f",
       "MySite.ru 1.2.3.4 [10/Oct/2000:13:55:36 -0700] \"GET /A.gif HTTP/1.0 took 5\" "
       "\"YandexBot/3.0 (x)\" 100%",
       "1.2.3.4 10/10/2000:13:55:36 /a.gif 0 0 [-] [YandexBot/3.0] - kind 1 crawler 1"},
      {"%t \\\"%r\\\"", "[10/Oct/2000:13:55:36 -0700] \"GET / HTTP/1.0\"",
       "0.0.0.0 10/10/2000:13:55:36 / 0 0 [-] [-] - kind 1 crawler 0"},
      {"%t \"%r\"", "\n", "", RejectReason::kEmptyLine},
  };
  for (const auto& c : cases) {
    const RejectReason checked = CheckLogLineAs(ctx_, Custom(c.pattern), c.line);
    const RejectReason got = Parse(Custom(c.pattern), c.line);
    EXPECT_EQ(checked, got) << "checking alone: " << c.pattern << ": " << Show(c.line);
    if (c.fields.empty()) {
      EXPECT_EQ(got, c.reason) << c.pattern << ": " << Show(c.line) << " gave " << ReasonName(got);
      continue;
    }
    ASSERT_EQ(got, RejectReason::kAccepted)
        << c.pattern << ": " << Show(c.line) << " gave " << ReasonName(got);
    EXPECT_EQ(Fields(), c.fields) << c.pattern << ": " << Show(c.line);
  }
}

TEST(LogFormatString, NamesWhatItCannotUse) {
  const std::pair<const char*, const char*> cases[] = {
      {R"(%h %x %t "%r")", "%x"},
      {R"(%h %{%d/%b}t "%r")", "%{%d/%b}t"},
      {R"(%h %t "%r" %<s)", "%<s"},
      {R"(%h %t "%r" %>b)", "%>b"},
      {R"(%h %t %r)", "%r"},
      {R"(%h %t "%r" %{User-Agent}i)", "%{User-Agent}i"},
      {R"(%h%l %t "%r")", "%l"},
      {R"(%h [%t] "%r")", "%t"},
      {R"(%h %t "%r)", "quote"},
      {R"(%h %t "%r" %{Referer)", "%{Referer"},
      {R"(%h %t "%r" %)", "%"},
      {R"(%h %t "%r" %>)", "%>"},
      {R"(%h "%r")", "%t"},
      {R"(%h %t)", "%r"},
      {"", "%t"},
  };
  for (const auto& [pattern, named] : cases) {
    LogFormat format = LogFormat::Named(LogFormatName::kCommon);
    std::string error;
    EXPECT_FALSE(LogFormat::FromApacheString(pattern, format, error)) << pattern;
    EXPECT_NE(error.find(named), std::string::npos) << pattern << " gave: " << error;
    EXPECT_EQ(format.Name(), LogFormatName::kCommon) << "a failure leaves the format: " << pattern;
  }
  std::string many = "%t \"%r\"";
  for (int i = 0; i < 61; ++i) many += " %D";
  LogFormat format;
  std::string error;
  EXPECT_TRUE(LogFormat::FromApacheString(many, format, error)) << error;  // 64 tokens
  EXPECT_FALSE(LogFormat::FromApacheString(many + " %D", format, error));
}

TEST(LogFormatName, NamesAndLabels) {
  const char* names[] = {"combined", "vhost_combined", "combined_extra", "common"};
  for (const char* name : names) {
    LogFormat format;
    ASSERT_TRUE(LogFormat::FromName(name, format)) << name;
    EXPECT_EQ(format.Label(), name);
    EXPECT_EQ(LogFormat::Named(format.Name()).Label(), name);
  }
  LogFormat format;
  EXPECT_FALSE(LogFormat::FromName("Combined", format));
  EXPECT_FALSE(LogFormat::FromName("", format));
  EXPECT_EQ(LogFormat::Named(LogFormatName::kCustom).Name(), LogFormatName::kCombined);
}

// Pieces made of runs of equal lines.
std::vector<std::string> Sample(std::initializer_list<std::pair<const std::string*, int>> runs) {
  std::vector<std::string> pieces;
  for (const auto& [line, count] : runs) pieces.insert(pieces.end(), count, *line);
  return pieces;
}

TEST_F(LogFormatTest, DetectsTheFormatMostFirstPiecesParseUnder) {
  const std::string empty = "\n";
  const std::string junk = "junk line\n";
  const std::string bad_vhost = "www.x.ru:80 " + kCommon;  // nine tokens: no format reads it
  struct Case {
    std::vector<std::string> pieces;
    const char* format;
    const char* what;
  };
  const Case cases[] = {
      {{}, "combined", "nothing to look at"},
      {Sample({{&empty, 5}, {&junk, 3}}), "combined", "nothing parses"},
      {Sample({{&kCombined, 10}}), "combined", "combined lines"},
      {Sample({{&kVhost, 10}, {&kCombined, 1}}), "vhost_combined", "vhost lines"},
      {Sample({{&kExtra, 10}}), "combined_extra", "extra field"},
      {Sample({{&kCommon, 10}, {&junk, 30}}), "common", "common lines among junk"},
      {Sample({{&kCombined, 5}, {&kExtra, 5}}), "combined", "combined parses exactly half"},
      {Sample({{&kCombined, 4}, {&kExtra, 5}}), "combined_extra", "combined parses less than half"},
      {Sample({{&kVhost, 3}, {&kCommon, 3}}), "vhost_combined", "a tie goes to the earlier"},
      {Sample({{&kCommon, 3}, {&kVhost, 3}}), "vhost_combined", "whatever the order"},
      {Sample({{&kExtra, 4}, {&kCommon, 4}}), "combined_extra", "tie of extra and common"},
      {Sample({{&kCombined, 2}, {&kCommon, 4}}), "combined", "combined half of common"},
      {Sample({{&kCombined, 1}, {&kCommon, 3}}), "common", "combined a third of common"},
      {Sample({{&kCommon, 1}, {&empty, 2000}, {&kCombined, 2}}), "combined",
       "empty pieces skipped"},
      {Sample({{&kCommon, 1000}, {&kCombined, 3000}}), "common", "only the first 1,000 count"},
      {Sample({{&kCommon, 999}, {&bad_vhost, 1}, {&kCombined, 3000}}), "common", "rejected count"},
  };
  for (const auto& c : cases) {
    const std::vector<std::string_view> pieces(c.pieces.begin(), c.pieces.end());
    EXPECT_EQ(DetectLogFormat(ctx_, pieces).Label(), c.format) << c.what;
  }
  EXPECT_EQ(Pooled(), crawlers_.size()) << "detection adds nothing to the pools";
}

}  // namespace
}  // namespace tw
