#include "Stat_selection.h"

#include <cstdint>
#include <cstring>
#include <string_view>

namespace tw {

namespace {

// The extension of a request as the filter sees it: the text after the last
// '.', empty when there is no '.' or a '\' or ':' follows it. A '/' after the
// '.' does not end it ("/x.y/z" has the extension "y/z").
std::string_view RequestExtension(const char* url) {
  if (url == nullptr) return {};
  const char* dot = std::strrchr(url, '.');
  if (dot == nullptr) return {};
  const char* ext = dot + 1;
  if (std::strpbrk(ext, "\\:") != nullptr) return {};
  return std::string_view(ext);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool IsGraphics(std::string_view ext) {
  const std::string_view short_ext = ext.substr(0, 3);
  for (const char* graphics : {"jpg", "gif", "png", "bmp", "ico"}) {
    if (short_ext == graphics) return true;
  }
  // Four letters: the three-letter test alone would let ".jpeg" through.
  return StartsWith(ext, "jpeg");
}

}  // namespace

bool RequestPassesFilter(int filter, const char* url) {
  if (filter == 3) return true;
  const std::string_view ext = RequestExtension(url);
  if (filter == 2) return !IsGraphics(ext);
  const std::string_view short_ext = ext.substr(0, 3);
  return short_ext.empty() || short_ext == "htm" || short_ext == "php";
}

std::vector<const LogRecord*> SelectRecordsOf(const RecordArray& records,
                                              const SelectionChoice& choice) {
  // The root stands for the whole site, requests that don't start with '/'
  // ("*", absolute addresses) included.
  const bool whole_site = choice.section == "/";
  const std::string& section = choice.section;
  const std::int32_t count = records.Count();
  std::vector<const LogRecord*> selected;
  // Room for every record at once: growing by doubling would hold the old and
  // the new array together, half as much again as the whole selection.
  selected.reserve(static_cast<std::size_t>(count));
  for (std::int32_t i = 0; i < count; ++i) {
    const LogRecord* r = records[i];
    if (choice.skip_crawlers && r->IsCrawler) continue;
    if (!PeriodContains(choice.period, r->LogTime)) continue;
    if (!RequestPassesFilter(choice.request_filter, r->Url)) continue;
    if (!whole_site &&
        (r->Url == nullptr || std::strncmp(r->Url, section.c_str(), section.size()) != 0)) {
      continue;
    }
    selected.push_back(r);
  }
  return selected;
}

}  // namespace tw
