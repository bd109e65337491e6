#include "parse/referrer.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "base/delimited.h"
#include "base/file_access.h"
#include "base/letter_case.h"
#include "base/utf8.h"
#include "log/string_pool.h"

namespace tw {
namespace {

bool Contains(std::string_view text, std::string_view part) {
  return !part.empty() && text.find(part) != std::string_view::npos;
}

// Position right after the first `marker` + `prefix` in `text`, or npos.
std::size_t FindAfter(std::string_view text, char marker, std::string_view prefix) {
  std::size_t pos = text.find(marker);
  while (pos != std::string_view::npos) {
    if (text.substr(pos + 1, prefix.size()) == prefix) return pos + 1 + prefix.size();
    pos = text.find(marker, pos + 1);
  }
  return std::string_view::npos;
}

// The pairs of neighbouring characters of a text, as a 256-bit set of hashes: a
// name whose first or last pair is missing cannot occur in the text.
class PairSet {
 public:
  explicit PairSet(std::string_view text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) Add(Hash(text[i], text[i + 1]));
  }
  bool MayContain(std::string_view name) const {
    const std::size_t n = name.size();
    return n < 2 || (Has(Hash(name[0], name[1])) && Has(Hash(name[n - 2], name[n - 1])));
  }

 private:
  static unsigned Hash(char a, char b) {
    return (static_cast<unsigned char>(a) * 33u + static_cast<unsigned char>(b)) & 255u;
  }
  void Add(unsigned h) { bits_[h >> 6] |= std::uint64_t{1} << (h & 63); }
  bool Has(unsigned h) const { return (bits_[h >> 6] >> (h & 63) & 1) != 0; }
  std::uint64_t bits_[4] = {0, 0, 0, 0};
};

// The marks of ReferrerDomainPool's entries: the engine a domain names, once
// looked for. Only indexes that fit a byte are kept; others are looked for again.
constexpr std::uint8_t kEngineNotSought = 0;
constexpr std::uint8_t kNoEngine = 1;
constexpr int kFirstEngineMark = 2;

// FindEngine for the line's `domain`, whose pooled copy is `pooled`. The
// search is letter-case sensitive, so its verdict is remembered on the pooled
// text only for a line that spells the domain exactly as the pool keeps it.
int FindEngineOnce(const EngineList& engines, std::string_view domain, const char* pooled) {
  const bool same_spelling = pooled != nullptr && std::strlen(pooled) == domain.size() &&
                             std::memcmp(pooled, domain.data(), domain.size()) == 0;
  if (!same_spelling) return FindEngine(engines, domain);
  const std::uint8_t mark = StringPool::Mark(pooled);
  if (mark == kNoEngine) return -1;
  if (mark != kEngineNotSought) return mark - kFirstEngineMark;
  const int engine = FindEngine(engines, domain);
  if (engine < 0) {
    StringPool::SetMark(pooled, kNoEngine);
  } else if (engine + kFirstEngineMark <= 255) {
    StringPool::SetMark(pooled, static_cast<std::uint8_t>(engine + kFirstEngineMark));
  }
  return engine;
}

}  // namespace

void LoadEngineList(const std::string& exe_folder, EngineList& list) {
  LoadEngineList(SystemFiles(), exe_folder, list);
}

void LoadEngineList(FileAccess& files, const std::string& exe_folder, EngineList& list) {
  list.EngineNames.clear();
  list.EngineParams.clear();
  std::string text;
  if (ReadListFile(files, exe_folder + "engines.lst", text) != 0) return;
  ParseEngineList(text, list);
}

