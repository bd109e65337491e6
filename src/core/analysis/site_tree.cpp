#include "analysis/site_tree.h"

// Building the tree of site sections from the records: the request paths split
// at '/' under the root "www"; and finding a section by its path.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "analysis/selection.h"
#include "base/letter_case.h"

namespace tw {

namespace {

constexpr const char* kRootText = "www";

struct UrlEntry {
  const char* url;
  std::int32_t first_index;  // file position of its first record
};

// The distinct request texts of the records with a status below 400 that pass
// the request filter, ascending by code points with letter case ignored
// (CompareNoCase). Texts equal but for
// letter case are held once, in the spelling of the first record.
std::vector<UrlEntry> CollectUrls(const RecordArray& records, std::size_t distinct_hint,
                                  int request_filter) {
  const std::int32_t count = records.Count();
  // Repeats first, by pointer: a pooled text is one pointer however often it is
  // requested, so each distinct text is filtered and sorted by its letters once.
  // A table of the distinct pointers keeps the first record of each, at one
  // look-up per record instead of a sort of every record.
  std::unordered_map<const char*, std::int32_t> first_of;
  first_of.reserve(distinct_hint);
  for (std::int32_t i = 0; i < count; ++i) {
    const LogRecord* r = records[i];
    if (r->Status < 400 && r->Url() != nullptr) first_of.try_emplace(r->Url(), i);
  }
  std::vector<UrlEntry> urls;
  urls.reserve(first_of.size());
  for (const auto& [url, first_index] : first_of) urls.push_back({url, first_index});
  urls.erase(std::remove_if(urls.begin(), urls.end(),
                            [request_filter](const UrlEntry& e) {
                              return !RequestPassesFilter(request_filter, e.url);
                            }),
             urls.end());

  std::sort(urls.begin(), urls.end(), [](const UrlEntry& a, const UrlEntry& b) {
    const int c = CompareNoCase(a.url, b.url);
    return c != 0 ? c < 0 : a.first_index < b.first_index;
  });
  // Pooled texts are already unique without regard to case; this keeps the
  // rule for texts from anywhere else.
  urls.erase(std::unique(urls.begin(), urls.end(),
                         [](const UrlEntry& a, const UrlEntry& b) {
                           return CompareNoCase(a.url, b.url) == 0;
                         }),
             urls.end());
  return urls;
}

// Child lookup during a build: (parent, exact segment text) -> child, open
// addressing over the nodes themselves. A node's children are unique by text,
// so this finds what a scan of the children from the first would find.
class ChildIndex {
 public:
  TreeNode* Find(const TreeNode* parent, std::string_view text) const {
    if (slots_.empty()) return nullptr;
    const std::uint64_t hash = Hash(parent, text);
    for (std::size_t i = hash & mask_;; i = (i + 1) & mask_) {
      const Slot& slot = slots_[i];
      if (slot.node == nullptr) return nullptr;
      if (slot.hash == hash && slot.node->Parent == parent && slot.node->Text == text) return slot.node;
    }
  }

  // REQUIRES: no child of node->Parent with node->Text was added before.
  void Add(TreeNode* node) {
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    Place({Hash(node->Parent, node->Text), node});
    ++count_;
  }

 private:
  struct Slot {
    std::uint64_t hash = 0;
    TreeNode* node = nullptr;
  };

  static std::uint64_t Hash(const TreeNode* parent, std::string_view text) {
    const std::uint64_t h = std::hash<std::string_view>{}(text);
    const auto p = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(parent));
    return (h ^ (p * 0x9E3779B97F4A7C15ULL)) * 0xBF58476D1CE4E5B9ULL;
  }

  void Place(const Slot& entry) {
    std::size_t i = entry.hash & mask_;
    while (slots_[i].node != nullptr) i = (i + 1) & mask_;
    slots_[i] = entry;
  }

  void Grow() {
    std::vector<Slot> old(slots_.empty() ? 1024 : slots_.size() * 2);
    old.swap(slots_);
    mask_ = slots_.size() - 1;
    for (const Slot& slot : old) {
      if (slot.node != nullptr) Place(slot);
    }
  }

  std::vector<Slot> slots_;
  std::size_t mask_ = 0;
  std::size_t count_ = 0;
};

}  // namespace

std::unique_ptr<TreeNode> SiteTreeOf(const RecordArray& records, std::size_t distinct_hint,
                                     int request_filter) {
  const std::vector<UrlEntry> urls = CollectUrls(records, distinct_hint, request_filter);
  auto tree = std::make_unique<TreeNode>();
  TreeNode* root = tree.get();
  root->Text = kRootText;

  // Neighbours in the sorted list mostly share their first segments, so the
  // nodes of the previous request's path are tried before the index.
  ChildIndex index;
  std::vector<std::pair<std::string_view, TreeNode*>> previous, current;
  for (const UrlEntry& entry : urls) {
    TreeNode* node = root;
    const std::string_view url(entry.url);
    current.clear();
    std::size_t pos = 0;
    while (pos < url.size()) {
      std::size_t end = url.find('/', pos);
      if (end == std::string_view::npos) end = url.size();
      const std::string_view segment = url.substr(pos, end - pos);
      pos = end + 1;
      if (segment.empty()) continue;
      const std::size_t depth = current.size();
      TreeNode* next = nullptr;
      if (depth < previous.size() && previous[depth].first == segment &&
          (depth == 0 ? root : previous[depth - 1].second) == node) {
        next = previous[depth].second;
      } else {
        next = index.Find(node, segment);
      }
      if (next == nullptr) {
        auto child = std::make_unique<TreeNode>();
        child->Text = std::string(segment);
        child->Parent = node;
        next = child.get();
        node->Children.push_back(std::move(child));
        index.Add(next);
      }
      current.emplace_back(segment, next);
      node = next;
    }
    previous.swap(current);
  }
  return tree;
}

const TreeNode* FindSection(const TreeNode* root, std::string_view path) {
  const TreeNode* node = root;
  if (node == nullptr || path.empty() || path[0] != '/') return nullptr;
  if (path == "/") return node;
  // "/a/b": every segment non-empty, as SelectedSectionPath writes them.
  std::size_t pos = 1;
  while (true) {
    std::size_t end = path.find('/', pos);
    if (end == std::string_view::npos) end = path.size();
    const std::string_view segment = path.substr(pos, end - pos);
    if (segment.empty()) return nullptr;
    const TreeNode* next = nullptr;
    for (const auto& child : node->Children) {
      if (child->Text == segment) {
        next = child.get();
        break;
      }
    }
    if (next == nullptr) return nullptr;
    node = next;
    if (end == path.size()) return node;
    pos = end + 1;
  }
}

}  // namespace tw
