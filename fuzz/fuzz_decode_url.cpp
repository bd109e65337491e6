// Percent-decoding, the UTF-8 test and the code page converters on arbitrary
// bytes. Besides crashes it checks that decoding always gives UTF-8 without a
// zero byte, that percent-decoding never lengthens a text, that a text without
// '%' comes back part by part as itself when it is UTF-8, and that every byte
// of the code page survives the way to UTF-8 and back.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "base/cp1251.h"
#include "base/utf8.h"
#include "fuzz_support.h"
#include "parse/parser_decode.h"

namespace {

// A text without escapes as decoding gives it: each part between the
// delimiters / ? & = ; # judged on its own, UTF-8 kept, else converted.
std::string PartsAsUtf8(std::string_view text) {
  std::string out;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find_first_of("/?&=;#"), text.size());
    out += tw::AsUtf8(text.substr(0, end));
    if (end < text.size()) out += text[end];
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string_view text = input.substr(0, input.find('\0'));

  // A scratch buffer kept between inputs, as the parser keeps its own.
  static std::string scratch;
  const std::string_view decoded = tw::DecodeUrl(input, scratch);
  FUZZ_CHECK(decoded.size() <= 3 * text.size());
  FUZZ_CHECK(decoded.find('\0') == std::string_view::npos);
  FUZZ_CHECK(tw::IsUtf8(decoded));
  if (text.find('%') == std::string_view::npos) FUZZ_CHECK(decoded == PartsAsUtf8(text));
  FUZZ_CHECK(tw::DecodeUrl(input) == decoded);
  static std::string spare;
  FUZZ_CHECK(tw::IsUtf8(tw::DecodePath(input, scratch, spare)));

  // Decoding in two steps, as the parser does with referrers.
  const std::string once(tw::PercentDecode(input, scratch));
  FUZZ_CHECK(once.size() <= text.size());
  std::string scratch2;
  FUZZ_CHECK(tw::IsUtf8(tw::DecodeUrl(once, scratch2)));

  const bool utf8 = tw::IsUtf8(input);
  bool ascii = true;
  for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii && text.size() == input.size()) FUZZ_CHECK(utf8);

  const std::string cp = tw::Utf8ToCp1251(input);
  FUZZ_CHECK(cp.size() <= input.size());
  if (ascii && text.size() == input.size()) FUZZ_CHECK(cp == input);

  const std::string back_utf8 = tw::Cp1251ToUtf8(input);
  FUZZ_CHECK(tw::IsUtf8(back_utf8));
  FUZZ_CHECK(back_utf8.size() <= 3 * input.size());
  std::string expected(input);
  for (char& c : expected) {
    if (static_cast<unsigned char>(c) == 0x98) c = '?';  // the one byte without a character
  }
  FUZZ_CHECK(tw::Utf8ToCp1251(back_utf8) == expected);
  return 0;
}
