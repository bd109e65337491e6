#pragma once

// A local path as a "file://" address for the desktop's default handler.

#include <string>

namespace tw {

// "file://" and the path with every byte but letters, digits, "-._~" and "/"
// percent-encoded, so spaces, '%', '#' and bytes of any code page survive.
//   "/opt/my tw/help.html" -> "file:///opt/my%20tw/help.html"
// REQUIRES: `path` is absolute.
std::string FileAddress(const std::string& path);

}  // namespace tw
