#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "TCatalogueFollower.h"
#include "TMDIChild.h"

class QGroupBox;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTreeWidgetItem;
class TBaseItem;
class TCategory;
class TCheckGrid;
class TPermissionAction;
class TfamCatetoCombTree;
class TfamCombItem;
class TfamCombToItem;

/// The combination item window ("组合项目设置"): the category-to-combination
/// tree on the left; on the right the fields of one combination item with
/// its buttons and, below them, two pages: the member grid ("选择项目"),
/// where the single items of the category are ticked as members, and the
/// exclusion grid ("排除项目"), where other combination items of the same
/// category are ticked as excluded. Save writes the combination item with
/// its members and exclusions in one row.
class TfrmCombItem : public TMDIChild {
  Q_OBJECT
 public:
  explicit TfrmCombItem(IWinMain* host);
  ~TfrmCombItem() override;

  /// LookupCategory and the frame's lookup lists (lists that cannot be read
  /// fail the creation, with the cause).
  void FormCreate(QObject* sender) override;
  /// The tree anew and, when there is a category, a new item in the first
  /// one. Data that cannot be read closes the window after a message giving
  /// the cause.
  void FormShow(QObject* sender) override;

  /// Add: a new item in the tree's current category, with that category's
  /// items and combination items listed unticked.
  void RzBitBtn1Click();
  /// Save: the item with the ticked members and exclusions (a new item
  /// needs the add right too).
  void RzBitBtn3Click();
  /// Delete: the stored item the editor shows, after a question naming it.
  void RzBitBtn4Click();
  /// Check all / uncheck all members.
  void RzBitBtn5Click();
  void RzBitBtn6Click();
  /// The hidden OK: collects the members and reports it.
  void RzBitBtn7Click();
  /// Exit.
  void RzBitBtn8Click();
  /// A click on a node: its category becomes the current one; a combination
  /// item node is shown with its members and exclusions. Errors are
  /// discarded.
  void famCatetoCombTreeCateToCombTreeClick();
  /// The user changed the category: the grids list the new category's items
  /// and combination items.
  void famCombItemCbbcateChange();
  /// Leaving the price for another field: a price that is no number is
  /// refused at once.
  void famCombItemedtPriceExit();

  /// Lists the combination items of category `cateID` but the one coded
  /// `code`, ticking those `exclusions` names (whole entries).
  void FillExcludeGrid(const std::string& code, int32_t cateID, const std::string& exclusions);
  /// The ticked codes, each followed by ";", in row order. A ticked
  /// combination item that has left the catalogue refuses, naming the row.
  std::string CollectExcludeItems() const;

  TCategory* LookupCategory() const { return lookupCategory_.get(); }

  QGroupBox* GroupBox1;
  TfamCatetoCombTree* famCatetoCombTree;
  QSplitter* Splitter2;
  QTabWidget* PageControl1;
  QWidget* TabSheet1;
  QWidget* Panel1;
  QGroupBox* GroupBox4;
  QPushButton* RzBitBtn1;
  QPushButton* RzBitBtn2;
  QPushButton* RzBitBtn3;
  QPushButton* RzBitBtn4;
  TfamCombItem* famCombItem;
  QSplitter* Splitter1;
  QTabWidget* PageControl2;
  QWidget* TabSheet2;
  QWidget* TabSheet3;
  QWidget* Panel2;
  QGroupBox* GroupBox5;
  QPushButton* RzBitBtn5;
  QPushButton* RzBitBtn6;
  QPushButton* RzBitBtn8;
  QPushButton* btnHistory;
  QPushButton* RzBitBtn7;
  TfamCombToItem* famCombToItem;
  TCheckGrid* tsgrdComb;
  TPermissionAction* pmCombItemAdd;
  TPermissionAction* pmCombItemDelete;
  TPermissionAction* pmCombItemCancel;
  TPermissionAction* pmCombItemSave;
  TPermissionAction* pmCombItemCheckAll;
  TPermissionAction* pmCombItemNotCheckAll;
  TPermissionAction* pmCombItemHistory;

  /// Columns of tsgrdComb (0-based).
  enum TExcludeColumn { colExcludeCode = 0, colExcludeName, colExcluded };

 protected:
  /// Enter that no control took presses the focused button, or moves on in
  /// tab order (FormKeyPress).
  void keyPressEvent(QKeyEvent* event) override;

 private:
  /// After a save: the item's node renamed and moved under the item's own
  /// category, which becomes the window's; `showAgain` also shows the item
  /// (its row as it is now) in the editor and grids.
  void ShowUnderOwnCategory(TBaseItem* item, bool showAgain);
  void BuildLayout();
  QWidget* BuildEditorPage();
  QWidget* BuildMemberPage();
  void BuildPermissionActions();
  void ConnectHandlers();
  void ShowFirstCategory();
  /// LookupCategory := the category named `name`, read again.
  void ReadLookupCategory(const std::string& name);
  /// The tree built anew (after other writes): the pressed category kept
  /// when it is the window's own, the editor's place selected.
  void RebuildTreeAtEditor();
  /// A new item in `category`, its items and combination items unticked.
  void ShowNewItem(TCategory* category);
  QTreeWidgetItem* SelectedNode() const;
  /// The price typed; raises when it is no number or below 0. Informs when
  /// it is 0.
  void CheckPrice();
  std::string TickedExclusions() const;

  std::unique_ptr<TCategory> lookupCategory_;
  bool opened_ = false;
  bool maximising_ = false;  // the first show is maximising the frame
  // Brings the trees and lists up to date after another window's write.
  std::unique_ptr<TCatalogueFollower> follower_;
};
