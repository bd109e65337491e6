// The tree of site sections: the request paths of the loaded log split at '/'
// under the root "www". Selecting a node limits the next analysis to the
// requests that begin with its path.

#include <memory>
#include <string>
#include <utility>

#include "analysis/site_tree.h"
#include "form/form.h"

namespace tw {

void TSDIAppForm::ClearSiteTree() { TreeView1.Clear(); }

void TSDIAppForm::BuildSiteTree() {
  if (Records() == nullptr) return;
  InstallSiteTree(
      SiteTreeOf(*Records(), UrlPool() != nullptr ? UrlPool()->Count() : 0, RequestFilter));
}

void TSDIAppForm::InstallSiteTree(std::unique_ptr<TreeNode> root) {
  TreeView1.Clear();
  TreeView1.Root = std::move(root);
  TreeView1.AutoExpand = true;
  TreeView1.Selected = TreeView1.Root.get();
}

void TSDIAppForm::RadioButton14Click() {
  RequestFilter = RadioButton14.Checked ? 1 : RadioButton15.Checked ? 2 : 3;
  BuildSiteTree();
}

bool TSDIAppForm::SelectSectionByPath(const std::string& path) {
  const TreeNode* node = FindSection(TreeView1.Root.get(), path);
  if (node == nullptr) return false;
  // The tree is the view's own; the search only reads it.
  TreeView1.Selected = const_cast<TreeNode*>(node);
  return true;
}

}  // namespace tw
