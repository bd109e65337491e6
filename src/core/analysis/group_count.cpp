#include "analysis/group_count.h"

#include <utility>

namespace tw {

namespace {
constexpr std::size_t kInitialSlots = 64;
}  // namespace

GroupCounter::GroupCounter() : slots_(kInitialSlots), mask_(kInitialSlots - 1) {}

void GroupCounter::Insert(std::size_t slot, std::uint32_t major, std::uint64_t minor,
                          std::uint32_t position) {
  if ((used_ + 1) * 2 > slots_.size()) {
    Grow();
    slot = Hash(major, minor) & mask_;
    while (slots_[slot].count != 0) slot = (slot + 1) & mask_;
  }
  slots_[slot] = Group{minor, major, position, 1};
  ++used_;
}

void GroupCounter::Grow() {
  std::vector<Group> old(slots_.size() * 2);
  old.swap(slots_);
  mask_ = slots_.size() - 1;
  for (const Group& g : old) {
    if (g.count == 0) continue;
    std::size_t i = Hash(g.major, g.minor) & mask_;
    while (slots_[i].count != 0) i = (i + 1) & mask_;
    slots_[i] = g;
  }
}

std::vector<GroupCounter::Group> GroupCounter::Take() {
  std::vector<Group> groups;
  groups.reserve(used_);
  for (const Group& g : slots_) {
    if (g.count != 0) groups.push_back(g);
  }
  slots_.assign(kInitialSlots, Group{});
  mask_ = kInitialSlots - 1;
  used_ = 0;
  return groups;
}

}  // namespace tw
