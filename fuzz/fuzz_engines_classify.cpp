// An engine list read from the first part of the input and referrers from the
// second, one per line; the first referrer line also serves as the site's
// name. The parts are split at the first "\n===\n"; without it the whole input
// plays both parts. Besides crashes it checks that the engine found is the
// first whose name occurs in the domain, and that each record is consistent.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "base/letter_case.h"
#include "base/utf8.h"
#include "fuzz_support.h"
#include "log/record.h"
#include "log/string_pool.h"
#include "parse/referrer.h"

namespace {

constexpr std::string_view kSeparator = "\n===\n";

// FindEngine without its shortcuts.
int FirstEngineIn(const tw::EngineList& engines, std::string_view domain) {
  for (std::size_t i = 0; i < engines.EngineNames.size() && i < tw::kMaxEngines; ++i) {
    const std::string& name = engines.EngineNames[i];
    if (!name.empty() && domain.find(name) != std::string_view::npos) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string_view engine_text = input;
  std::string_view referrers = input;
  if (const std::size_t sep = input.find(kSeparator); sep != std::string_view::npos) {
    engine_text = input.substr(0, sep);
    referrers = input.substr(sep + kSeparator.size());
  }

  tw::EngineList engines;
  tw::ParseEngineList(engine_text, engines);
  FUZZ_CHECK(engines.EngineNames.size() == engines.EngineParams.size());
  FUZZ_CHECK(engines.EngineNames.size() <= tw::kMaxEngines);
  tw::EngineList again;
  again.EngineNames.assign(3, "stale");
  tw::ParseEngineList(engine_text, again);
  FUZZ_CHECK(again.EngineNames == engines.EngineNames && again.EngineParams == engines.EngineParams);

  // A fresh pool costs a large block; they are kept between inputs, as a
  // loaded log keeps them between lines, and start afresh now and then.
  static tw::StringPool* domains = nullptr;
  static tw::StringPool* phrases = nullptr;
  static std::size_t runs = 0;
  if (domains == nullptr || ++runs % 100000 == 0) {
    delete domains;
    delete phrases;
    domains = new tw::StringPool;
    phrases = new tw::StringPool;
  }
  const std::string site = tw::ToLower(tw::AsUtf8(referrers.substr(0, referrers.find('\n'))));
  tw::ReferrerContext ctx;
  ctx.ReferrerDomainPool = domains;
  ctx.SearchPhrasePool = phrases;
  ctx.SiteName = site;
  ctx.Engines = &engines;

  std::string phrase;
  std::size_t pos = 0;
  while (pos <= referrers.size()) {
    std::size_t eol = referrers.find('\n', pos);
    if (eol == std::string_view::npos) eol = referrers.size();
    const std::string_view referrer = referrers.substr(pos, eol - pos);
    pos = eol + 1;

    const std::string_view domain = tw::ExtractReferrerDomain(referrer);
    FUZZ_CHECK(domain.empty() || (domain.data() >= referrer.data() &&
                                  domain.data() + domain.size() <= referrer.data() + referrer.size()));
    FUZZ_CHECK(tw::FindEngine(engines, domain) == FirstEngineIn(engines, domain));

    tw::LogRecord record;
    tw::ClassifyReferrer(ctx, referrer, &record, phrase);
    FUZZ_CHECK(record.ReferrerDomain() != nullptr);
    switch (record.ReferrerKind) {
      case tw::RefNone:
        FUZZ_CHECK(domain == "-");
        [[fallthrough]];
      case tw::RefExternal:
      case tw::RefOwnSite:
        FUZZ_CHECK(record.EngineIndex == 0 && record.SearchPhrase() == nullptr);
        break;
      case tw::RefSearchEngine:
        FUZZ_CHECK(record.EngineIndex == FirstEngineIn(engines, domain));
        if (record.SearchPhrase() != nullptr) {
          const std::size_t n = std::strlen(record.SearchPhrase());
          FUZZ_CHECK(n > 0 && n <= tw::kMaxSearchPhrase);
          FUZZ_CHECK(std::strchr(record.SearchPhrase(), '+') == nullptr);
          FUZZ_CHECK(std::strchr(record.SearchPhrase(), '&') == nullptr);
        }
        break;
      default:
        FUZZ_CHECK(!"a referrer kind out of range");
    }
    if (record.ReferrerKind == tw::RefExternal) {
      FUZZ_CHECK(FirstEngineIn(engines, domain) < 0);
    }
  }
  return 0;
}
