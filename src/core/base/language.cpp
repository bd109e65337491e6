#include "base/language.h"

#include <cerrno>
#include <new>

#include "base/letter_case.h"
#include "base/utf8.h"

namespace tw {
namespace {

constexpr std::string_view kDefaultLanguage = "English";

}  // namespace

LanguagePack::LanguagePack(std::string exe_folder, FileAccess& files)
    : files_(&files), folder_(std::move(exe_folder)) {
  Load(kDefaultLanguage);
}

std::string LanguagePack::PathOf(std::string_view name) const {
  std::string path = folder_;
  path += "Language/";
  path += name;
  path += ".lng";
  return path;
}

void LanguagePack::Load(std::string_view name) {
  const std::string path = PathOf(name);
  std::string contents;
  int error = 0;
  try {
    error = ReadListFile(*files_, path, contents);
  } catch (const std::bad_alloc&) {
    error = ENOMEM;
  }
  if (error == ENOENT || error == ENOTDIR) return;
  if (error != 0) {
    entries_.clear();
    return;
  }
  LoadFromText(contents);
}

void LanguagePack::LoadFromText(std::string_view text) {
  entries_.clear();
  try {
    Parse(AsUtf8(text.substr(0, text.find('\0'))));
  } catch (const std::bad_alloc&) {
    entries_.clear();  // no memory for the whole file: an empty pack, as for an unreadable one
  }
}

void LanguagePack::Parse(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(pos, end - pos);
    pos = end;
    if (pos < text.size()) {
      pos += (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    entries_.emplace_back(std::string(line.substr(0, eq)), std::string(line.substr(eq + 1)));
  }
}

std::size_t LanguagePack::Find(std::string_view id) const {
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (EqualNoCase(entries_[i].first, id)) return i;
  }
  return entries_.size();
}

std::string LanguagePack::Get(std::string_view id) const {
  const std::size_t i = Find(id);
  return i < entries_.size() ? entries_[i].second : std::string();
}

std::string LanguagePack::GetOr(std::string_view id, std::string_view fallback) const {
  const std::size_t i = Find(id);
  return i < entries_.size() ? entries_[i].second : std::string(fallback);
}

}  // namespace tw
