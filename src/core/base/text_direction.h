#pragma once

// Which way a text reads, for laying it out in a cell: right to left when its
// first letter with a direction is Arabic, Hebrew or another right-to-left
// script, as the Unicode rule for a paragraph's direction has it. A path or
// an address ("/...", "...://...") reads left to right whatever its parts:
// its slashes and dots run that way, and each right-to-left part still reads
// right to left inside it.
//
//   "مرحبا بالعالم"  -> true      "/عربي.html"  -> false
//   "«שלום»"         -> true      "a مرحبا"     -> false

#include <string_view>

namespace tw {

// REQUIRES: `utf8` is UTF-8 (a bad byte reads as having no direction).
bool ReadsRightToLeft(std::string_view utf8);

}  // namespace tw
