#include "parse/parser_decode.h"

#include <array>
#include <cstring>

#include "base/cp1251.h"
#include "base/letter_case.h"
#include "base/utf8.h"

namespace tw {
namespace {

constexpr std::array<signed char, 256> MakeHexTable() {
  std::array<signed char, 256> t{};
  for (auto& v : t) v = -1;
  for (int c = '0'; c <= '9'; ++c) t[c] = static_cast<signed char>(c - '0');
  for (int c = 'a'; c <= 'f'; ++c) t[c] = static_cast<signed char>(c - 'a' + 10);
  for (int c = 'A'; c <= 'F'; ++c) t[c] = static_cast<signed char>(c - 'A' + 10);
  return t;
}
constexpr std::array<signed char, 256> kHex = MakeHexTable();

inline int HexValue(char c) { return kHex[static_cast<unsigned char>(c)]; }

bool HasHighByte(const char* p, const char* end) {
  for (; p < end; ++p) {
    if (static_cast<unsigned char>(*p) >= 0x80) return true;
  }
  return false;
}

constexpr std::array<bool, 256> MakeDelimiterTable() {
  std::array<bool, 256> t{};
  for (const char c : {'/', '?', '&', '=', ';', '#'}) t[static_cast<unsigned char>(c)] = true;
  return t;
}
constexpr std::array<bool, 256> kDelimiter = MakeDelimiterTable();

const char* PartEnd(const char* p, const char* end) {
  while (p < end && !kDelimiter[static_cast<unsigned char>(*p)]) ++p;
  return p;
}

// Percent-decodes the part [p, end) into `out` and returns the end written.
// Sets *zero when a decoded zero byte ended it, *high when a byte of 0x80 or
// above was written.
char* DecodePart(const char* p, const char* end, char* out, bool* zero, bool* high) {
  while (p < end) {
    char c = *p;
    if (c == '%' && end - p >= 3 && HexValue(p[1]) >= 0 && HexValue(p[2]) >= 0) {
      c = static_cast<char>(HexValue(p[1]) << 4 | HexValue(p[2]));
      if (c == 0) {
        *zero = true;
        break;
      }
      p += 3;
    } else {
      ++p;
    }
    *high |= static_cast<unsigned char>(c) >= 0x80;
    *out++ = c;
  }
  return out;
}

// The decoded part [begin, end) read as Windows-1251, converted in place;
// `temp` has room for its bytes. Returns the new end.
char* Cp1251PartToUtf8(char* begin, char* end, char* temp) {
  const auto n = static_cast<std::size_t>(end - begin);
  std::memcpy(temp, begin, n);
  return begin + Cp1251ToUtf8(std::string_view(temp, n), begin);
}

// DecodePart of a path's part whose raw bytes are not all ASCII: its letters
// as written are lowered in the encoding the decoded part is in.
char* DecodeLoweredPart(const char* p, const char* end, char* out, char* temp, std::string& spare,
                        bool* zero) {
  bool high = false;
  const char* stop = DecodePart(p, end, out, zero, &high);
  const bool utf8 = IsUtf8(std::string_view(out, static_cast<std::size_t>(stop - out)));
  spare.clear();
  if (utf8) {
    // A character cut between raw and encoded bytes is no character to the
    // lowering, which passes it on as it is.
    AppendLower(spare, std::string_view(p, static_cast<std::size_t>(end - p)));
  } else {
    spare.assign(p, end);
    LowerCp1251InPlace(spare.data(), spare.size());
  }
  char* lowered = DecodePart(spare.data(), spare.data() + spare.size(), out, zero, &high);
  return utf8 ? lowered : Cp1251PartToUtf8(out, lowered, temp);
}

// Decodes `text` part by part into `scratch`; with `spare`, lowers the
// letters of the parts as written (DecodePath).
std::string_view DecodeParts(std::string_view text, std::string& scratch, std::string* spare) {
  if (const void* nul = std::memchr(text.data(), 0, text.size())) {
    text = text.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()));
  }
  const char* p = text.data();
  const char* end = p + text.size();
  // Each byte read gives at most three written; a part's bytes wait in the last quarter.
  if (scratch.size() < text.size() * 4) scratch.resize(text.size() * 4);
  char* out = scratch.data();
  char* temp = out + text.size() * 3;
  bool zero = false;
  for (;;) {
    const char* part_end = PartEnd(p, end);
    if (spare != nullptr && HasHighByte(p, part_end)) {
      out = DecodeLoweredPart(p, part_end, out, temp, *spare, &zero);
    } else {
      bool high = false;
      char* stop = DecodePart(p, part_end, out, &zero, &high);
      const bool utf8 = !high || IsUtf8(std::string_view(out, static_cast<std::size_t>(stop - out)));
      out = utf8 ? stop : Cp1251PartToUtf8(out, stop, temp);
    }
    if (zero || part_end == end) break;
    *out++ = *part_end;
    p = part_end + 1;
  }
  return std::string_view(scratch.data(), static_cast<std::size_t>(out - scratch.data()));
}

}  // namespace

