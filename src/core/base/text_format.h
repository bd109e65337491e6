#pragma once

// printf-style formatting for texts the user can edit (language packs), so a
// format never has to be trusted.
//
//   FormatText("Loading %s: %d%c", {path, 42, FormatArg::Char('%')})
//       -> "Loading /var/log/access_log: 42%"
//   FormatText("%.2f%", {12.5})        -> "12.50%"   (a '%' at the very end is a plain '%')
//   FormatText("%d rows, %s", {"x", 7}) -> "%d rows, %s"  (neither conversion fits its argument)
//
// Conversions: d i u o x X c s f F e E g G a A and %%, with the flags - + space
// # 0, a decimal width and a decimal precision. The length modifiers hh h l ll
// j z t L are read and ignored: an argument carries its own type.
//
// Rules:
// - The result holds at most kFormatLimit characters; the rest is cut off.
//   Widths and precisions of any size cost no more time or memory than that.
// - The decimal separator is always '.', whatever the process locale.
// - A '%' that is the last character of the format is printed as '%'.
// - The format ends at its first zero byte, and so does a text argument. The
//   result ends where a zero byte would enter it (%c of 0).
//
// Checked conversions. Every conversion is checked against the argument it
// would take; one that does not fit is copied to the result as it stands:
// - %d %i %u %o %x %X take an integer or a character (its code, 0 to 255);
//   %c takes a character or an integer (its low byte); %s takes a text;
//   %f %F %e %E %g %G %a %A take a floating-point number.
// - %n and %p never fit (there is nothing to write to or point at), nor does a
//   '*' width or precision, nor a conversion with no argument left.
// - A conversion with a known letter always consumes the argument printf would
//   give it (two or three for '*' forms), fitting or not, so the conversions
//   after a faulty one still meet their own arguments.
// - An unknown letter ("%y", "%5$d") consumes nothing: the characters read up to
//   it are copied, and the text goes on at that letter.
// - "%%" prints '%' and consumes nothing; a flag, width or precision before
//   the second '%' makes it an unknown conversion.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace tw {

inline constexpr std::size_t kFormatLimit = 1023;

// One argument of FormatText. Built implicitly from integers, floating-point
// numbers, texts and characters; a text is only borrowed, so the argument must
// not outlive it (temporaries in the call are fine).
class FormatArg {
 public:
  enum class Kind { kInteger, kFloating, kText, kCharacter };

  FormatArg(int v) : FormatArg(static_cast<long long>(v), 8 * sizeof(int)) {}
  FormatArg(long v) : FormatArg(static_cast<long long>(v), 8 * sizeof(long)) {}
  FormatArg(long long v) : FormatArg(v, 8 * sizeof(long long)) {}
  FormatArg(unsigned v) : FormatArg(static_cast<unsigned long long>(v)) {}
  FormatArg(unsigned long v) : FormatArg(static_cast<unsigned long long>(v)) {}
  FormatArg(unsigned long long v) : kind_(Kind::kInteger), bits_(v), unsigned_(true) {}
  FormatArg(double v) : kind_(Kind::kFloating), floating_(v) {}
  // A null pointer is taken as an empty text.
  FormatArg(const char* text) : FormatArg(std::string_view(text ? text : "")) {}
  FormatArg(const std::string& text) : FormatArg(std::string_view(text)) {}
  FormatArg(std::string_view text) : kind_(Kind::kText), text_(text) {}
  FormatArg(char c) : kind_(Kind::kCharacter), bits_(static_cast<unsigned char>(c)) {}

  static FormatArg Char(char c) { return FormatArg(c); }

  Kind kind() const { return kind_; }
  double floating() const { return floating_; }
  std::string_view text() const { return text_; }
  // Integer or character as a signed value (a character is its code 0 to 255;
  // an unsigned value above the signed range is not negative: see IsNegative).
  bool IsNegative() const { return !unsigned_ && static_cast<std::int64_t>(bits_) < 0; }
  // The magnitude of a signed value, or the value of an unsigned one.
  std::uint64_t Magnitude() const;
  // The value as %u %o %x read it: a negative value in the two's complement of
  // its own type's width (-1 given as int reads 4294967295).
  std::uint64_t UnsignedBits() const;

 private:
  FormatArg(long long v, unsigned width)
      : kind_(Kind::kInteger), bits_(static_cast<std::uint64_t>(v)), width_(width) {}

  Kind kind_;
  std::uint64_t bits_ = 0;
  unsigned width_ = 64;    // bits of the integer type the value came as
  bool unsigned_ = false;  // the value came as an unsigned type
  double floating_ = 0;
  std::string_view text_;
};

// What a formatting run found; for checking format texts against their callers.
struct FormatCheck {
  int mismatched = 0;         // conversions copied as they stand (unknown letters included)
  std::size_t args_used = 0;  // arguments consumed by the conversions
  bool cut = false;           // the result reached kFormatLimit and was cut
};

// Formats `args` by `format`; `check`, when given, receives what the run found.
std::string FormatText(std::string_view format, std::initializer_list<FormatArg> args,
                       FormatCheck* check = nullptr);
std::string FormatText(std::string_view format, std::span<const FormatArg> args,
                       FormatCheck* check = nullptr);

}  // namespace tw
