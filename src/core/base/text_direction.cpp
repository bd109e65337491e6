#include "base/text_direction.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <cstdint>

namespace tw {

bool ReadsRightToLeft(std::string_view utf8) {
  if (utf8.starts_with('/') || utf8.find("://") != std::string_view::npos) return false;
  const auto* s = reinterpret_cast<const std::uint8_t*>(utf8.data());
  const auto length = static_cast<std::int32_t>(utf8.size());
  for (std::int32_t i = 0; i < length;) {
    UChar32 c = 0;
    U8_NEXT(s, i, length, c);
    if (c < 0) continue;
    switch (u_charDirection(c)) {
      case U_LEFT_TO_RIGHT: return false;
      case U_RIGHT_TO_LEFT:
      case U_RIGHT_TO_LEFT_ARABIC: return true;
      default: break;
    }
  }
  return false;
}

}  // namespace tw
