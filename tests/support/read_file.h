#pragma once

// The whole of a file on disc, byte for byte: "" when it cannot be read.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace tw::testing {

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace tw::testing
