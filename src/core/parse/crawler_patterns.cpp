#include "parse/crawler_patterns.h"

#include <algorithm>

#include "base/file_access.h"
#include "base/letter_case.h"
#include "base/utf8.h"

namespace tw {
namespace {

bool SaysNothing(std::string_view line) {
  return line.empty() || line.front() == '#' ||
         line.find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace

void CrawlerPatterns::Parse(std::string_view file_text) {
  const std::string utf8 = AsUtf8(file_text);
  const std::string_view text = utf8;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t stop = start;
    while (stop < text.size() && text[stop] != '\n' && text[stop] != '\r') ++stop;
    const std::string_view line = text.substr(start, stop - start);
    if (!SaysNothing(line)) {
      std::string pattern = FoldCase(line);
      if (std::find(patterns_.begin(), patterns_.end(), pattern) == patterns_.end()) {
        patterns_.push_back(std::move(pattern));
      }
    }
    if (stop < text.size() && text[stop] == '\r' && stop + 1 < text.size() &&
        text[stop + 1] == '\n') {
      ++stop;
    }
    start = stop + 1;
  }
  Index();
}

void CrawlerPatterns::Index() {
  starts_.clear();
  pair_bits_.assign(65536 / 64, 0);
  single_.fill(false);
  for (std::size_t i = 0; i < patterns_.size(); ++i) {
    const std::string& p = patterns_[i];
    if (p.size() == 1) {
      single_[static_cast<unsigned char>(p[0])] = true;
      continue;
    }
    const auto pair = static_cast<std::uint16_t>(static_cast<unsigned char>(p[0]) << 8 |
                                                 static_cast<unsigned char>(p[1]));
    starts_.push_back(Start{pair, static_cast<std::uint32_t>(i)});
    pair_bits_[pair >> 6] |= std::uint64_t{1} << (pair & 63);
  }
  std::stable_sort(starts_.begin(), starts_.end(),
                   [](const Start& a, const Start& b) { return a.pair < b.pair; });
}

bool CrawlerPatterns::StartsHere(const std::string& folded, std::size_t at) const {
  const auto pair = static_cast<std::uint16_t>(static_cast<unsigned char>(folded[at]) << 8 |
                                               static_cast<unsigned char>(folded[at + 1]));
  if ((pair_bits_[pair >> 6] >> (pair & 63) & 1) == 0) return false;
  auto it = std::lower_bound(starts_.begin(), starts_.end(), pair,
                             [](const Start& s, std::uint16_t p) { return s.pair < p; });
  const std::string_view rest = std::string_view(folded).substr(at);
  for (; it != starts_.end() && it->pair == pair; ++it) {
    if (rest.starts_with(patterns_[it->pattern])) return true;
  }
  return false;
}

bool CrawlerPatterns::Matches(std::string_view user_agent) const {
  ++tests_;
  if (patterns_.empty()) return false;
  folded_.clear();
  AppendFolded(folded_, user_agent);
  for (std::size_t at = 0; at < folded_.size(); ++at) {
    if (single_[static_cast<unsigned char>(folded_[at])]) return true;
    if (at + 1 < folded_.size() && StartsHere(folded_, at)) return true;
  }
  return false;
}

std::string CrawlerPatternPathBeside(const std::string& crawler_path) {
  const std::size_t slash = crawler_path.find_last_of('/');
  const std::string folder =
      slash == std::string::npos ? std::string() : crawler_path.substr(0, slash + 1);
  return folder + kCrawlerPatternFileName;
}

void LoadCrawlerPatterns(FileAccess& files, const std::string& path, CrawlerPatterns& patterns) {
  std::string text;
  if (ReadListFile(files, path, text) != 0) return;
  patterns.Parse(text);
}

}  // namespace tw
