#pragma once

// The reports' texts as UTF-8, the character set of every output but the
// table file of File > Save.

#include <string>
#include <string_view>

#include "base/cp1251.h"

namespace tw {

inline std::string Utf8Text(std::string_view report_text) { return Cp1251ToUtf8(report_text); }

}  // namespace tw
