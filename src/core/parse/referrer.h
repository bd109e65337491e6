#pragma once

// Referrer classification: where a visitor came from, and for a search engine
// which engine and which phrase.
//
// The engine list comes from engines.lst beside the program, one engine per
// line, "name;prefix":
//
//   images.google;q=        ->  EngineNames[0] "images.google", EngineParams[0] "q="
//   google;q=               ->  EngineNames[1] "google",        EngineParams[1] "q="
//   yandex;text=            ->  EngineNames[2] "yandex",        EngineParams[2] "text="
//
// The name is looked for inside a referrer's domain, first match wins, so a
// name that contains another must stand above it. The prefix carries the
// parameter name with its '=' and is looked for right after a '?' or '&'.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "log/record.h"

namespace tw {

class FileAccess;
class StringPool;

// Two parallel lists, one entry per usable line of engines.lst; the position
// of an entry is the engine's index.
struct EngineList {
  std::vector<std::string> EngineNames;
  std::vector<std::string> EngineParams;
};

// EngineIndex is a signed 16-bit field, so only this many engines are addressable.
inline constexpr std::size_t kMaxEngines = 32767;

// A search phrase keeps at most this many characters (code points) of the referrer.
inline constexpr std::size_t kMaxSearchPhrase = 1000;

// Replaces `list` with the engines of exe_folder + "engines.lst".
// REQUIRES: exe_folder is empty or ends with '/'.
// A missing or unreadable file leaves the list empty. See ParseEngineList for the lines.
void LoadEngineList(const std::string& exe_folder, EngineList& list);
// The same through `files`.
void LoadEngineList(FileAccess& files, const std::string& exe_folder, EngineList& list);

// Replaces `list` with the engines of the text of an engines.lst file, read as
// UTF-8 when it is, else as Windows-1251 (base/utf8.h). Names and prefixes are
// matched as written, letter case included. Lines end
// in CR LF, LF or CR; each is split at ';' by the delimited-text rule
// (base/delimited.h). Field 1 is the name, field 2 the prefix, further fields are
// ignored; a line with fewer than two fields (an empty line among them) is skipped.
// Only the first kMaxEngines usable lines are kept.
void ParseEngineList(std::string_view text, EngineList& list);

// The domain part of a UTF-8 referrer, a view into `referrer`:
//   "http://www.example.com/a/b"  ->  "example.com"
//   "https://www.example.com/"    ->  "example.com"
//   "-"                           ->  "-"
// A referrer that starts with "https://" loses that, and a "www." right after it.
// Otherwise 7 characters (not bytes) are skipped when "http://" occurs anywhere
// in the text and 11 when "http://www." does; the domain then runs up to the next '/'.
std::string_view ExtractReferrerDomain(std::string_view referrer);

// Index of the first engine whose name occurs in `domain` (case-sensitive), or -1.
// An empty name matches nothing; only the first kMaxEngines entries are tried.
int FindEngine(const EngineList& engines, std::string_view domain);

// The search phrase of engine `index` in `referrer`, written into `phrase`
// (replacing its contents, reusing its capacity): the text after the first
// "?" + prefix, else after the first "&" + prefix, cut at its first '&', at most
// kMaxSearchPhrase characters (not bytes), trimmed of codes 0 to 32 at both
// ends, lower-cased (base/letter_case.h ToLower), then every '+' made a blank.
// Empty when neither marker occurs. REQUIRES: `referrer` is UTF-8.
// REQUIRES: 0 <= index < engines.EngineParams.size().
void ExtractSearchPhrase(const EngineList& engines, std::string_view referrer, int index,
                         std::string& phrase);
std::string ExtractSearchPhrase(const EngineList& engines, std::string_view referrer, int index);

// What ClassifyReferrer reads besides the referrer. The pools are the loaded
// log's; SiteName is the site's own lower-case domain name.
struct ReferrerContext {
  StringPool* ReferrerDomainPool = nullptr;
  StringPool* SearchPhrasePool = nullptr;
  std::string_view SiteName;
  const EngineList* Engines = nullptr;  // null: no engines
  // True when ReferrerDomainPool meets no other engine list in its life (a
  // load's pools): the engine a domain names is then remembered on the pooled
  // domain (its mark) and looked for once, not once per line.
  bool RememberEngines = false;
};

// Sets ReferrerDomain, ReferrerKind, EngineIndex and SearchPhrase of `record`
// from the decoded referrer text of its line, UTF-8:
//   domain exactly "-"                 -> RefNone
//   SiteName occurs in the domain      -> RefOwnSite (a leading "www." of
//                                         SiteName is left out, as the domain lost it)
//   an engine name occurs in it        -> RefSearchEngine, EngineIndex, SearchPhrase
//                                         (null when the phrase is empty)
//   otherwise                          -> RefExternal
// EngineIndex is 0 and SearchPhrase null unless the kind is RefSearchEngine.
// `phrase_buffer` is scratch space, reused between calls.
// REQUIRES: both pools of `ctx` are set.
void ClassifyReferrer(const ReferrerContext& ctx, std::string_view referrer, LogRecord* record,
                      std::string& phrase_buffer);

}  // namespace tw
