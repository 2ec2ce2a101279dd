#include "TreeNodeData.h"

#include <QTreeWidget>
#include <QTreeWidgetItem>
#include <QTreeWidgetItemIterator>

#include "TImageList.h"

namespace TreeNodeData {

namespace {

constexpr int ObjectRole = Qt::UserRole;
constexpr int ImageRole = Qt::UserRole + 1;
constexpr int SelectedRole = Qt::UserRole + 2;

}  // namespace

void SetObject(QTreeWidgetItem* node, TBaseDBObject* object) {
  node->setData(0, ObjectRole, QVariant::fromValue(reinterpret_cast<quintptr>(object)));
}

TBaseDBObject* Object(const QTreeWidgetItem* node) {
  if (!node) return nullptr;
  return reinterpret_cast<TBaseDBObject*>(node->data(0, ObjectRole).value<quintptr>());
}

int Level(const QTreeWidgetItem* node) {
  int level = 0;
  for (const QTreeWidgetItem* up = node ? node->parent() : nullptr; up; up = up->parent()) ++level;
  return level;
}

void SetPictures(QTreeWidgetItem* node, int imageIndex, int selectedIndex) {
  node->setData(0, ImageRole, imageIndex);
  node->setData(0, SelectedRole, selectedIndex);
}

int ImageIndex(const QTreeWidgetItem* node) {
  return node->data(0, ImageRole).toInt();
}
int SelectedIndex(const QTreeWidgetItem* node) {
  return node->data(0, SelectedRole).toInt();
}

QTreeWidgetItem* NewNode(const QString& text, TBaseDBObject* object, int imageIndex,
                         int selectedIndex, const TImageList& images) {
  auto* node = new QTreeWidgetItem();
  node->setText(0, text);
  SetObject(node, object);
  SetPictures(node, imageIndex, selectedIndex);
  node->setIcon(0, images.NodeIcon(imageIndex, selectedIndex));
  return node;
}

QTreeWidgetItem* AddNode(QTreeWidget* tree, QTreeWidgetItem* parent, const QString& text,
                         TBaseDBObject* object, int imageIndex, int selectedIndex,
                         const TImageList& images) {
  QTreeWidgetItem* node = NewNode(text, object, imageIndex, selectedIndex, images);
  if (parent)
    parent->addChild(node);
  else
    tree->addTopLevelItem(node);
  return node;
}

QTreeWidgetItem* FindNode(QTreeWidget* tree,
                          const std::function<bool(const QTreeWidgetItem*)>& matches) {
  // Qt's iterator keeps its place in every level: one step per node, where
  // asking each node for its index among its siblings made a walk over a
  // category of n items cost n * n.
  for (QTreeWidgetItemIterator it(tree); *it; ++it)
    if (matches(*it)) return *it;
  return nullptr;
}

void ForEachNode(QTreeWidget* tree, const std::function<void(QTreeWidgetItem*)>& visit) {
  for (QTreeWidgetItemIterator it(tree); *it; ++it) visit(*it);
}

QTreeWidgetItem* FindByObject(QTreeWidget* tree, const TBaseDBObject* object) {
  return FindNode(tree, [object](const QTreeWidgetItem* node) { return Object(node) == object; });
}

}  // namespace TreeNodeData
