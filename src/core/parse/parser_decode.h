#pragma once

// Percent-decoding of request paths and referrers into UTF-8. The unit of
// the encoding is a part of the address: the text between two of the
// delimiters / ? & = ; # as the last decoding reads them. Each part, decoded,
// is kept when it is UTF-8 and otherwise read as Windows-1251 and converted
// (base/utf8.h), so one part never mixes both, while a form that sends its
// query in UTF-8 and its button in the code page reads right in both:
//
//   "/caf%C3%A9.html"              ->  "/café.html"        (UTF-8)
//   "/%CF%F0%E8"                   ->  "/При"              (not UTF-8: Windows-1251)
//   "/%D0%9F%CF"                   ->  "/РџП"              (one bad byte: all the part)
//   "?q=%D0%BC%D0%B8&b=%CD%E0%E9"  ->  "?q=ми&b=Най"       (each part on its own)
//   "/a%zz%"                       ->  "/a%zz%"            (no two hex digits: the '%' stays)
//   "a+b%2541"                     ->  "a+b%41"            ('+' is left alone; one level per call)
//   "/a%00b", "/a\0b"              ->  "/a"                (the result ends at its first zero byte)
//
// Raw bytes of a part count as much as decoded ones: "/Прив%D0%B5т" in UTF-8
// is UTF-8, the same in Windows-1251 is Windows-1251. The delimiters are ASCII
// and no byte of a UTF-8 character is, so no character is ever cut.

#include <string>
#include <string_view>

namespace tw {

// The bytes of `text` (up to its first zero byte) with each "%XX" replaced by
// the byte it stands for; a '%' without two hex digits after it is copied. The
// result ends at its first zero byte. No conversion: for decoding in steps.
//
// Returns a view of the result: `text` itself when it holds no '%', otherwise
// the start of `scratch`, which is grown as needed and whose size then means
// nothing. The view is valid until `scratch` or `text` changes.
// REQUIRES: `text` does not point into `scratch`.
// *high, when given, is set to whether an escape gave a byte of 0x80 or above.
std::string_view PercentDecode(std::string_view text, std::string& scratch, bool* high = nullptr);

// Percent-decodes `text`, each part as UTF-8 by the rule above. The view is
// `text` itself or lies in `scratch`, as for PercentDecode.
// REQUIRES: `text` does not point into `scratch`.
std::string_view DecodeUrl(std::string_view text, std::string& scratch);
std::string DecodeUrl(std::string_view text);
// DecodeUrl of a text that is all ASCII, quicker. REQUIRES: as for DecodeUrl.
std::string_view DecodeAsciiUrl(std::string_view text, std::string& scratch);

// DecodeUrl of a request path whose characters as written are lower-cased,
// while the characters that arrive encoded keep their case:
//   "/Café/%C3%89t%C3%A9"  ->  "/café/Été"
// Raw letters are lowered in the encoding their part turns out to be in.
// `spare` is scratch space as well. REQUIRES: `text` points into neither buffer.
std::string_view DecodePath(std::string_view text, std::string& scratch, std::string& spare);

}  // namespace tw
