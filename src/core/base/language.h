#pragma once

// The language pack: every user-visible word that is not log data, looked up by
// id in a text file beside the program, <exe folder>Language/<name>.lng.
//
//   M1=&File                 Get("m1")   -> "&File"       (ids ignore letter case)
//   m1=&Datei                             (a later line with the same id is never seen)
//   24= Site section         Get("24")   -> " Site section "  (blanks kept, trailing too)
//   m11 =&Open               Get("m11")  -> ""            (the blank belongs to the id "m11 ")
//   id1000=a=b               Get("id1000") -> "a=b"       (only the first '=' separates)
//   no equals sign here      ignored
//
// File rules: lines end at CR LF, LF or a lone CR; a last line without a line end
// counts; a zero byte ends the text. The id is everything before the first '='
// of a line, the text everything after it, both character for character (no
// trimming, no escapes, no byte-order mark). A pack is written in Windows-1251
// and held as UTF-8: a file that is UTF-8 already is taken as it is (base/utf8.h).

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/file_access.h"

namespace tw {

class LanguagePack {
 public:
  // An empty pack: every Get yields an empty text.
  LanguagePack() = default;
  // REQUIRES: `exe_folder` is the folder of the running executable, ending in
  // '/'; `files` outlives the pack. Loads "English" from it through `files`.
  explicit LanguagePack(std::string exe_folder, FileAccess& files = SystemFiles());

  // Reads <exe folder>Language/<name>.lng. When no file exists at that path
  // nothing changes. A file that exists but cannot be read in full (a folder, no
  // permission, a read error, no memory) leaves the pack empty.
  void Load(std::string_view name);

  // Replaces the lines by those of `text`, as if it were a file's contents
  // (the pack is left empty when memory runs out).
  void LoadFromText(std::string_view text);

  // The text of the first line whose id equals `id`, letter case ignored; an
  // empty text when no line has that id. The copy belongs to the caller.
  std::string Get(std::string_view id) const;

  // Get, or `fallback` when no line has the id (a line with an empty text
  // counts as present).
  std::string GetOr(std::string_view id, std::string_view fallback) const;

  // Lines that carry an id ('=' present), in file order.
  std::size_t EntryCount() const { return entries_.size(); }

  // The path Load would read for `name`.
  std::string PathOf(std::string_view name) const;

 private:
  // Index of the first entry with `id`, or EntryCount() when there is none.
  std::size_t Find(std::string_view id) const;
  // Appends the entries of `text`, which holds no zero byte.
  void Parse(std::string_view text);

  FileAccess* files_ = &SystemFiles();
  std::string folder_;
  std::vector<std::pair<std::string, std::string>> entries_;  // id, text
};

}  // namespace tw
