#pragma once

// The site a log belongs to, guessed from its file name.

#include <string>
#include <string_view>

namespace tw {

// The file name part of a path: everything after the last '/'.
std::string_view FileNameOfPath(std::string_view path);

// The file name as UTF-8 (base/utf8.h), lower-cased, without what compression
// and log rotation add:
// first one of ".gz", ".bz2", ".xz", ".zst", then one of "." and digits
// (".1"), "-" or "." and an eight-digit date (".20261201"), "-" or "." and a
// date YYYY-MM-DD. A suffix that is the whole name stays.
//   "Site.example-access_log.2.GZ" -> "site.example-access_log"
std::string StripLogFileSuffixes(std::string_view path);

// The site name of a log: the stripped name cut after the letters that follow
// its last dot.
//   "site.example-access_log.2.gz" -> "site.example",  "access.log.1" -> "access.log"
std::string SiteNameOfLogPath(std::string_view path);

}  // namespace tw
