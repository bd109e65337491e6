#pragma once

// Letter case of UTF-8 texts by Unicode's simple mappings, one character to
// one character (ICU's u_foldCase and u_tolower), so that texts equal but for
// letter case are one text in every script:
//
//   "ΣΑΣ", "σας", "σασ"     one text: final sigma folds to σ
//   "STRASSE", "straße"     two texts: ß would need the full folding, one to two
//   "K" (Kelvin sign), "k"  one text, though one is three bytes and one is one
//
// ASCII takes a fast path and pays nothing for the rest. A byte that starts no
// well-formed character (base/utf8.h) stands for itself and equals only itself.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tw {

// `text` case-folded, appended to `out`. A folded character may take other
// bytes than the original, never more than half as many again.
void AppendFolded(std::string& out, std::string_view text);
std::string FoldCase(std::string_view text);

// `text` in lower case, appended to `out`: for display, so a final sigma stays ς
// and µ stays µ, where folding gives σ and μ.
void AppendLower(std::string& out, std::string_view text);
std::string ToLower(std::string_view text);

// Lower-cases the ASCII letters of `text` in place, leaving every other byte.
void LowerAsciiInPlace(char* text, std::size_t length);

// Whether FoldCase(a) == FoldCase(b), without making either.
bool EqualNoCase(std::string_view a, std::string_view b);
// A hash of FoldCase(text): texts equal under EqualNoCase hash equally.
std::uint64_t HashNoCase(std::string_view text);
// HashNoCase of a text of ASCII, into *hash; false, and *hash unchanged, for a
// text with a byte of 0x80 or above. Never folds, so it costs next to nothing.
bool HashNoCaseOfAscii(std::string_view text, std::uint64_t* hash);
// Negative, zero or positive as FoldCase(a) orders before, with or after
// FoldCase(b) by code points, a prefix first; a byte that starts no character
// orders after every character.
int CompareNoCase(std::string_view a, std::string_view b);

}  // namespace tw
