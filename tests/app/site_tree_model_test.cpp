#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <memory>
#include <string>

#include "SiteTreeModel.h"

namespace {

tw::TreeNode* AddChild(tw::TreeNode* parent, const std::string& text) {
  auto node = std::make_unique<tw::TreeNode>();
  node->Text = text;
  node->Parent = parent;
  parent->Children.push_back(std::move(node));
  return parent->Children.back().get();
}

// www -> a -> (b -> c.html, d.html), news
struct SampleTree {
  tw::SiteTreeView view;
  tw::TreeNode* a = nullptr;
  tw::TreeNode* b = nullptr;
  tw::TreeNode* c = nullptr;
  tw::TreeNode* d = nullptr;
  tw::TreeNode* news = nullptr;

  SampleTree() { Build(); }
  void Build() {
    view.Clear();
    view.Root = std::make_unique<tw::TreeNode>();
    view.Root->Text = "www";
    a = AddChild(view.Root.get(), "a");
    b = AddChild(a, "b");
    c = AddChild(b, "c.html");
    d = AddChild(a, "d.html");
    news = AddChild(view.Root.get(), "новости");
    ++view.Generation;
  }
};

TEST(SiteTreeModel, ShowsTheCoreNodesUnderOneRoot) {
  SampleTree tree;
  SiteTreeModel model(tree.view);
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);

  ASSERT_EQ(model.rowCount(), 1);
  const QModelIndex root = model.index(0, 0);
  EXPECT_EQ(root.data().toString(), QStringLiteral("www"));
  EXPECT_EQ(model.rowCount(root), 2);
  EXPECT_EQ(model.index(1, 0, root).data().toString(), QStringLiteral("новости"));
  const QModelIndex a = model.index(0, 0, root);
  EXPECT_EQ(model.index(1, 0, a).data().toString(), QStringLiteral("d.html"));
}

TEST(SiteTreeModel, FindsTheIndexOfEveryNodeAndItsParent) {
  SampleTree tree;
  SiteTreeModel model(tree.view);
  const tw::TreeNode* nodes[] = {tree.view.Root.get(), tree.a, tree.b, tree.c, tree.d, tree.news};
  for (const tw::TreeNode* node : nodes) {
    const QModelIndex index = model.indexOf(node);
    SCOPED_TRACE(node->Text);
    ASSERT_TRUE(index.isValid());
    EXPECT_EQ(SiteTreeModel::nodeAt(index), node);
    EXPECT_EQ(SiteTreeModel::nodeAt(model.parent(index)), node->Parent);
    // The index the view would reach by walking down from the parent.
    EXPECT_EQ(model.index(index.row(), 0, model.parent(index)), index);
  }
  EXPECT_FALSE(model.indexOf(nullptr).isValid());
}

TEST(SiteTreeModel, ResetsWhenTheCoreRebuildsOrClearsTheTree) {
  SampleTree tree;
  SiteTreeModel model(tree.view);
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  QSignalSpy resets(&model, &QAbstractItemModel::modelReset);

  EXPECT_FALSE(model.sync()) << "unchanged";
  tree.Build();
  EXPECT_TRUE(model.sync()) << "rebuilt";
  EXPECT_EQ(SiteTreeModel::nodeAt(model.index(0, 0)), tree.view.Root.get());
  tree.view.Clear();
  EXPECT_TRUE(model.sync()) << "cleared";
  EXPECT_EQ(model.rowCount(), 0);
  EXPECT_EQ(resets.count(), 2);
}

}  // namespace
