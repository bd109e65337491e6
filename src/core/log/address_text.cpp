#include "log/address_text.h"

#include "base/number_scan.h"

namespace tw {
namespace {

using scan::Expect;
using scan::IsDigit;
using scan::IsHexDigit;
using scan::ScanInt;

// A dotted quad of decimal octets with no leading zeros, as the last 32 bits of
// an IPv6 address.
bool IsDottedQuad(std::string_view text) {
  std::size_t i = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0 && (i >= text.size() || text[i++] != '.')) return false;
    const std::size_t start = i;
    int v = 0;
    while (i < text.size() && IsDigit(text[i]) && i - start < 3) v = v * 10 + (text[i++] - '0');
    if (i == start || v > 255 || (i - start > 1 && text[start] == '0')) return false;
  }
  return i == text.size();
}

}  // namespace

int ParseIp(std::string_view text, std::uint32_t* ip) {
  const char* p = text.data();
  const char* end = p + text.size();
  int octets[4] = {0, 0, 0, 0};
  for (int i = 0; i < 4; ++i) {
    if (i > 0 && !Expect(p, end, '.')) break;
    if (!ScanInt(p, end, static_cast<std::size_t>(-1), &octets[i])) break;
  }
  std::uint32_t result = 0;
  for (int octet : octets) {
    if (static_cast<unsigned>(octet) >= 256) return -1;
    result = result << 8 | static_cast<std::uint32_t>(octet);
  }
  *ip = result;
  return 0;
}

int ParseIp(const char* text, std::uint32_t* ip) {
  if (text == nullptr) return -1;
  return ParseIp(std::string_view(text), ip);
}

bool IsIpv6Address(std::string_view text) {
  const std::size_t n = text.size();
  if (n < 2) return false;
  std::size_t i = 0;
  int bytes = 0;
  bool gap = false;  // "::" seen
  if (text[0] == ':') {
    if (text[1] != ':') return false;
    gap = true;
    i = 2;
    if (i == n) return true;
  }
  for (;;) {
    const std::size_t start = i;
    while (i < n && IsHexDigit(text[i]) && i - start < 5) ++i;
    if (i < n && text[i] == '.') {  // an IPv4 tail ends the address
      if (!IsDottedQuad(text.substr(start))) return false;
      bytes += 4;
      break;
    }
    if (i == start || i - start > 4) return false;
    bytes += 2;
    if (bytes > 16) return false;
    if (i == n) break;
    if (text[i] != ':') return false;
    if (++i == n) return false;  // a single ':' at the end
    if (text[i] == ':') {
      if (gap) return false;
      gap = true;
      if (++i == n) break;
    }
  }
  return gap ? bytes <= 14 : bytes == 16;
}

}  // namespace tw
