#pragma once

// The names of the log formats, apart from the formats themselves, so that the
// line parser, which the formats call, need not include them.

namespace tw {

enum class LogFormatName { kCombined, kVhostCombined, kCombinedExtra, kCommon, kCustom };

}  // namespace tw
