#include <gtest/gtest.h>

#include <QStringList>
#include <QTreeWidget>

#include "TImageList.h"
#include "TreeNodeData.h"

namespace {

// Tree nodes only carry their object's address; these stand for objects.
TBaseDBObject* Stand(int& object) {
  return reinterpret_cast<TBaseDBObject*>(&object);
}

}  // namespace

TEST(TreeNodeData, NodesAreFoundAndVisitedOnceInTreeOrder) {
  QTreeWidget tree;
  TImageList images;
  images.FillWithMaintenanceGlyphs(20);
  int categoryA = 0, categoryB = 0, first = 0, second = 0;
  QTreeWidgetItem* a =
      TreeNodeData::AddNode(&tree, nullptr, QStringLiteral("A"), Stand(categoryA), 2, 3, images);
  TreeNodeData::AddNode(&tree, a, QStringLiteral("a1"), Stand(first), 4, 5, images);
  QTreeWidgetItem* a2 =
      TreeNodeData::AddNode(&tree, a, QStringLiteral("a2"), Stand(second), 4, 5, images);
  a2->addChildren({TreeNodeData::NewNode(QStringLiteral("a2x"), Stand(first), 6, 7, images)});
  QTreeWidgetItem* b =
      TreeNodeData::AddNode(&tree, nullptr, QStringLiteral("B"), Stand(categoryB), 2, 3, images);
  b->addChildren({TreeNodeData::NewNode(QStringLiteral("b1"), Stand(second), 4, 5, images),
                  TreeNodeData::NewNode(QStringLiteral("b2"), nullptr, 4, 5, images)});

  QStringList order;
  TreeNodeData::ForEachNode(&tree, [&](QTreeWidgetItem* node) { order << node->text(0); });
  EXPECT_EQ(order.join(QLatin1Char(' ')), QStringLiteral("A a1 a2 a2x B b1 b2"));

  // The first node of an object in that order; every node is reached.
  EXPECT_EQ(TreeNodeData::FindByObject(&tree, Stand(second)), a2);
  EXPECT_EQ(TreeNodeData::FindByObject(&tree, Stand(first))->text(0), QStringLiteral("a1"));
  EXPECT_EQ(TreeNodeData::FindByObject(&tree, Stand(categoryB)), b);
  int unknown = 0;
  EXPECT_EQ(TreeNodeData::FindByObject(&tree, Stand(unknown)), nullptr);
  QTreeWidgetItem* last = TreeNodeData::FindNode(
      &tree, [](const QTreeWidgetItem* node) { return TreeNodeData::Object(node) == nullptr; });
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->text(0), QStringLiteral("b2"));

  // A node made apart from the tree keeps its data once it joins.
  QTreeWidgetItem* joined = a2->child(0);
  EXPECT_EQ(TreeNodeData::Level(joined), 2);
  EXPECT_EQ(TreeNodeData::ImageIndex(joined), 6);
  EXPECT_EQ(TreeNodeData::SelectedIndex(joined), 7);
  EXPECT_FALSE(joined->icon(0).isNull());
}
