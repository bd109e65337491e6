#pragma once

// Percent-decoding of request paths and referrers, with UTF-8 turned into the
// code page.
//
//   "/%D0%9F%D1%80%D0%B8"  ->  "/\xCF\xF0\xE8"  (UTF-8 "При" in Windows-1251)
//   "/%CF%F0"              ->  "/\xCF\xF0"      (not UTF-8: the bytes as they are)
//   "/a%zz%"               ->  "/a%zz%"         (no two hex digits: the '%' stays)
//   "a+b%2541"             ->  "a+b%41"         ('+' is left alone; one level per call)

#include <string>
#include <string_view>

namespace tw {

// Whether the bytes up to the first zero byte (or the end) form UTF-8: a byte
// below 0x80, or a lead byte 110xxxxx, 1110xxxx or 11110xxx followed by 1, 2 or 3
// bytes 10xxxxxx. Overlong forms and surrogates are not checked; empty is valid.
bool IsUtf8(std::string_view bytes);

// Decodes `text` (up to its first zero byte). Each run of consecutive "%XX"
// triples is decoded as a whole: when its bytes are UTF-8 they are converted to
// Windows-1251 (a character the code page lacks becomes '?'), otherwise they are
// kept as they are. A '%' without two hex digits after it is copied. The result
// ends at its first zero byte.
//
// Returns a view of the result: `text` itself when it holds no '%', otherwise
// the start of `scratch`, which is grown as needed and whose size then means
// nothing. The view is valid until `scratch` or `text` changes.
// REQUIRES: `text` does not point into `scratch`.
std::string_view DecodeUrl(std::string_view text, std::string& scratch);
std::string DecodeUrl(std::string_view text);

}  // namespace tw
