#include "parse/crawlers.h"

#include <cstring>

#include "base/file_access.h"
#include "base/utf8.h"
#include "log/string_pool.h"

namespace tw {

void ParseCrawlerList(std::string_view file_text, StringPool& pool,
                      std::vector<const char*>& crawlers) {
  const std::string utf8 = AsUtf8(file_text);
  const std::string_view text = utf8;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t stop = start;
    while (stop < text.size() && text[stop] != '\n' && text[stop] != '\r') ++stop;
    const std::size_t count_before = pool.Count();
    const char* pooled = pool.Intern(text.substr(start, stop - start));
    if (pool.Count() != count_before) crawlers.push_back(pooled);
    if (stop < text.size() && text[stop] == '\r' && stop + 1 < text.size() && text[stop + 1] == '\n') {
      ++stop;
    }
    start = stop + 1;
  }
}

bool LoadCrawlerList(const std::string& path, StringPool& pool, std::vector<const char*>& crawlers,
                     std::string& reason) {
  return LoadCrawlerList(SystemFiles(), path, pool, crawlers, reason);
}

bool LoadCrawlerList(FileAccess& files, const std::string& path, StringPool& pool,
                     std::vector<const char*>& crawlers, std::string& reason) {
  std::string text;
  if (const int error = ReadListFile(files, path, text); error != 0) {
    reason = std::strerror(error);
    return false;
  }
  ParseCrawlerList(text, pool, crawlers);
  return true;
}

}  // namespace tw
