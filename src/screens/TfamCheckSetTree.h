#pragma once

#include <QFrame>

#include "TBaseItemList.h"

class QTreeWidget;
class TBaseItem;
class TImageList;

/// The check set tree: one top-level node per check set of the item
/// catalogue, node text the set's name, node data the catalogue's object.
/// CheckSets lists the sets shown, in node order, and keeps them from one
/// build to the next (so a set keeps its place); it owns none of them. The
/// frame remembers the set of the node pressed last.
class TfamCheckSetTree : public QFrame {
  Q_OBJECT
 public:
  explicit TfamCheckSetTree(QWidget* parent = nullptr);

  /// Pictures of the nodes BuildTree makes.
  int SetImageIndex = 0;
  int SetSelectedIndex = 0;

  /// Appends every check set of the catalogue not yet listed to CheckSets
  /// (sets that left the catalogue are dropped), then makes the nodes anew,
  /// one per listed set, and forgets the pressed set.
  void BuildTree();
  /// A node for `checkSet` at the end (pictures 2 and 3), and the set at the
  /// end of CheckSets. Nothing for a null set.
  void AppendCheckSetNode(TBaseItem* checkSet);
  /// The first node whose set has the same ItemCode takes the set's name;
  /// without such a node the set gets one at the end.
  void UpdateCheckSetNode(TBaseItem* checkSet);
  /// After `checkSet` was deleted: takes off its nodes, its entry of
  /// CheckSets and of the catalogue (the object is kept, not freed).
  void RemoveCheckSetNode(TBaseItem* checkSet);

  /// The set of the node pressed last (any button), or null.
  TBaseItem* CurrentCheckSet() const { return currentCheckSet_; }
  const TBaseItemList& CheckSets() const { return checkSets_; }

  QTreeWidget* CheckSetTree;
  TImageList* imgTree;

 private:
  /// A press on a node with data remembers its set; a press on empty space
  /// (or in an empty tree) changes nothing.
  void CheckSetTreeMouseDown(const QPoint& position);
  void AddNode(TBaseItem* checkSet, int imageIndex, int selectedIndex);

  TBaseItemList checkSets_;
  TBaseItem* currentCheckSet_ = nullptr;
};
