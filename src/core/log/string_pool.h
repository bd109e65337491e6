#pragma once

// A set of UTF-8 texts kept once each, compared without regard to letter case
// in any script (EqualNoCase of base/letter_case.h).
//
//   StringPool pool;
//   const char* a = pool.Intern("/News/");   // stored: "/News/"
//   const char* b = pool.Intern("/news/");   // b == a, and reads "/News/"
//   const char* c = pool.Intern("/about");   // a new copy
//   pool.Intern("/ΣΑΣ") == pool.Intern("/σας")   // simple case folding
//   pool.Intern("/STRASSE") != pool.Intern("/straße")
//
// The first spelling stays. Texts are kept in the text arena, each starting
// at a multiple of TextArena::kUnit, so a record can name one by its TextRef. Two texts interned into one pool compare equal
// (letter case ignored) exactly when the returned pointers are equal. A stored
// copy is zero-terminated, never moves and never changes while the pool exists.
//
// Each stored text also carries one byte for its owner, the mark: zero when
// the text is stored, then whatever SetMark last put there. It lets a caller
// remember a verdict about a text once, instead of once per use.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/text_arena.h"
#include "log/exact_index.h"

namespace tw {

class StringPool {
 public:
  // A chunk pool serves one piece of a load parsed on its own: it also keeps
  // its texts in the order they arrived, and gives each a forward slot that
  // the merge fills with the shared pool's copy.
  enum class Role { kShared, kChunk };

  struct Entry {
    const char* text;
    std::uint32_t length;
    std::uint64_t hash;  // HashNoCase of the text
  };

  StringPool();
  explicit StringPool(Role role);
  ~StringPool();
  StringPool(const StringPool&) = delete;
  StringPool& operator=(const StringPool&) = delete;

  // Returns the pool's shared copy of `text`, adding it when it is new.
  // A text is taken up to its first zero byte, as the program's texts end there.
  const char* Intern(std::string_view text);
  // Intern for a text without zero bytes whose HashNoCase is `hash`.
  const char* InternHashed(std::string_view text, std::uint64_t hash);
  // Intern of AsUtf8(bytes) (base/utf8.h): bytes from outside, kept when they
  // are UTF-8 and else read as Windows-1251. `scratch` holds a conversion.
  const char* InternUtf8(std::string_view bytes, std::string& scratch);

  // A chunk pool's texts in the order they were first interned.
  const std::vector<Entry>& Entries() const { return entries_; }
  // The forward slot of a chunk pool's text. REQUIRES: Role::kChunk.
  static const char* Forward(const char* pooled) {
    const char* target;
    std::memcpy(&target, pooled - 1 - sizeof target, sizeof target);
    return target;
  }
  static void SetForward(const char* pooled, const char* target) {
    std::memcpy(const_cast<char*>(pooled) - 1 - sizeof target, &target, sizeof target);
  }

  // Forgets every text; the table and the text blocks keep their size for the
  // next use.
  void Clear();

  // The mark of a text this pool returned. REQUIRES: `pooled` came from Intern
  // of this pool.
  static std::uint8_t Mark(const char* pooled) {
    return static_cast<std::uint8_t>(pooled[-1]);
  }
  static void SetMark(const char* pooled, std::uint8_t mark) {
    // The storage is the pool's own writable block; only the text is handed out as const.
    const_cast<char*>(pooled)[-1] = static_cast<char>(mark);
  }

  // Number of distinct texts held.
  std::size_t Count() const { return count_; }

  // Bytes held by the pool: text storage, table and bookkeeping.
  std::size_t MemoryUsage() const;

 private:
  struct Slot {
    const char* text;     // null when the slot is free
    std::uint32_t hash;   // low bits of the text's hash, checked before the texts
    std::uint32_t length;
  };

  bool IsLast(std::string_view text) const;
  static std::string_view UpToZero(std::string_view text);
  // `pooled`, remembered as the last text when it is spelled as `text` (`same`).
  const char* Remembered(std::string_view text, const char* pooled, bool same);
  // InternHashed, *same telling whether the pooled text is spelled as `text`.
  const char* InternSpelled(std::string_view text, std::uint64_t hash, bool* same);
  // The pooled text equal to `text` (*same: in the same spelling), or null and
  // the free slot where it would go.
  const char* Find(std::string_view text, std::uint64_t hash, std::size_t* free_slot,
                   bool* same) const;
  const char* Add(std::string_view text, std::uint64_t hash, std::size_t free_slot);
  // `pooled`, entered in exact_ when it is spelled as `text` (`same`), whose
  // ExactIndex::Hash is `exact`.
  const char* Indexed(std::string_view text, std::uint64_t exact, const char* pooled, bool same);
  char* Store(std::string_view text);
  void Grow();

  Role role_ = Role::kShared;
  std::vector<Slot> slots_;
  ExactIndex exact_;  // texts beyond ASCII, by their bytes
  std::vector<Entry> entries_;  // Role::kChunk only
  std::size_t count_ = 0;
  const char* last_ = nullptr;  // the last text Intern returned in its own spelling
  std::size_t last_length_ = 0;
  std::vector<ArenaBlock> blocks_;        // of kBlockSize bytes each
  std::vector<ArenaBlock> spare_blocks_;  // emptied by Clear, for reuse
  std::vector<ArenaBlock> large_blocks_;  // one very long text each
  char* block_pos_ = nullptr;
  std::size_t block_left_ = 0;
  std::size_t block_bytes_ = 0;
};

}  // namespace tw
