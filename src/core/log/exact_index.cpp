#include "log/exact_index.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace tw {

std::uint64_t ExactIndex::Hash(std::string_view bytes) {
  return std::hash<std::string_view>{}(bytes);
}

const char* ExactIndex::Find(std::string_view bytes, std::uint64_t hash) const {
  if (slots_.empty()) return nullptr;
  const auto h32 = static_cast<std::uint32_t>(hash);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = h32 & mask;; i = (i + 1) & mask) {
    const Slot& s = slots_[i];
    if (s.text == nullptr) return nullptr;
    if (s.hash == h32 && s.length == bytes.size() &&
        std::memcmp(s.text, bytes.data(), bytes.size()) == 0) {
      return s.text;
    }
  }
}

void ExactIndex::Add(const char* text, std::uint32_t length, std::uint64_t hash) {
  if ((count_ + 1) * 2 > slots_.size()) Grow();
  const auto h32 = static_cast<std::uint32_t>(hash);
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = h32 & mask;
  while (slots_[i].text != nullptr) i = (i + 1) & mask;
  slots_[i] = Slot{text, h32, length};
  ++count_;
}

void ExactIndex::Grow() {
  std::vector<Slot> old(slots_.empty() ? 256 : slots_.size() * 2, Slot{nullptr, 0, 0});
  old.swap(slots_);
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& s : old) {
    if (s.text == nullptr) continue;
    std::size_t i = s.hash & mask;
    while (slots_[i].text != nullptr) i = (i + 1) & mask;
    slots_[i] = s;
  }
}

void ExactIndex::Clear() {
  std::fill(slots_.begin(), slots_.end(), Slot{nullptr, 0, 0});
  count_ = 0;
}

}  // namespace tw
