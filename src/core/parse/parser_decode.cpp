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

bool HasHighByte(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  }
  return false;
}

// Windows-1251 `bytes` converted to UTF-8 and placed in `scratch`: after
// `bytes` when they are the start of `scratch`, else at its start.
std::string_view Cp1251IntoScratch(std::string_view bytes, std::string& scratch) {
  const bool inside = bytes.data() == scratch.data();
  const std::size_t at = inside ? bytes.size() : 0;
  const std::size_t need = at + bytes.size() * 3;
  if (scratch.size() < need) scratch.resize(need);  // keeps the bytes in it
  if (inside) bytes = std::string_view(scratch.data(), bytes.size());
  return std::string_view(scratch.data() + at, Cp1251ToUtf8(bytes, scratch.data() + at));
}

}  // namespace

std::string_view PercentDecode(std::string_view text, std::string& scratch) {
  if (const void* nul = std::memchr(text.data(), 0, text.size())) {
    text = text.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()));
  }
  const char* p = text.data();
  const char* end = p + text.size();
  const auto* percent = static_cast<const char*>(std::memchr(p, '%', text.size()));
  if (percent == nullptr) return text;

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
      const auto byte = static_cast<char>(HexValue(p[1]) << 4 | HexValue(p[2]));
      if (byte == 0) break;  // the result ends at its first zero byte
      *out++ = byte;
      p += 3;
    } else {
      *out++ = *p++;  // a '%' without two hex digits stays
    }
  }
  return std::string_view(scratch.data(), static_cast<std::size_t>(out - scratch.data()));
}

std::string_view DecodeUrl(std::string_view text, std::string& scratch) {
  const std::string_view bytes = PercentDecode(text, scratch);
  if (IsUtf8(bytes)) return bytes;
  return Cp1251IntoScratch(bytes, scratch);
}

std::string DecodeUrl(std::string_view text) {
  std::string scratch;
  return std::string(DecodeUrl(text, scratch));
}

std::string_view DecodePath(std::string_view text, std::string& scratch, std::string& spare) {
  // Escapes are ASCII: a path without high bytes had its letters lowered already.
  if (!HasHighByte(text)) return DecodeUrl(text, scratch);
  spare.clear();
  if (IsUtf8(PercentDecode(text, scratch))) {
    // A character cut between raw and encoded bytes is no character to the
    // lowering, which passes it on as it is.
    AppendLower(spare, text);
    return PercentDecode(spare, scratch);
  }
  spare.assign(text);
  LowerCp1251InPlace(spare.data(), spare.size());
  return Cp1251IntoScratch(PercentDecode(spare, scratch), scratch);
}

}  // namespace tw