void ParseEngineList(std::string_view file_text, EngineList& list) {
  const std::string utf8 = AsUtf8(file_text);
  const std::string_view text = utf8;
  list.EngineNames.clear();
  list.EngineParams.clear();
  std::string name, param, extra;
  std::size_t pos = 0;
  while (pos < text.size() && list.EngineNames.size() < kMaxEngines) {
    std::size_t eol = text.find_first_of("\r\n", pos);
    if (eol == std::string_view::npos) eol = text.size();
    DelimitedReader reader(text.substr(pos, eol - pos), ';');
    if (reader.Next(name) && reader.Next(param)) {
      list.EngineNames.push_back(name);
      list.EngineParams.push_back(param);
    }
    // CR LF is one line break; a break at the very end adds no line.
    pos = eol + 1;
    if (eol < text.size() && text[eol] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
  }
}

std::string_view ExtractReferrerDomain(std::string_view referrer) {
  std::size_t skip = 0;
  if (referrer.starts_with("https://")) {
    skip = referrer.substr(8).starts_with("www.") ? 12 : 8;
  } else if (referrer.starts_with("http://www.")) {
    skip = 11;
  } else if (referrer.find("http://www.") != std::string_view::npos) {
    skip = Utf8PrefixLength(referrer, 11);
  } else if (referrer.find("http://") != std::string_view::npos) {
    skip = Utf8PrefixLength(referrer, 7);
  }
  std::string_view rest = referrer.substr(skip);
  return rest.substr(0, rest.find('/'));
}

int FindEngine(const EngineList& engines, std::string_view domain) {
  // Most domains name no engine; the pair test turns most names away cheaply.
  const PairSet pairs(domain);
  const std::size_t count = std::min(engines.EngineNames.size(), kMaxEngines);
  for (std::size_t i = 0; i < count; ++i) {
    const std::string& name = engines.EngineNames[i];
    if (name.size() > domain.size() || !pairs.MayContain(name)) continue;
    if (Contains(domain, name)) return static_cast<int>(i);
  }
  return -1;
}

void ExtractSearchPhrase(const EngineList& engines, std::string_view referrer, int index,
                         std::string& phrase) {
  phrase.clear();
  const std::string& prefix = engines.EngineParams[static_cast<std::size_t>(index)];
  std::size_t start = FindAfter(referrer, '?', prefix);
  if (start == std::string_view::npos) start = FindAfter(referrer, '&', prefix);
  if (start == std::string_view::npos) return;

  std::string_view value = referrer.substr(start);
  value = value.substr(0, value.find('&'));
  value = value.substr(0, Utf8PrefixLength(value, kMaxSearchPhrase));
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  while (!value.empty() && blank(value.front())) value.remove_prefix(1);
  while (!value.empty() && blank(value.back())) value.remove_suffix(1);

  AppendLower(phrase, value);
  for (char& c : phrase) {
    if (c == '+') c = ' ';
  }
}

std::string ExtractSearchPhrase(const EngineList& engines, std::string_view referrer, int index) {
  std::string phrase;
  ExtractSearchPhrase(engines, referrer, index, phrase);
  return phrase;
}

void ClassifyReferrer(const ReferrerContext& ctx, std::string_view referrer, LogRecord* record,
                      std::string& phrase_buffer) {
  const std::string_view domain = ExtractReferrerDomain(referrer);
  record->SetReferrerDomain(ctx.ReferrerDomainPool->Intern(domain));
  record->ReferrerKind = RefExternal;
  record->EngineIndex = 0;
  record->SetSearchPhrase(nullptr);

  if (domain == "-") {
    record->ReferrerKind = RefNone;
    return;
  }
  // The domain has lost a leading "www.", so a site named after its www address
  // is looked for without it; otherwise its own pages would count as external.
  std::string_view own_site = ctx.SiteName;
  if (own_site.size() > 4 && own_site.substr(0, 4) == "www.") own_site.remove_prefix(4);
  if (Contains(domain, own_site)) {
    record->ReferrerKind = RefOwnSite;
    return;
  }
  if (ctx.Engines == nullptr) return;
  const int engine = ctx.RememberEngines
                         ? FindEngineOnce(*ctx.Engines, domain, record->ReferrerDomain())
                         : FindEngine(*ctx.Engines, domain);
  if (engine < 0) return;
  record->ReferrerKind = RefSearchEngine;
  record->EngineIndex = engine;
  ExtractSearchPhrase(*ctx.Engines, referrer, engine, phrase_buffer);
  if (!phrase_buffer.empty()) record->SetSearchPhrase(ctx.SearchPhrasePool->Intern(phrase_buffer));
}

}  // namespace tw
