#include "SiteTreeModel.h"

#include "CoreText.h"

SiteTreeModel::SiteTreeModel(const tw::SiteTreeView& tree, QObject* parent)
    : QAbstractItemModel(parent),
      m_tree(tree),
      m_root(tree.Root.get()),
      m_generation(tree.Generation) {}

bool SiteTreeModel::sync() {
  if (m_generation == m_tree.Generation && m_root == m_tree.Root.get()) return false;
  beginResetModel();
  m_root = m_tree.Root.get();
  m_generation = m_tree.Generation;
  m_rows.clear();
  endResetModel();
  return true;
}

const tw::TreeNode* SiteTreeModel::nodeAt(const QModelIndex& index) {
  return index.isValid() ? static_cast<const tw::TreeNode*>(index.internalPointer()) : nullptr;
}

int SiteTreeModel::rowOf(const tw::TreeNode* node) const {
  const tw::TreeNode* parent = node->Parent;
  if (parent == nullptr) return 0;  // the root is the one top-level row
  if (!node->Children.empty()) {
    auto found = m_rows.find(node);
    if (found != m_rows.end()) return found->second;
    for (int row = 0; row < static_cast<int>(parent->Children.size()); ++row) {
      const tw::TreeNode* sibling = parent->Children[row].get();
      if (!sibling->Children.empty()) m_rows.emplace(sibling, row);
    }
    found = m_rows.find(node);
    return found != m_rows.end() ? found->second : 0;
  }
  for (int row = 0; row < static_cast<int>(parent->Children.size()); ++row) {
    if (parent->Children[row].get() == node) return row;
  }
  return 0;
}

QModelIndex SiteTreeModel::indexOf(const tw::TreeNode* node) const {
  if (node == nullptr || m_root == nullptr) return {};
  return createIndex(rowOf(node), 0, const_cast<tw::TreeNode*>(node));
}

QModelIndex SiteTreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0 || m_root == nullptr) return {};
  if (!parent.isValid()) {
    return row == 0 ? createIndex(0, 0, const_cast<tw::TreeNode*>(m_root)) : QModelIndex();
  }
  const tw::TreeNode* node = nodeAt(parent);
  if (row >= static_cast<int>(node->Children.size())) return {};
  return createIndex(row, 0, node->Children[row].get());
}

QModelIndex SiteTreeModel::parent(const QModelIndex& child) const {
  const tw::TreeNode* node = nodeAt(child);
  if (node == nullptr || node->Parent == nullptr) return {};
  return indexOf(node->Parent);
}

int SiteTreeModel::rowCount(const QModelIndex& parent) const {
  if (m_root == nullptr) return 0;
  if (!parent.isValid()) return 1;
  if (parent.column() != 0) return 0;
  return static_cast<int>(nodeAt(parent)->Children.size());
}

int SiteTreeModel::columnCount(const QModelIndex& /*parent*/) const { return 1; }

QVariant SiteTreeModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid()) return {};
  return fromCoreText(nodeAt(index)->Text);
}

Qt::ItemFlags SiteTreeModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (nodeAt(index)->Children.empty()) flags |= Qt::ItemNeverHasChildren;
  return flags;
}
