#pragma once

// Building the tree of site sections from the records alone, apart from the
// window, so it can run on any thread: the request paths of the records with
// a status below 400 that pass the request kind, split at '/' under the root
// "www", each distinct path in the spelling of its first record.

#include <cstddef>
#include <memory>
#include <string_view>

#include "analysis/site_tree_nodes.h"
#include "log/record_array.h"

namespace tw {

// `distinct_hint`: about how many distinct requests there are (the pool's count).
std::unique_ptr<TreeNode> SiteTreeOf(const RecordArray& records, std::size_t distinct_hint,
                                     int request_filter);

// The node of a section path such as "/news/2008" ("/" is the root), or null
// when no node has that path.
const TreeNode* FindSection(const TreeNode* root, std::string_view path);

}  // namespace tw
