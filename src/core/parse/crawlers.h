#pragma once

// The crawler list, crawlers.lst beside the program: one complete user-agent
// text per line, exactly as it appears in the log.
//
//   "Googlebot/2.1\r\nGOOGLEBOT/2.1\n\nbingbot\n"
//     -> UserAgentPool holds "Googlebot/2.1", "" and "bingbot";
//        crawlers == {"Googlebot/2.1", "", "bingbot"} as pooled pointers
//
// Lines end in CR LF, LF or CR; a line break at the very end adds no line; an
// empty line in the middle is an entry (the empty user agent); blanks belong
// to the line. Lines equal but for letter case are kept once, first spelling.
// The file is read as UTF-8 when it is, else as Windows-1251 (base/utf8.h).

#include <string>
#include <string_view>
#include <vector>

namespace tw {

class FileAccess;
class StringPool;

// The file's name in the program's folder.
inline constexpr const char* kCrawlerFileName = "crawlers.lst";

// Interns every line of `text` into `pool` and appends the pooled pointer of
// each distinct line to `crawlers`, in the order of first appearance.
void ParseCrawlerList(std::string_view text, StringPool& pool, std::vector<const char*>& crawlers);

// Reads the file at `path` and hands its text to ParseCrawlerList. Returns
// false when the file cannot be read, with the system's reason in `reason`
// ("No such file or directory"); `pool` and `crawlers` are then unchanged.
bool LoadCrawlerList(const std::string& path, StringPool& pool, std::vector<const char*>& crawlers,
                     std::string& reason);
// The same through `files`.
bool LoadCrawlerList(FileAccess& files, const std::string& path, StringPool& pool,
                     std::vector<const char*>& crawlers, std::string& reason);

}  // namespace tw
