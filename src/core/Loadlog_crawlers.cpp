#include "Loadlog_crawlers.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "Loadlog_string_pool.h"

namespace tw {

void ParseCrawlerList(std::string_view text, StringPool& pool, std::vector<const char*>& crawlers) {
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
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    reason = std::strerror(EISDIR);
    return false;
  }
  errno = 0;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    reason = std::strerror(errno != 0 ? errno : ENOENT);
    return false;
  }
  std::string text;
  char block[64 * 1024];
  for (;;) {
    const std::size_t got = std::fread(block, 1, sizeof block, file);
    text.append(block, got);
    if (got < sizeof block) break;
  }
  const bool failed = std::ferror(file) != 0;
  const int error = errno;
  std::fclose(file);
  if (failed) {
    reason = std::strerror(error != 0 ? error : EIO);
    return false;
  }
  ParseCrawlerList(text, pool, crawlers);
  return true;
}

}  // namespace tw
