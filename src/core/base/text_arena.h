#pragma once

// Every pooled text of the process lives in one stretch of address space
// reserved at first use, so that a record names a text in 32 bits: its
// distance from the stretch's start in steps of 8 bytes (TextRef). A record
// of five texts and its numbers then takes 40 bytes instead of 64, which on a
// big log is most of its memory.
//
//   char* block = TextArena::Allocate(256 * 1024);   // throws std::bad_alloc
//   TextRef ref = RefOfText(block + 8);             // a text starting 8-aligned
//   const char* text = TextOfRef(ref);
//   TextArena::Free(block, 256 * 1024);
//
// The stretch is only reserved: untouched pages cost no memory, and a freed
// block's pages go back to the system at once.

#include <cassert>
#include <cstddef>
#include <cstdint>

namespace tw {

// A text of the arena, or 0 for none.
using TextRef = std::uint32_t;

namespace text_arena_detail {
// The stretch's start; set once, before the first block is handed out.
extern const char* g_base;
}  // namespace text_arena_detail

class TextArena {
 public:
  static constexpr std::size_t kUnit = 8;       // a TextRef counts these
  static constexpr std::size_t kPage = 4096;    // blocks are whole pages

  // A block of at least `bytes`, page-aligned, its contents unspecified.
  // Thread-safe. Throws std::bad_alloc when the stretch is full or cannot be
  // reserved.
  static char* Allocate(std::size_t bytes);
  // Gives back a block that Allocate returned for the same `bytes`.
  static void Free(char* block, std::size_t bytes);
  // Bytes of the blocks handed out and not given back.
  static std::size_t BytesInUse();
};

// A block of the arena, given back when the holder goes.
class ArenaBlock {
 public:
  ArenaBlock() = default;
  explicit ArenaBlock(std::size_t bytes) : data_(TextArena::Allocate(bytes)), bytes_(bytes) {}
  ~ArenaBlock() { TextArena::Free(data_, bytes_); }
  ArenaBlock(ArenaBlock&& other) noexcept : data_(other.data_), bytes_(other.bytes_) {
    other.data_ = nullptr;
  }
  ArenaBlock& operator=(ArenaBlock&& other) noexcept {
    if (this != &other) {
      TextArena::Free(data_, bytes_);
      data_ = other.data_;
      bytes_ = other.bytes_;
      other.data_ = nullptr;
    }
    return *this;
  }
  ArenaBlock(const ArenaBlock&) = delete;
  ArenaBlock& operator=(const ArenaBlock&) = delete;

  char* Data() const { return data_; }

 private:
  char* data_ = nullptr;
  std::size_t bytes_ = 0;
};

// Whether `text` is where a TextRef can name it: inside the arena, 8-aligned.
bool IsArenaText(const char* text);

// REQUIRES: `text` is null or lies in a block of the arena, at a multiple of kUnit.
inline TextRef RefOfText(const char* text) {
  if (text == nullptr) return 0;
  assert(IsArenaText(text));
  return static_cast<TextRef>(static_cast<std::size_t>(text - text_arena_detail::g_base) /
                              TextArena::kUnit);
}

inline const char* TextOfRef(TextRef ref) {
  return ref == 0 ? nullptr : text_arena_detail::g_base + std::size_t{ref} * TextArena::kUnit;
}

}  // namespace tw
