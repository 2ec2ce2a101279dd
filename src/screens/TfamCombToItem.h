#pragma once

#include <QFrame>

class TBaseItem;
class TCategory;
class TCheckGrid;

/// The member grid of the combination item window: every single item (item
/// type 0) of the current category, one row each, ticked when it is a member
/// of the combination item being edited. Ticked rows are painted in the
/// highlight colour. The user sets the ticks; CollectMembers turns them into
/// the combination item's member list (nothing is written to the database
/// here).
class TfamCombToItem : public QFrame {
  Q_OBJECT
 public:
  /// Columns of tsgCombToItem (0-based).
  enum TColumn { colItemName = 0, colChecked, colSex, colCombToItem, colItemCode };

  explicit TfamCombToItem(QWidget* parent = nullptr);

  /// Removes every row.
  void ClearGrid();
  /// Lists the single items of `category` with the members of `item` ticked.
  /// With `reload` the category's items are taken anew from the catalogue
  /// and the item's members are built from its member text (the first time
  /// only). Without a category or an item nothing happens.
  void ShowItem(TCategory* category, TBaseItem* item, bool reload);
  /// Rebuilds the rows from Category's items and Item's members.
  void FillGrid();
  /// Ticks (highlighted) or clears (window colour) every row.
  void SetAllChecks(bool checked);
  /// Makes the ticked rows Item's members, in row order, and rebuilds its
  /// ItemsString; 0. ETJItemException "请您先确定组合项目,然后再选择项目!"
  /// without an item. A ticked item that has left the catalogue since the
  /// grid was filled refuses the whole collection, naming the row, before
  /// Item changes; such errors get CR LF + "保存组合项目[name]的详细信息出现
  /// 异常!" after their message.
  int CollectMembers();
  /// The user toggled a tick: the row takes the highlight or window colour.
  void tsgCombToItemClickCell(int row, int column);

  TCategory* Category() const { return category_; }
  TBaseItem* Item() const { return item_; }

  TCheckGrid* tsgCombToItem;

 private:
  void Tick(int row, bool checked);

  TCategory* category_ = nullptr;
  TBaseItem* item_ = nullptr;
};
