#pragma once

// Splitting a log line into its tokens. The delimiter is the blank and the
// quote character is '"':
//
//   1.2.3.4 - - [10/Oct/2000:13:55:36 -0700] "GET / HTTP/1.0" 200 5 "-" "Agent ""X"""
//   ->  1.2.3.4 | - | - | [10/Oct/2000:13:55:36 | -0700] | GET / HTTP/1.0 | 200 | 5 | - | Agent "X"
//
// - Codes 1 to 32 at the start and between tokens are skipped; runs of blanks
//   never give empty tokens.
// - A token that starts with '"' runs to the first '"' that is not doubled; two
//   quotes inside stand for one; the enclosing quotes are dropped. Without a
//   closing quote the token is the rest of the text without its last character
//   (for a line ending in a line feed, the line feed is what goes).
// - Any other token runs up to the first code 1 to 32. So "a"b gives two tokens
//   and a quoted "" one empty token.

#include <cstddef>
#include <new>
#include <string_view>

namespace tw {

// Room for N tokens, left unwritten: TokenizeInPlace writes each token before
// anything reads it, and on a line's hot path clearing the room would cost
// more than splitting the line. A view is trivially copyable and destroyed, so
// the bytes can hold views as they are.
template <std::size_t N>
class TokenRoom {
 public:
  TokenRoom() {}  // NOLINT: deliberately leaves the room unwritten
  std::string_view* data() { return std::launder(reinterpret_cast<std::string_view*>(bytes_)); }
  std::string_view& operator[](std::size_t i) { return data()[i]; }

 private:
  alignas(std::string_view) unsigned char bytes_[N * sizeof(std::string_view)];
};

// Splits `text` in place (doubled quotes are folded where they stand) and stores
// views of the tokens, which point into `text`, in `tokens`. Stops once
// `capacity` tokens are stored; returns the number stored. Ask for one more
// token than a line may have to tell "too many" from "exactly right".
// REQUIRES: `text` holds no zero byte (a line is cut at its first one before).
std::size_t TokenizeInPlace(char* text, std::size_t length, std::string_view* tokens,
                            std::size_t capacity);

// Copies `line` to `out` with Apache's escapes in quoted fields resolved, read
// left to right: "\\" stays as it is (both characters kept) and never pairs with
// a quote after it; "\"" becomes an apostrophe, so an escaped quote no longer
// ends its field. Returns the length written, which is at most line.size().
// REQUIRES: `out` has room for line.size() characters.
std::size_t ResolveEscapes(std::string_view line, char* out);

// ResolveEscapes of `line` up to its first zero byte, found in the same pass
// as the copy; *kept is set to the length of the line before that zero byte.
// *ascii, when given, is set to false when a byte kept is 0x80 or above, and to
// true when no byte of the line is (a high byte past the zero byte may go either way).
// REQUIRES: `out` has room for line.size() characters.
std::size_t CopyLineResolvingEscapes(std::string_view line, char* out, std::size_t* kept,
                                     bool* ascii = nullptr);

}  // namespace tw
