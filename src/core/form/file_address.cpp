#include "form/file_address.h"

namespace tw {

std::string FileAddress(const std::string& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string address = "file://";
  address.reserve(address.size() + path.size());
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                       (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' ||
                       byte == '_' || byte == '~' || byte == '/';
    if (plain) {
      address += c;
    } else {
      address += '%';
      address += kHex[byte >> 4];
      address += kHex[byte & 0x0F];
    }
  }
  return address;
}

}  // namespace tw
