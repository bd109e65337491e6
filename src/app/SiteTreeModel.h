#pragma once

// A tree model over the core's site tree (TreeView1). Indexes carry the
// core's TreeNode pointers, so a tree of a million nodes is shown without a
// copy. The core rebuilds or clears the tree without telling anyone and bumps
// its Generation when it does: call sync() after every call into the core and
// before the event loop runs again, or the view holds freed nodes.

#include <QAbstractItemModel>
#include <unordered_map>

#include "analysis/site_tree_nodes.h"

class SiteTreeModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  // The tree must outlive the model.
  explicit SiteTreeModel(const tw::SiteTreeView& tree, QObject* parent = nullptr);

  // Resets the model when the core's tree changed since the last call; returns
  // true when it did.
  bool sync();

  // The index of a node of the current tree; invalid for null.
  QModelIndex indexOf(const tw::TreeNode* node) const;
  static const tw::TreeNode* nodeAt(const QModelIndex& index);

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  // The row of `node` among its parent's children.
  int rowOf(const tw::TreeNode* node) const;

  const tw::SiteTreeView& m_tree;
  const tw::TreeNode* m_root = nullptr;  // the root as of the last sync
  int m_generation = 0;
  // Rows of nodes that have children, filled one parent at a time; leaves are
  // never asked for by parent(), so a flat level of a million files stays out.
  mutable std::unordered_map<const tw::TreeNode*, int> m_rows;
};
