#pragma once

#include <functional>

class QString;
class QTreeWidget;
class QTreeWidgetItem;
class TBaseDBObject;
class TImageList;

/// The data of a tree node: the persistent object it stands for (a
/// category, an item), kept in Qt::UserRole. The tree never owns it.
namespace TreeNodeData {

void SetObject(QTreeWidgetItem* node, TBaseDBObject* object);
/// The node's object, or null for a node without data (or no node).
TBaseDBObject* Object(const QTreeWidgetItem* node);

/// The node's level: 0 for a top-level node, 1 for its children, ...
int Level(const QTreeWidgetItem* node);

/// The picture numbers given to the node (kept beside its icon).
void SetPictures(QTreeWidgetItem* node, int imageIndex, int selectedIndex);
int ImageIndex(const QTreeWidgetItem* node);
int SelectedIndex(const QTreeWidgetItem* node);

/// A node that is in no tree yet, with its text, object and pictures, its
/// icon from `images`. Filling a node before it joins a tree spares the view
/// one change notice per field; add many at once with addChildren.
QTreeWidgetItem* NewNode(const QString& text, TBaseDBObject* object, int imageIndex,
                         int selectedIndex, const TImageList& images);
/// A node at the end of `parent`'s children (of the top level for a null
/// parent) with its text, object and pictures, its icon from `images`.
QTreeWidgetItem* AddNode(QTreeWidget* tree, QTreeWidgetItem* parent, const QString& text,
                         TBaseDBObject* object, int imageIndex, int selectedIndex,
                         const TImageList& images);

/// The first node in the tree's overall order (each node before its
/// children, depth first) for which `matches` is true, or null.
QTreeWidgetItem* FindNode(QTreeWidget* tree,
                          const std::function<bool(const QTreeWidgetItem*)>& matches);
/// Calls `visit` for every node of the tree in that order.
void ForEachNode(QTreeWidget* tree, const std::function<void(QTreeWidgetItem*)>& visit);
/// The first node in the tree's overall order whose object is `object`.
QTreeWidgetItem* FindByObject(QTreeWidget* tree, const TBaseDBObject* object);

}  // namespace TreeNodeData
