// Properties of the site tree over generated logs: it is the tree that the
// plain rule builds (distinct paths of good requests that pass the filter,
// ascending with letter case ignored, split at '/', children found by a scan
// from the first), and a section chosen anywhere in it selects exactly the
// requests that begin with its path.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/letter_case.h"
#include "form/form.h"
#include "properties_support.h"

namespace tw {
namespace {

using testing::MixedLog;
using testing::MixedLogOptions;
using testing::PropertyFixture;

// The tree as nested text: one node per line, indented by depth.
void Describe(const TreeNode& node, int depth, std::string& out) {
  out.append(static_cast<std::size_t>(depth), ' ');
  out += node.Text;
  out += '\n';
  for (const auto& child : node.Children) Describe(*child, depth + 1, out);
}

// The plain rule, without the build's indexes and shortcuts.
std::string ReferenceTree(const TSDIAppForm& form) {
  std::vector<std::string> urls;  // first spelling of each text, letter case ignored
  std::set<std::string> seen;      // ... case-folded
  for (std::int32_t i = 0; i < form.RecordCount(); ++i) {
    const LogRecord& r = *(*form.Records())[i];
    if (r.Status >= 400 || !form.RequestPassesFilter(r.Url())) continue;
    if (seen.insert(FoldCase(r.Url())).second) urls.push_back(r.Url());
  }
  std::stable_sort(urls.begin(), urls.end(), [](const std::string& a, const std::string& b) {
    return FoldCase(a) < FoldCase(b);  // UTF-8 bytes as unsigned: code point order
  });

  TreeNode root;
  root.Text = "www";
  for (const std::string& url : urls) {
    TreeNode* node = &root;
    std::size_t pos = 0;
    while (pos <= url.size()) {
      std::size_t end = url.find('/', pos);
      if (end == std::string::npos) end = url.size();
      const std::string segment = url.substr(pos, end - pos);
      pos = end + 1;
      if (segment.empty()) continue;
      TreeNode* next = nullptr;
      for (const auto& child : node->Children) {
        if (child->Text == segment) {
          next = child.get();
          break;
        }
      }
      if (next == nullptr) {
        node->Children.push_back(std::make_unique<TreeNode>());
        next = node->Children.back().get();
        next->Text = segment;
        next->Parent = node;
      }
      node = next;
    }
  }
  std::string out;
  Describe(root, 0, out);
  return out;
}

// Every node's path, root side first, as SelectedSectionPath writes it.
void CollectPaths(const TreeNode& node, const std::string& path, std::vector<std::string>& paths) {
  for (const auto& child : node.Children) {
    const std::string child_path = path + "/" + child->Text;
    paths.push_back(child_path);
    CollectPaths(*child, child_path, paths);
  }
}

class TreePropertyTest : public PropertyFixture {};

TEST_F(TreePropertyTest, TheTreeIsThePlainRulesTreeUnderEveryFilter) {
  for (std::uint64_t seed : {51, 52}) {
    MixedLogOptions options;
    options.seed = seed;
    options.generated_lines = 2000;
    form_->LoadLog(WriteLog(MixedLog(options)));
    for (int filter = 1; filter <= 3; ++filter) {
      SCOPED_TRACE("seed " + std::to_string(seed) + ", filter " + std::to_string(filter));
      ChooseFilter(*form_, filter);
      ASSERT_NE(form_->TreeView1.Root, nullptr);
      EXPECT_EQ(form_->TreeView1.Selected, form_->TreeView1.Root.get());
      std::string built;
      Describe(*form_->TreeView1.Root, 0, built);
      const std::string expected = ReferenceTree(*form_);
      EXPECT_TRUE(built == expected) << "the tree differs from the plain rule's ("
                                     << built.size() << " and " << expected.size() << " bytes)";
    }
  }
}

TEST_F(TreePropertyTest, ASectionSelectsTheRequestsThatBeginWithItsPath) {
  MixedLogOptions options;
  options.seed = 53;
  options.generated_lines = 2000;
  form_->LoadLog(WriteLog(MixedLog(options)));
  testing::SplitMix64 rng(53);
  for (int filter = 1; filter <= 3; ++filter) {
    ChooseFilter(*form_, filter);
    std::vector<std::string> paths;
    CollectPaths(*form_->TreeView1.Root, "", paths);
    ASSERT_FALSE(paths.empty());
    // The first ten nodes and ten more anywhere in the tree.
    std::vector<std::string> chosen(paths.begin(), paths.begin() + std::min<std::size_t>(10, paths.size()));
    for (int i = 0; i < 10; ++i) chosen.push_back(paths[rng.Below(paths.size())]);

    // Without a section: the records of the analysed month that pass the filter.
    Run(*form_, "pages", false);
    const std::vector<const LogRecord*> whole(form_->Report().selected.begin(), form_->Report().selected.end());
    for (const std::string& path : chosen) {
      SCOPED_TRACE("filter " + std::to_string(filter) + ", section " + path);
      Run(*form_, "pages", false, path);
      EXPECT_EQ(form_->SelectedSectionPath(), path);
      std::size_t expected = 0;
      for (const LogRecord* r : whole) expected += std::strncmp(r->Url(), path.c_str(), path.size()) == 0;
      EXPECT_EQ(static_cast<std::size_t>(form_->SelectedCount()), expected);
      for (const LogRecord* r : form_->Report().selected) {
        ASSERT_EQ(std::strncmp(r->Url(), path.c_str(), path.size()), 0) << r->Url();
      }
    }
  }
}

}  // namespace
}  // namespace tw
