#include "parse/site_name.h"

#include <algorithm>

#include "base/letter_case.h"
#include "base/utf8.h"

namespace tw {
namespace {

bool AllDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsDashedDate(std::string_view text) {
  return text.size() == 10 && AllDigits(text.substr(0, 4)) && text[4] == '-' &&
         AllDigits(text.substr(5, 2)) && text[7] == '-' && AllDigits(text.substr(8, 2));
}

// Length of the rotation suffix that ends `name`, or 0.
std::size_t RotationSuffixLength(std::string_view name) {
  const std::size_t n = name.size();
  if (n > 11 && (name[n - 11] == '.' || name[n - 11] == '-') && IsDashedDate(name.substr(n - 10))) {
    return 11;
  }
  if (n > 9 && (name[n - 9] == '.' || name[n - 9] == '-') && AllDigits(name.substr(n - 8))) return 9;
  const std::size_t dot = name.find_last_of('.');
  if (dot != std::string_view::npos && dot > 0 && AllDigits(name.substr(dot + 1))) return n - dot;
  return 0;
}

}  // namespace

std::string_view FileNameOfPath(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string StripLogFileSuffixes(std::string_view path) {
  std::string name = ToLower(AsUtf8(FileNameOfPath(path)));
  for (std::string_view packed : {".gz", ".bz2", ".xz", ".zst"}) {
    if (name.size() > packed.size() && name.ends_with(packed)) {
      name.resize(name.size() - packed.size());
      break;
    }
  }
  const std::size_t rotation = RotationSuffixLength(name);
  if (rotation > 0 && rotation < name.size()) name.resize(name.size() - rotation);
  return name;
}

std::string SiteNameOfLogPath(std::string_view path) {
  const std::string name = StripLogFileSuffixes(path);
  // Positions count from 1, as name[i - 1].
  const std::size_t n = name.size();
  std::size_t i = n;
  while (i > 1 && name[i - 1] != '.') --i;
  ++i;
  while (i < n && name[i - 1] >= 'a' && name[i - 1] <= 'z') ++i;
  if (i < n) --i;
  return name.substr(0, std::min(i, n));
}

}  // namespace tw
