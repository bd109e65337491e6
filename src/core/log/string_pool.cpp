#include "log/string_pool.h"

#include <algorithm>
#include <cstring>

#include "base/huge_block.h"
#include "base/letter_case.h"
#include "base/utf8.h"

namespace tw {
namespace {
constexpr std::size_t kInitialSlots = 1024;
constexpr std::size_t kBlockSize = 256 * 1024;
}  // namespace

StringPool::StringPool() : StringPool(Role::kShared) {}
StringPool::StringPool(Role role) : role_(role), slots_(kInitialSlots, Slot{nullptr, 0, 0}) {}
StringPool::~StringPool() = default;

const char* StringPool::Intern(std::string_view text) {
  // Neighbouring lines often repeat a text (a visitor's agent, an empty
  // referrer): the very bytes of the last text returned give it again,
  // without hashing or probing. Equal bytes hold no zero byte.
  if (IsLast(text)) return last_;
  text = UpToZero(text);
  bool same = false;
  std::uint64_t hash = 0;
  if (HashNoCaseOfAscii(text, &hash)) {
    const char* pooled = InternSpelled(text, hash, &same);
    return Remembered(text, pooled, same);
  }
  const std::uint64_t exact = ExactIndex::Hash(text);
  if (const char* found = exact_.Find(text, exact)) return Remembered(text, found, true);
  const char* pooled = InternSpelled(text, HashNoCase(text), &same);
  return Remembered(text, Indexed(text, exact, pooled, same), same);
}

const char* StringPool::InternUtf8(std::string_view bytes, std::string& scratch) {
  if (IsLast(bytes)) return last_;
  bytes = UpToZero(bytes);
  bool same = true;
  std::uint64_t hash = 0;
  if (HashNoCaseOfAscii(bytes, &hash)) {
    const char* pooled = InternSpelled(bytes, hash, &same);
    return Remembered(bytes, pooled, same);
  }
  // Only UTF-8 equals a pooled text, even without regard to case, so the
  // bytes are checked only when they are new.
  const std::uint64_t exact = ExactIndex::Hash(bytes);
  if (const char* found = exact_.Find(bytes, exact)) return Remembered(bytes, found, true);
  hash = HashNoCase(bytes);
  std::size_t slot = 0;
  const char* pooled = Find(bytes, hash, &slot, &same);
  if (pooled == nullptr && IsUtf8(bytes)) pooled = Add(bytes, hash, slot);
  if (pooled != nullptr) return Remembered(bytes, Indexed(bytes, exact, pooled, same), same);
  const std::string_view text = AsUtf8(bytes, scratch);
  pooled = InternSpelled(text, HashNoCase(text), &same);
  return Remembered(text, pooled, same);
}

const char* StringPool::Indexed(std::string_view text, std::uint64_t exact, const char* pooled,
                                bool same) {
  // Only the pool's own spelling, so that what the index finds is exact.
  if (same) exact_.Add(pooled, static_cast<std::uint32_t>(text.size()), exact);
  return pooled;
}

bool StringPool::IsLast(std::string_view text) const {
  return last_ != nullptr && text.size() == last_length_ &&
         std::memcmp(text.data(), last_, last_length_) == 0;
}

std::string_view StringPool::UpToZero(std::string_view text) {
  if (const void* nul = std::memchr(text.data(), 0, text.size())) {
    text = text.substr(0, static_cast<const char*>(nul) - text.data());
  }
  return text;
}

const char* StringPool::Remembered(std::string_view text, const char* pooled, bool same) {
  // Remembered only in the pool's own spelling, so that a match in IsLast is exact.
  if (same) {
    last_ = pooled;
    last_length_ = text.size();
  }
  return pooled;
}

const char* StringPool::InternHashed(std::string_view text, std::uint64_t h64) {
  bool same = false;
  return InternSpelled(text, h64, &same);
}

const char* StringPool::InternSpelled(std::string_view text, std::uint64_t h64, bool* same) {
  std::size_t slot = 0;
  if (const char* found = Find(text, h64, &slot, same)) return found;
  *same = true;
  return Add(text, h64, slot);
}

const char* StringPool::Find(std::string_view text, std::uint64_t h64, std::size_t* free_slot,
                             bool* same) const {
  const auto h32 = static_cast<std::uint32_t>(h64);
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = static_cast<std::size_t>(h64 >> 20) & mask;
  for (;; i = (i + 1) & mask) {
    const Slot& s = slots_[i];
    if (s.text == nullptr) break;
    if (s.hash != h32) continue;
    // Most lookups meet the very spelling they stored, so try the plain compare
    // first. Two spellings of one text may differ in length ("K" as the Kelvin sign).
    *same = s.length == text.size() && std::memcmp(s.text, text.data(), text.size()) == 0;
    if (*same || EqualNoCase({s.text, s.length}, text)) return s.text;
  }
  *free_slot = i;
  return nullptr;
}

const char* StringPool::Add(std::string_view text, std::uint64_t h64, std::size_t slot) {
  // Keep the table at most half full so probes stay short.
  if ((count_ + 1) * 2 > slots_.size()) {
    Grow();
    const std::size_t mask = slots_.size() - 1;
    slot = static_cast<std::size_t>(h64 >> 20) & mask;
    while (slots_[slot].text != nullptr) slot = (slot + 1) & mask;
  }
  char* copy = Store(text);
  slots_[slot] = Slot{copy, static_cast<std::uint32_t>(h64), static_cast<std::uint32_t>(text.size())};
  ++count_;
  if (role_ == Role::kChunk) {
    entries_.push_back(Entry{copy, static_cast<std::uint32_t>(text.size()), h64});
  }
  return copy;
}

// A stored text is laid out as: (in a chunk pool, the forward slot), mark
// byte, the text, a zero byte; the text starts at a multiple of the arena's unit.
char* StringPool::Store(std::string_view text) {
  constexpr std::size_t kUnit = TextArena::kUnit;
  const std::size_t head = (role_ == Role::kChunk ? sizeof(const char*) : 0) + 1;
  // Room for the head, the text, its zero byte and the padding that aligns it.
  const std::size_t need = head + text.size() + 1 + kUnit - 1;
  char* at = nullptr;
  if (need > block_left_) {
    if (need > kBlockSize / 4) {  // a very long text gets a block of its own
      large_blocks_.reserve(large_blocks_.size() + 1);
      large_blocks_.emplace_back(need);
      block_bytes_ += need;
      at = large_blocks_.back().Data();
    } else {
      blocks_.reserve(blocks_.size() + 1);
      if (spare_blocks_.empty()) {
        // Left unfilled: every byte handed out is written first.
        blocks_.emplace_back(kBlockSize);
        block_bytes_ += kBlockSize;
      } else {
        blocks_.push_back(std::move(spare_blocks_.back()));
        spare_blocks_.pop_back();
      }
      block_pos_ = blocks_.back().Data();
      block_left_ = kBlockSize;
    }
  }
  const bool own_block = at != nullptr;
  if (!own_block) at = block_pos_;
  const auto start = reinterpret_cast<std::uintptr_t>(at);
  char* copy = at + ((start + head + kUnit - 1) / kUnit * kUnit - start);
  if (!own_block) {
    const std::size_t used = static_cast<std::size_t>(copy - at) + text.size() + 1;
    block_pos_ += used;
    block_left_ -= used;
  }
  copy[-1] = 0;
  std::memcpy(copy, text.data(), text.size());
  copy[text.size()] = '\0';
  return copy;
}

void StringPool::Grow() {
  std::vector<Slot> old;
  ReserveInHugePages(old, slots_.size() * 2);
  old.assign(slots_.size() * 2, Slot{nullptr, 0, 0});
  old.swap(slots_);
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& s : old) {
    if (s.text == nullptr) continue;
    std::size_t i = static_cast<std::size_t>(HashNoCase({s.text, s.length}) >> 20) & mask;
    while (slots_[i].text != nullptr) i = (i + 1) & mask;
    slots_[i] = s;
  }
}

void StringPool::Clear() {
  std::fill(slots_.begin(), slots_.end(), Slot{nullptr, 0, 0});
  exact_.Clear();
  entries_.clear();
  count_ = 0;
  last_ = nullptr;
  last_length_ = 0;
  // A chunk pool is cleared for every chunk: its blocks are kept for the next
  // one instead of going back to the system and coming again.
  spare_blocks_.reserve(spare_blocks_.size() + blocks_.size());
  for (ArenaBlock& block : blocks_) spare_blocks_.push_back(std::move(block));
  blocks_.clear();
  large_blocks_.clear();
  block_bytes_ = spare_blocks_.size() * kBlockSize;
  block_pos_ = nullptr;
  block_left_ = 0;
}

std::size_t StringPool::MemoryUsage() const {
  return block_bytes_ + slots_.capacity() * sizeof(Slot) + exact_.MemoryUsage() +
         (blocks_.capacity() + spare_blocks_.capacity() + large_blocks_.capacity()) *
             sizeof(ArenaBlock) +
         sizeof(*this);
}

}  // namespace tw
