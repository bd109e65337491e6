#pragma once

// The core's texts are UTF-8. Text from outside (a log field once its escapes
// are decoded, a list file, a language pack) is taken whole: when all of it is
// well-formed UTF-8 it is kept as it is, otherwise all of it is read as
// Windows-1251, the code page of older logs, and converted. A text is never
// half one and half the other:
//
//   "caf\xC3\xA9"  ->  "caf\xC3\xA9"      (UTF-8 "café", kept)
//   "\xCF\xF0\xE8" ->  "\xD0\x9F\xD1\x80\xD0\xB8"  (Windows-1251 "При", converted)
//   "\xC3\xA9\xE9" ->  "\xD0\x93\xC2\xA9\xD0\xB9"  (one bad byte: all of it as the code page)
//
// Well-formed means what Unicode says: overlong forms, surrogates (U+D800 to
// U+DFFF) and code points past U+10FFFF are not UTF-8. A zero byte and other
// control characters are characters like any other.

#include <cstddef>
#include <string>
#include <string_view>

namespace tw {

// Whether all of `bytes` is well-formed UTF-8; empty is.
bool IsUtf8(std::string_view bytes);
// Whether every byte of `bytes` is below 0x80.
bool IsAscii(std::string_view bytes);

// `bytes` as UTF-8 by the rule above. Returns `bytes` itself when it is UTF-8,
// otherwise a view of the start of `scratch`, which is grown as needed and
// whose size then means nothing. The view is valid until `scratch` or `bytes`
// changes.
// REQUIRES: `bytes` does not point into `scratch`.
std::string_view AsUtf8(std::string_view bytes, std::string& scratch);
std::string AsUtf8(std::string_view bytes);

// How many bytes the first `count` characters of `text` take (all of them
// when it has fewer); a byte that starts no well-formed character counts as one.
std::size_t Utf8PrefixLength(std::string_view text, std::size_t count);

}  // namespace tw
