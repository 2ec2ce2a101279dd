#pragma once

#include <QFrame>
#include <memory>
#include <string>

class QTreeWidget;
class QTreeWidgetItem;
class TBaseDBObject;
class TBaseItem;
class TDBObjectList;
class TImageList;
class TRememberedNode;

/// The category-to-item tree: every category as a top-level node and, under
/// each, its examination items (item type 0) from the item catalogue. Item
/// nodes refer to the catalogue's objects; the tree never frees them. The
/// frame remembers the node pressed last; what a click means is the
/// window's business.
class TfamCateToItemTree : public QFrame {
  Q_OBJECT
 public:
  explicit TfamCateToItemTree(QWidget* parent = nullptr);
  ~TfamCateToItemTree() override;

  /// Discards every node and builds the tree anew from the categories table
  /// and the catalogue, with repainting suspended. On an error the nodes
  /// added so far stay and the error propagates.
  void BuildTree();
  /// The categories of the last build (empty before the first).
  const TDBObjectList& Categories() const;
  /// A node for a newly inserted item, at the end of the first category
  /// node whose text is the item's category name; none when no category
  /// node has that name.
  void AddItemNode(TBaseItem* item);
  /// The node of `item` shows its current name. An item without a node of
  /// its own relabels the first item node of an item with the same name.
  void RenameItemNode(TBaseItem* item);
  /// The item of the node pressed last, or null (category node, empty
  /// space, nothing pressed).
  TBaseItem* GetSelectedItem() const;

  /// The node under the mouse at the last press, or null; null again once
  /// that node is removed or the tree is rebuilt.
  QTreeWidgetItem* ClickedNode() const;
  int ItemImageIndex = 0;
  int ItemSelectedIndex = 0;

  QTreeWidget* chkCateTree;
  TImageList* imgTree;

 private:
  /// A press (any button) remembers the node under the mouse, or none on
  /// empty space; in an empty tree nothing changes.
  void chkCateTreeMouseDown(const QPoint& position);
  QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const std::string& text, TBaseDBObject* object,
                           int imageIndex, int selectedIndex);

  TRememberedNode* clickedNode_;
  // The categories of the current build; they outlive the nodes that refer
  // to them and are freed when the tree is built again or the frame goes.
  std::unique_ptr<TDBObjectList> categories_;
};
