#pragma once

// The crawler patterns, crawler-patterns.lst beside the program: one piece of
// text per line; a user agent that contains one of them, letter case ignored,
// is a crawler's.
//
//   "# search engines\nGooglebot\n\n  \nbingbot/\n"
//     -> patterns "googlebot" and "bingbot/"
//   Matches("Mozilla/5.0 (compatible; GOOGLEBOT/2.1)") == true
//
// Lines end in CR LF, LF or CR. A line that starts with '#', is empty or holds
// only blanks says nothing; otherwise blanks belong to the pattern, so " bot"
// finds "Uptime Bot" but not "Cubot". The file is read as UTF-8 when it is,
// else as Windows-1251 (base/utf8.h); letter case is ignored by simple case
// folding (base/letter_case.h), and folded texts are compared byte by byte:
// UTF-8 lets a folded pattern match only where a folded character starts.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

class FileAccess;

inline constexpr const char* kCrawlerPatternFileName = "crawler-patterns.lst";

class CrawlerPatterns {
 public:
  // Adds the patterns of `text`; one met before (letter case ignored) is kept once.
  void Parse(std::string_view text);

  // Whether `user_agent` contains a pattern, letter case ignored.
  bool Matches(std::string_view user_agent) const;

  std::size_t Count() const { return patterns_.size(); }
  // How many times Matches ran: it is meant to run once per distinct user agent.
  std::size_t Tests() const { return tests_; }

 private:
  // One pass over the agent finds every place where a pattern may start: a
  // pattern is filed under its first two bytes (of its folded UTF-8), and a bit per pair of bytes
  // says whether any pattern starts with that pair. Only there are patterns
  // compared, so the cost hardly grows with the length of the list.
  struct Start {
    std::uint16_t pair;     // the pattern's first two bytes, first byte high
    std::uint32_t pattern;  // index into patterns_
  };

  void Index();
  bool StartsHere(const std::string& folded, std::size_t at) const;

  std::vector<std::string> patterns_;     // case-folded
  std::vector<Start> starts_;             // patterns of two bytes or more, by pair
  std::vector<std::uint64_t> pair_bits_;  // 65536 bits, one per pair of bytes
  std::array<bool, 256> single_{};        // the patterns of one byte
  mutable std::string folded_;            // the agent being tested, case-folded
  mutable std::size_t tests_ = 0;
};

// The pattern file in the folder of `crawler_path` (the crawler list's path).
std::string CrawlerPatternPathBeside(const std::string& crawler_path);

// Reads the pattern file at `path` into `patterns`. A file that cannot be read
// (none there, most often) adds no patterns: the file is optional.
void LoadCrawlerPatterns(FileAccess& files, const std::string& path, CrawlerPatterns& patterns);

}  // namespace tw
