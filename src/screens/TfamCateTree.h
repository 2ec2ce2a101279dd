#pragma once

#include <QFrame>

class QTreeWidget;
class QTreeWidgetItem;
class TCategory;
class TImageList;

/// The category tree frame: one top-level node per cached category
/// (TCategoryManager), node text the category's name, node data the
/// category. It remembers the category under the mouse at the last press.
class TfamCateTree : public QFrame {
  Q_OBJECT
 public:
  explicit TfamCateTree(QWidget* parent = nullptr);

  /// Pictures for nodes added from now on.
  void SetImageIndex(int index) { imageIndex_ = index; }
  void SetSelectedIndex(int index) { selectedIndex_ = index; }

  /// Shows every category of the cache, in cache order. Nodes of an earlier
  /// build are discarded first, so showing the window again never lists a
  /// category twice.
  void BuildTree();
  /// Appends a top-level node for `category`.
  QTreeWidgetItem* AppendCategoryNode(TCategory* category);
  /// The node of `category` gets its current name; a category without a
  /// node gets one at the end.
  void UpdateCategoryNode(TCategory* category);
  /// After `category` was deleted: takes off its node and its cache entry
  /// (which frees it); the pressed category is forgotten when it is this
  /// one.
  void RemoveCategoryNode(TCategory* category);

  /// The category of the node pressed last (any mouse button), or null.
  TCategory* CurrentCategory() const { return currentCategory_; }

  QTreeWidget* chkCateTree;
  TImageList* imgTree;

 private:
  /// A press on a node with data remembers its category; a press on empty
  /// space (or in an empty tree) changes nothing.
  void chkCateTreeMouseDown(const QPoint& position);

  TCategory* currentCategory_ = nullptr;
  int imageIndex_ = 0;
  int selectedIndex_ = 0;
};
