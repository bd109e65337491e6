#pragma once

// The fields of a log line that are read as numbers: the request time, the
// status and the response size. The client address is read by address_text.h.

#include <cstdint>
#include <string_view>

#include "log/address_text.h"
#include "log/record.h"

namespace tw {

// Reads the time token of a log line, "[10/Oct/2000:13:55:36" (the zone offset
// is a token of its own and is not used). The numbers are at most 2 characters
// (the year 4) after optional white space that does not count; a sign counts.
// The month is one of "Jan" ... "Dec", letter case as written. Accepted ranges:
// day 0-31, year 1970-2032, hour 0-23, minute and second 0-59. A day past the
// end of its month passes; IsCalendarDate tells such times apart.
// Returns 0 and stores the packed time in *time, or -1 and leaves *time unchanged.
int ParseLogTime(std::string_view text, LogTime* time);

// Reads the status or the size token: optional white space, an optional sign and
// decimal digits, and nothing after them. The empty token reads as 0; a token
// without digits fails. A value outside the 32-bit range is clamped to it.
bool ParseLogNumber(std::string_view token, std::int32_t* value);

}  // namespace tw
