#include "TreeNodeData.h"

#include <QTreeWidget>
#include <QTreeWidgetItem>

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

QTreeWidgetItem* NextInTree(QTreeWidget* tree, QTreeWidgetItem* node) {
  if (node->childCount() > 0) return node->child(0);
  for (QTreeWidgetItem* at = node; at; at = at->parent()) {
    QTreeWidgetItem* parent = at->parent();
    const int count = parent ? parent->childCount() : tree->topLevelItemCount();
    const int index = parent ? parent->indexOfChild(at) : tree->indexOfTopLevelItem(at);
    if (index + 1 < count) return parent ? parent->child(index + 1) : tree->topLevelItem(index + 1);
  }
  return nullptr;
}

QTreeWidgetItem* FindByObject(QTreeWidget* tree, const TBaseDBObject* object) {
  QTreeWidgetItem* node = tree->topLevelItemCount() > 0 ? tree->topLevelItem(0) : nullptr;
  for (; node; node = NextInTree(tree, node))
    if (Object(node) == object) return node;
  return nullptr;
}

}  // namespace TreeNodeData
