// One input loaded on one thread and again on two or three, in small chunks,
// from files in memory: the two logs must be the same in every field. The
// first two bytes choose the threads, the chunk size, the format, whether
// referrers are kept, a small reject file limit and a read that fails part
// way; the rest is the log file. Any difference aborts: the records and every
// field of them, their virtual hosts, the pool counts, the reject counts by
// reason, the reject file byte for byte and where it was cut, and what the
// file's outcome was.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "fake_files.h"
#include "fuzz_support.h"
#include "load/loader.h"

namespace {

constexpr char kLogPath[] = "/logs/www.mysite.ru-access_log";
constexpr char kCrawlerPath[] = "/prog/crawlers.lst";

struct Choice {
  unsigned threads = 1;
  std::size_t chunk_bytes = 0;
  std::optional<tw::LogFormat> format;
  bool keep_referrers = true;
  std::int64_t reject_limit = tw::kRejectFileLimit;
  std::int64_t fail_at = -1;
};

std::optional<tw::LogFormat> FormatOf(unsigned pick) {
  std::string error;
  tw::LogFormat format;
  switch (pick % 8) {
    case 0:
    case 1:
      return std::nullopt;  // told from the sample
    case 6:
      FUZZ_CHECK(tw::LogFormat::FromApacheString(R"(%v %h %t "%r" %>s %b "%{User-Agent}i")",
                                                 format, error));
      return format;
    case 7:
      FUZZ_CHECK(tw::LogFormat::FromApacheString(R"(%a %u %t "%r" %s %O "%{Referer}i" %D)",
                                                 format, error));
      return format;
    default:
      return tw::LogFormat::Named(static_cast<tw::LogFormatName>(pick % 8 - 2));
  }
}

Choice ChoiceOf(std::uint8_t a, std::uint8_t b, std::size_t file_size) {
  Choice choice;
  choice.threads = 2 + a % 2;
  choice.format = FormatOf(a >> 1);
  choice.keep_referrers = (a & 0x10) == 0;
  if ((a & 0x20) != 0) choice.reject_limit = 1 + b * 3;
  if ((a & 0x40) != 0) choice.fail_at = static_cast<std::int64_t>(file_size * b / 256);
  // Mostly tiny chunks, now and then one of a few pieces.
  choice.chunk_bytes = (a & 0x80) != 0 ? 1 + b * 61 : 1 + b % 64;
  return choice;
}

struct Loaded {
  tw::LoadRefusal refusal;
  tw::LoadedLog log;
  std::string rejects;
};

void Load(std::string_view file, const Choice& choice, unsigned threads, Loaded& loaded) {
  tw::testing::FakeFiles files;
  files.files[kCrawlerPath] = {"Googlebot/2.1\ncurl/8\n\nMozilla/5.0\n", -1};
  files.files["/prog/crawler-patterns.lst"] = {"bot\nspider\n", -1};
  files.files[kLogPath] = {std::string(file), choice.fail_at};
  static const tw::EngineList engines{{"google", "yandex"}, {"q=", "text="}};
  tw::LoadRequest request;
  request.sources = {tw::LogSource{kLogPath, choice.format}};
  request.crawler_path = kCrawlerPath;
  request.files = &files;
  request.engines = &engines;
  request.threads = threads;
  request.chunk_bytes = threads == 1 ? 0 : choice.chunk_bytes;
  request.keep_referrers = choice.keep_referrers;
  request.reject_limit = choice.reject_limit;
  loaded.refusal = tw::LoadLogSources(request, loaded.log);
  const auto rejects = files.files.find(std::string(kLogPath) + ".err");
  if (rejects != files.files.end()) loaded.rejects = rejects->second.bytes;
}

bool SameText(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return a == b;
  return std::strcmp(a, b) == 0;
}

void CheckSameRecords(const tw::LoadedLog& one, const tw::LoadedLog& many) {
  const tw::RecordArray& a = *one.records;
  const tw::RecordArray& b = *many.records;
  FUZZ_CHECK(a.Count() == b.Count());
  for (std::int32_t i = 0; i < a.Count(); ++i) {
    const tw::LogRecord& x = *a[i];
    const tw::LogRecord& y = *b[i];
    FUZZ_CHECK(SameText(x.Url(), y.Url()));
    FUZZ_CHECK(SameText(x.Referrer(), y.Referrer()));
    FUZZ_CHECK(SameText(x.UserAgent(), y.UserAgent()));
    FUZZ_CHECK(SameText(x.SearchPhrase(), y.SearchPhrase()));
    FUZZ_CHECK(SameText(x.ReferrerDomain(), y.ReferrerDomain()));
    FUZZ_CHECK(x.ClientIp == y.ClientIp && x.IsIpv6 == y.IsIpv6);
    FUZZ_CHECK(x.Status == y.Status && x.Bytes == y.Bytes && x.LogTime == y.LogTime);
    FUZZ_CHECK(x.ReferrerKind == y.ReferrerKind && x.EngineIndex == y.EngineIndex);
    FUZZ_CHECK(x.IsCrawler == y.IsCrawler);
    const std::uint32_t host = one.virtual_hosts->NumberOf(x);
    FUZZ_CHECK(host == many.virtual_hosts->NumberOf(y));
    if (host != 0) FUZZ_CHECK(SameText(one.virtual_hosts->Text(host), many.virtual_hosts->Text(host)));
  }
}

void CheckSameFile(const tw::LoadedFile& x, const tw::LoadedFile& y) {
  FUZZ_CHECK(x.outcome == y.outcome && x.open_error == y.open_error);
  FUZZ_CHECK(x.broken.kind == y.broken.kind && x.broken.number == y.broken.number);
  FUZZ_CHECK(x.broken.offset == y.broken.offset);
  FUZZ_CHECK(x.broken.unchecked_from == y.broken.unchecked_from);
  FUZZ_CHECK(x.compression == y.compression);
  FUZZ_CHECK(x.format.Name() == y.format.Name() && x.format.Label() == y.format.Label());
  FUZZ_CHECK(x.records == y.records && x.rejected == y.rejected);
  FUZZ_CHECK(x.reject_error == y.reject_error && x.reject_cut_at == y.reject_cut_at);
}

void CheckSameLog(const Loaded& one, const Loaded& many) {
  FUZZ_CHECK(one.refusal.kind == many.refusal.kind);
  if (one.refusal.kind != tw::LoadRefusal::Kind::kNone) return;
  const tw::LoadedLog& a = one.log;
  const tw::LoadedLog& b = many.log;
  CheckSameRecords(a, b);
  FUZZ_CHECK(a.url_pool->Count() == b.url_pool->Count());
  FUZZ_CHECK(a.referrer_pool->Count() == b.referrer_pool->Count());
  FUZZ_CHECK(a.user_agent_pool->Count() == b.user_agent_pool->Count());
  FUZZ_CHECK(a.search_phrase_pool->Count() == b.search_phrase_pool->Count());
  FUZZ_CHECK(a.referrer_domain_pool->Count() == b.referrer_domain_pool->Count());
  FUZZ_CHECK(a.ipv6_addresses->Count() == b.ipv6_addresses->Count());
  FUZZ_CHECK(a.virtual_hosts->Count() == b.virtual_hosts->Count());
  FUZZ_CHECK(a.site_name == b.site_name && a.crawlers.size() == b.crawlers.size());
  FUZZ_CHECK(a.reasons == b.reasons && a.rejected == b.rejected);
  FUZZ_CHECK(a.files.size() == 1 && b.files.size() == 1);
  CheckSameFile(a.files[0], b.files[0]);
  FUZZ_CHECK(one.rejects == many.rejects);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::string_view file(reinterpret_cast<const char*>(data) + 2, size - 2);
  const Choice choice = ChoiceOf(data[0], data[1], file.size());
  Loaded one, many;
  Load(file, choice, 1, one);
  Load(file, choice, choice.threads, many);
  CheckSameLog(one, many);
  return 0;
}
