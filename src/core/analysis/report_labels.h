#pragma once

// Texts a report result owns for its rows: made once, never moved, so a view
// of one stays valid as long as the store, even when the store itself moves.
//
//   LabelStore labels;
//   std::string_view a = labels.Add("404");   // stays "404" while `labels` lives

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace tw {

class LabelStore {
 public:
  // A copy of `text`, followed by a zero byte that the view does not include.
  std::string_view Add(std::string_view text);
  void Clear();

 private:
  static constexpr std::size_t kBlockBytes = 64 * 1024;
  std::vector<std::unique_ptr<char[]>> blocks_;
  std::size_t used_ = kBlockBytes;  // bytes taken in the last block
};

}  // namespace tw
