#pragma once

// The 8-bit code page Windows-1251: what older logs, list files and language
// packs are written in, and what the saved table is written in by default.
// The core itself holds UTF-8 (base/utf8.h). Letter case covers Latin and every
// Cyrillic letter of the code page: the Russian alphabet with Ё, and the
// Ukrainian, Belarusian, Serbian and Macedonian letters (Ђ Ѓ Љ Њ Ќ Ћ Џ Ў Ј Ґ Є Ї І Ѕ).

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace tw {

// The lower-case form of one byte; bytes that are no upper-case letter come back unchanged.
inline unsigned char LowerCp1251(unsigned char c);

// Lower-cases the Windows-1251 `text` in place.
void LowerCp1251InPlace(char* text, std::size_t length);

// Converts UTF-8 to Windows-1251. A character the code page lacks becomes '?',
// and so does every byte that is not part of a well-formed character (overlong
// forms, surrogates and code points past U+10FFFF included): one '?' per
// malformed sequence.
std::string Utf8ToCp1251(std::string_view utf8);
// The same conversion into `out`, which has room for utf8.size() bytes (the
// result is never longer) and may be utf8.data() itself: each byte is written
// after the bytes it comes from are read. Returns the bytes written.
std::size_t Utf8ToCp1251(std::string_view utf8, char* out);

// Converts Windows-1251 to UTF-8; the one unassigned byte 0x98 becomes U+FFFD.
std::string Cp1251ToUtf8(std::string_view text);
// The same conversion into `out`, which has room for 3 * text.size() bytes.
// Returns the bytes written. REQUIRES: `out` does not overlap `text`.
std::size_t Cp1251ToUtf8(std::string_view text, char* out);

namespace detail {
extern const std::array<unsigned char, 256> kLowerTable;
}  // namespace detail

inline unsigned char LowerCp1251(unsigned char c) { return detail::kLowerTable[c]; }

}  // namespace tw
