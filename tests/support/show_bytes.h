#pragma once

// Shows a text with its control and 8-bit bytes escaped, for test messages:
// Show("a\tb\xE9") -> "[a\x09b\xE9]".

#include <cstdio>
#include <string>
#include <string_view>

namespace tw::testing {

inline std::string Show(std::string_view s) {
  std::string out = "[";
  for (unsigned char c : s) {
    if (c < 32 || c >= 127) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  return out + "]";
}

}  // namespace tw::testing
