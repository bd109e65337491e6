#pragma once

// TreeView1, the tree of site sections, as plain data: text nodes under the
// root "www", children in the order they were added.

#include <memory>
#include <string>
#include <vector>

namespace tw {

struct TreeNode {
  std::string Text;
  TreeNode* Parent = nullptr;
  std::vector<std::unique_ptr<TreeNode>> Children;
};

struct SiteTreeView {
  std::unique_ptr<TreeNode> Root;  // null when the tree has no nodes
  TreeNode* Selected = nullptr;    // null when nothing is selected
  bool AutoExpand = false;
  int Generation = 0;              // changes whenever the nodes are rebuilt or cleared

  void Clear() {
    Root.reset();
    Selected = nullptr;
    ++Generation;
  }
};

}  // namespace tw
