#pragma once

#include <memory>
#include <string>

#include "TCatalogueFollower.h"
#include "TMDIChild.h"

class QGroupBox;
class QPushButton;
class QSplitter;
class QTreeWidgetItem;
class TBaseItem;
class TPermissionAction;
class TfamCateToItemTree;
class TfamItem;

/// The item maintenance window ("项目维护"): the category-to-item tree on
/// the left, the fields of one examination item and a row of buttons on the
/// right. Save inserts or updates the item and keeps the item catalogue and
/// the tree in step; Delete removes it.
class TfrmItemEdit : public TMDIChild {
  Q_OBJECT
 public:
  explicit TfrmItemEdit(IWinMain* host);

  /// The frame's lookup lists (charge types, categories, sample types). When
  /// they cannot be read the window cannot be created (the error says why).
  void FormCreate(QObject* sender) override;
  /// The tree anew and, when there is a category, a new item in the first.
  /// When the tree cannot be read the window tells why and closes.
  void FormShow(QObject* sender) override;

  /// Add and Cancel (`sender` tells which, so each checks its own right): a
  /// new item in the category of the selected node.
  void btnAddClick(QObject* sender);
  /// Saves the item the editor shows. A new item also needs the add right;
  /// a name another entry has is refused with a warning, for a new item and
  /// for a rename alike.
  void btnSaveClick();
  /// Asks, deletes the item the editor shows, then starts a new item.
  void btnDeleteClick();
  void btnCloseClick();
  /// Prints the code table of the examination items (preview, print, PDF).
  void RzButton3Click();
  /// Shows the clicked item as the catalogue holds it.
  void famCateToItemTreechkCateTreeClick();
  /// Leaving the price: a price that is no number is refused at once.
  void famItemedtPriceExit();

  TfamCateToItemTree* famCateToItemTree;
  QSplitter* Splitter1;
  QWidget* Panel1;
  QGroupBox* GroupBox4;
  TfamItem* famItem;
  QPushButton* btnAdd;
  QPushButton* btnSave;
  QPushButton* RzButton3;
  QPushButton* btnHistory;
  QPushButton* btnDelete;
  QPushButton* btnCancel;
  QPushButton* btnClose;
  TPermissionAction* pmItemAdd;
  TPermissionAction* pmItemDelete;
  TPermissionAction* pmItemSave;
  TPermissionAction* pmItemCancel;
  TPermissionAction* pmItemPrintForm;
  TPermissionAction* pmItemHistory;

 protected:
  const TPermissionAction* PrintAction() const override { return pmItemPrintForm; }
  /// The examination items of the catalogue under their categories, in the
  /// tree's order: code, name, pinyin mnemonic, unit, reference range,
  /// price, in use. Categories without items are left out.
  TTableReport CodeTable() override;

 private:
  void BuildLayout();
  QWidget* BuildButtons();
  void BuildPermissionActions();
  void ConnectHandlers();
  /// A new item in the category of the selected node (Add without the
  /// right check: the window's own resets use it).
  void StartNewItem();
  /// Warns and answers true when another entry already has the name typed.
  void ConnectEnterOrder();
  /// The tree built anew (after other writes) with the editor's place
  /// selected.
  void RebuildTreeAtEditor();
  QTreeWidgetItem* SelectedNode() const;
  /// The category of the selected node: its parent's text for an item node.
  std::string SelectedCategoryName() const;
  void RemoveNodeOf(TBaseItem* item);
  // Brings the trees and lists up to date after another window's write.
  std::unique_ptr<TCatalogueFollower> follower_;
};
