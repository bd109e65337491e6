// A load parsed on several threads gives exactly the log one thread gives:
// the same records in the same order, the same first spellings, the same
// crawler bits and IPv6 indexes, the same reject file byte for byte, over
// many chunk sizes and thread counts and on hostile input.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Loggen.h"
#include "fake_files.h"
#include "load/loader.h"
#include "loadlog_fixture.h"

namespace tw::loadlog_testing {
namespace {

std::string GeneratedLines(std::uint64_t lines, std::uint64_t seed) {
  loggen::LoggenOptions options;
  options.lines = lines;
  options.seed = seed;
  options.malformed_per_100000 = 3000;
  loggen::LogGenerator generator(options);
  std::string text, line;
  while (generator.Next(line)) text += line + "\n";
  return text;
}

// Lines that stress the cuts: the same texts in other letter cases far apart,
// a line longer than a piece with escapes across the cut, zero bytes, empty
// and CRLF lines, IPv6 clients, and a last line without its end.
std::string HostileLines() {
  const std::string long_url = "/long/" + std::string(8170, 'a') + "%D0%B0%D0%B1/x";
  std::string text = GoodLine("01/Mar/2008", "/News/") + "\n\r\n" +
                     GoodLine("01/Mar/2008", long_url) +
                     "2001:db8::1 - - [01/Mar/2008:12:00:00 +0100] \"GET /v6 HTTP/1.1\" 200 1 "
                     "\"http://www.google.com/search?q=%D1%82%D0%B5%D1%81%D1%82\" \"CURL/8\"\n";
  text += std::string("10.0.0.2 - - [02/Mar/2008:12:00:00 +0100] \"GET /z\0ero HTTP/1.1\" 200 1\n", 70);
  text += std::string("\0\n", 2);
  text += GoodLine("03/Mar/2008", "/NEWS/", "\r\n") + "a b c\n";
  text += "2001:DB8::1 - - [04/Mar/2008:12:00:00 +0100] \"GET /news/ HTTP/1.1\" 200 1 \"-\" "
          "\"curl/8\"\n";
  text += "::ffff:10.0.0.9 - - [05/Mar/2008:12:00:00 +0100] \"GET /m HTTP/1.1\" 200 1 \"-\" \"X\"\n";
  text += GoodLine("06/Mar/2008", "/%D0%9F%D1%80%D0%B8").substr(0, 60);  // no line end
  return text;
}

// Generated lines with the bare CR line ends of old Macs.
std::string BareCrLines(int count, unsigned seed) {
  std::string text = GeneratedLines(count, seed);
  std::replace(text.begin(), text.end(), '\n', '\r');
  return text;
}

struct Loaded {
  LoadedLog log;
  std::string rejects;
};

Loaded Load(const std::string& text, unsigned threads, std::size_t chunk_bytes,
            std::int64_t fail_at = -1) {
  TempFolder dir;
  testing::FakeFiles files;
  files.files["/prog/crawlers.lst"] = {"Mozilla/5.0\ncurl/8\n", -1};
  files.files["/prog/crawler-patterns.lst"] = {"bot\n", -1};
  const std::string path = (dir.path() / "access.log").string();
  files.files[path] = {text, fail_at};
  EngineList engines{{"google"}, {"q="}};
  LoadRequest request;
  request.sources = {LogSource{path, std::nullopt}};
  request.crawler_path = "/prog/crawlers.lst";
  request.files = &files;
  request.engines = &engines;
  request.threads = threads;
  request.chunk_bytes = chunk_bytes;
  Loaded loaded;
  EXPECT_EQ(LoadLogSources(request, loaded.log).kind, LoadRefusal::Kind::kNone);
  const auto rejects = files.files.find(path + ".err");
  if (rejects != files.files.end()) loaded.rejects = rejects->second.bytes;
  return loaded;
}

bool SameText(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return a == b;
  return std::strcmp(a, b) == 0;
}

void ExpectSameLog(const Loaded& one, const Loaded& many, const std::string& label) {
  const RecordArray& a = *one.log.records;
  const RecordArray& b = *many.log.records;
  ASSERT_EQ(a.Count(), b.Count()) << label;
  for (std::int32_t i = 0; i < a.Count(); ++i) {
    const LogRecord& x = *a[i];
    const LogRecord& y = *b[i];
    ASSERT_TRUE(SameText(x.Url(), y.Url()) && SameText(x.Referrer(), y.Referrer()) &&
                SameText(x.UserAgent(), y.UserAgent()) && SameText(x.SearchPhrase(), y.SearchPhrase()) &&
                SameText(x.ReferrerDomain(), y.ReferrerDomain()))
        << label << " record " << i;
    ASSERT_TRUE(x.ClientIp == y.ClientIp && x.IsIpv6 == y.IsIpv6 && x.Status == y.Status &&
                x.Bytes == y.Bytes && x.LogTime == y.LogTime && x.ReferrerKind == y.ReferrerKind &&
                x.EngineIndex == y.EngineIndex && x.IsCrawler == y.IsCrawler)
        << label << " record " << i;
  }
  EXPECT_EQ(one.log.url_pool->Count(), many.log.url_pool->Count()) << label;
  EXPECT_EQ(one.log.referrer_pool->Count(), many.log.referrer_pool->Count()) << label;
  EXPECT_EQ(one.log.user_agent_pool->Count(), many.log.user_agent_pool->Count()) << label;
  EXPECT_EQ(one.log.search_phrase_pool->Count(), many.log.search_phrase_pool->Count()) << label;
  EXPECT_EQ(one.log.referrer_domain_pool->Count(), many.log.referrer_domain_pool->Count()) << label;
  EXPECT_EQ(one.log.ipv6_addresses->Count(), many.log.ipv6_addresses->Count()) << label;
  EXPECT_EQ(one.log.reasons, many.log.reasons) << label;
  EXPECT_EQ(one.log.files[0].records, many.log.files[0].records) << label;
  EXPECT_EQ(one.log.files[0].rejected, many.log.files[0].rejected) << label;
  EXPECT_EQ(one.rejects, many.rejects) << label;
}

TEST(ParallelLoad, GivesTheLogOneThreadGivesOverManyChunkSizes) {
  // The hostile lines both among the format sample's first thousand and
  // after them, where the chunks get the text as it comes from the file.
  const std::string inputs[] = {GeneratedLines(3000, 7), HostileLines() + GeneratedLines(400, 3),
                                GeneratedLines(300, 5) + HostileLines(),
                                GeneratedLines(1100, 8) + HostileLines() + GeneratedLines(300, 9),
                                GeneratedLines(1050, 6) + HostileLines(), BareCrLines(1200, 4)};
  const std::size_t chunk_sizes[] = {1, 2, 61, 250, 999, 4096, 8191, 8192, 65536};
  const unsigned thread_counts[] = {2, 3, 8};
  for (std::size_t n = 0; n < std::size(inputs); ++n) {
    const Loaded one = Load(inputs[n], 1, 0);
    ASSERT_GT(one.log.records->Count(), 0);
    for (const std::size_t chunk : chunk_sizes) {
      for (const unsigned threads : thread_counts) {
        const Loaded many = Load(inputs[n], threads, chunk);
        ExpectSameLog(one, many,
                      "input " + std::to_string(n) + ", chunk " + std::to_string(chunk) +
                          ", threads " + std::to_string(threads));
      }
    }
  }
}

// A read that fails part way ends the text there; its unfinished last piece
// is damaged data, wherever the break falls among the chunks.
TEST(ParallelLoad, BreaksOffWhereOneThreadBreaksOff) {
  // Past the format sample's thousand lines, so the break falls among the chunks.
  const std::string text = GeneratedLines(1200, 11) + HostileLines() + GeneratedLines(200, 12);
  const std::size_t long_line = text.find("/long/");
  std::size_t line_end = 0;  // after the 1100th line
  for (int i = 0; i < 1100; ++i) line_end = text.find('\n', line_end) + 1;
  const std::int64_t breaks[] = {static_cast<std::int64_t>(line_end),
                                 static_cast<std::int64_t>(line_end) + 17,
                                 static_cast<std::int64_t>(long_line) + 100,
                                 static_cast<std::int64_t>(long_line) + 8300,
                                 static_cast<std::int64_t>(text.size()) - 30};
  for (const std::int64_t at : breaks) {
    const Loaded one = Load(text, 1, 0, at);
    ASSERT_EQ(one.log.files[0].outcome, LoadedFile::Outcome::kBroken) << at;
    for (const std::size_t chunk : {std::size_t{1}, std::size_t{61}, std::size_t{4096}, std::size_t{65536}}) {
      ExpectSameLog(one, Load(text, 2, chunk, at),
                    "break at " + std::to_string(at) + ", chunk " + std::to_string(chunk));
    }
  }
}

// A packed log reaches the chunks straight from its decompressor, which hands
// out its text in reads of its own sizes.
TEST(ParallelLoad, ReadsAPackedLogInChunksAsOneThreadDoes) {
  const std::string text = GeneratedLines(2000, 13) + HostileLines() + GeneratedLines(500, 14);
  TempFolder dir;
  const std::string plain = (dir.path() / "log").string();
  WriteFile(plain, text);
  for (const std::string tool : {"gzip", "zstd -q", "xz"}) {
    const std::string packed_path = plain + ".packed";
    ASSERT_EQ(std::system((tool + " -c '" + plain + "' > '" + packed_path + "'").c_str()), 0) << tool;
    const std::string packed = ReadFile(packed_path);
    const Loaded one = Load(packed, 1, 0);
    ASSERT_GT(one.log.records->Count(), 2000) << tool;
    for (const std::size_t chunk : {std::size_t{61}, std::size_t{4096}, std::size_t{16384}}) {
      ASSERT_GT(packed.size(), chunk) << tool << ": the chunks must be used";
      ExpectSameLog(one, Load(packed, 2, chunk), tool + ", chunk " + std::to_string(chunk));
    }
  }
}

TEST(ParallelLoad, KeepsTheFirstSpellingAcrossChunks) {
  auto line = [](const char* agent) {
    return std::string("10.0.0.1 - - [01/Mar/2008:12:00:00 +0100] \"GET / HTTP/1.1\" 200 1 \"-\" \"") +
           agent + "\"\n";
  };
  const std::string text = line("Agent/One") + line("AGENT/one") + line("agent/ONE");
  const Loaded many = Load(text, 2, 1);  // one line per chunk
  ASSERT_EQ(many.log.records->Count(), 3);
  for (std::int32_t i = 0; i < 3; ++i) {
    EXPECT_STREQ((*many.log.records)[i]->UserAgent(), "Agent/One");
    EXPECT_EQ((*many.log.records)[i]->UserAgent(), (*many.log.records)[0]->UserAgent());
  }
}

}  // namespace
}  // namespace tw::loadlog_testing
