#pragma once

#include <QFrame>
#include <memory>
#include <string>

class QTreeWidget;
class QTreeWidgetItem;
class TBaseDBObject;
class TBaseItem;
class TCategory;
class TDBObjectList;
class TImageList;
class TRememberedNode;

/// The category-to-combination tree: every category as a top-level node and,
/// under each, its combination items (item type 1) from the item catalogue.
/// Item nodes refer to the catalogue's objects; the tree never frees them.
/// A mouse press remembers the pressed node with its category and
/// combination item; what a click means is the window's business.
class TfamCatetoCombTree : public QFrame {
  Q_OBJECT
 public:
  explicit TfamCatetoCombTree(QWidget* parent = nullptr);
  ~TfamCatetoCombTree() override;

  /// Builds the members of every composite of the catalogue (once per
  /// process), then discards every node and builds the tree anew from the
  /// categories table and the catalogue, with repainting suspended. The
  /// remembered node, category and combination item are forgotten. On an
  /// error the nodes added so far stay and the error propagates.
  void BuildTree();
  /// The categories of the last build (empty before the first).
  const TDBObjectList& Categories() const;
  /// A last child for a newly inserted combination item under the first
  /// category node whose text is the category's name; none without one.
  void AddItemNode(TCategory* category, TBaseItem* item);
  /// Every combination item node whose item belongs to the category (by
  /// CateID) and has the item's code shows the item's name.
  void RenameItemNode(TCategory* category, TBaseItem* item);
  /// The node of a combination item saved under another category moves to
  /// the end of that category's node (the first with its name); without
  /// such a node it stays where it is.
  void MoveItemNode(TCategory* category, TBaseItem* item);
  /// After `item` was deleted: takes off the first combination item node
  /// with the item's code (nothing happens without one); the selection goes
  /// to its category.
  void RemoveItemNode(TBaseItem* item);

  /// The node under the mouse at the last press, or null (also once that
  /// node has left the tree).
  QTreeWidgetItem* ClickedNode() const;
  /// The category of the pressed node (its parent's for a combination item
  /// node), or what the window set; null until a node is pressed.
  TCategory* CurrentCategory() const { return currentCategory_; }
  void SetCurrentCategory(TCategory* category) { currentCategory_ = category; }
  /// The combination item of the pressed node; null after a press on a
  /// category node.
  TBaseItem* CurrentCombItem() const { return currentCombItem_; }

  int ItemImageIndex = 0;
  int ItemSelectedIndex = 0;

  QTreeWidget* CateToCombTree;
  TImageList* imgTree;

 private:
  /// A press (any button) on a node remembers it with its category and
  /// combination item; a press on empty space or in an empty tree changes
  /// nothing.
  void CateToCombTreeMouseDown(const QPoint& position);
  QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const std::string& text, TBaseDBObject* object,
                           int imageIndex, int selectedIndex);
  void ForgetNodes();
  /// The first category node named as `category`, or null.
  QTreeWidgetItem* CategoryNode(const TCategory* category) const;

  TRememberedNode* clickedNode_;
  TCategory* currentCategory_ = nullptr;
  TBaseItem* currentCombItem_ = nullptr;
  // The categories of the current build; they outlive the nodes that refer
  // to them and are freed when the tree is built again or the frame goes.
  std::unique_ptr<TDBObjectList> categories_;
};