std::string_view PercentDecode(std::string_view text, std::string& scratch, bool* high) {
  if (high != nullptr) *high = false;
  if (const void* nul = std::memchr(text.data(), 0, text.size())) {
    text = text.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()));
  }
  const char* p = text.data();
  const char* end = p + text.size();
  const auto* percent = static_cast<const char*>(std::memchr(p, '%', text.size()));
  if (percent == nullptr) return text;

  unsigned escaped_high = 0;
  // The result is never longer than the text: three characters give one byte.
  if (scratch.size() < text.size()) scratch.resize(text.size());
  char* out = scratch.data();
  std::memcpy(out, p, static_cast<std::size_t>(percent - p));
  out += percent - p;
  p = percent;
  while (p < end) {
    if (*p != '%') {
      const auto* next =
          static_cast<const char*>(std::memchr(p, '%', static_cast<std::size_t>(end - p)));
      if (next == nullptr) next = end;
      std::memcpy(out, p, static_cast<std::size_t>(next - p));
      out += next - p;
      p = next;
      continue;
    }
    if (end - p >= 3 && HexValue(p[1]) >= 0 && HexValue(p[2]) >= 0) {
      const auto byte = static_cast<unsigned char>(HexValue(p[1]) << 4 | HexValue(p[2]));
      if (byte == 0) break;  // the result ends at its first zero byte
      escaped_high |= byte;
      *out++ = static_cast<char>(byte);
      p += 3;
    } else {
      *out++ = *p++;  // a '%' without two hex digits stays
    }
  }
  if (high != nullptr) *high = (escaped_high & 0x80u) != 0;
  return std::string_view(scratch.data(), static_cast<std::size_t>(out - scratch.data()));
}

std::string_view DecodeUrl(std::string_view text, std::string& scratch) {
  // Most addresses are UTF-8 or ASCII as a whole, and then so is every part.
  const std::string_view bytes = PercentDecode(text, scratch);
  if (IsAscii(bytes) || IsUtf8(bytes)) return bytes;
  return DecodeParts(text, scratch, nullptr);
}

std::string_view DecodeAsciiUrl(std::string_view text, std::string& scratch) {
  bool high = false;
  const std::string_view bytes = PercentDecode(text, scratch, &high);
  if (!high || IsUtf8(bytes)) return bytes;
  return DecodeParts(text, scratch, nullptr);
}

std::string DecodeUrl(std::string_view text) {
  std::string scratch;
  return std::string(DecodeUrl(text, scratch));
}

std::string_view DecodePath(std::string_view text, std::string& scratch, std::string& spare) {
  // Escapes are ASCII: a path without high bytes had its letters lowered already.
  if (IsAscii(text)) {
    const std::string_view bytes = PercentDecode(text, scratch);
    if (bytes.data() == text.data() || IsAscii(bytes) || IsUtf8(bytes)) return bytes;
    return DecodeParts(text, scratch, nullptr);
  }
  return DecodeParts(text, scratch, &spare);
}

}  // namespace tw
