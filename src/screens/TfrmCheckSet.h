#pragma once

#include <memory>

#include "TCatalogueFollower.h"
#include "TMDIChild.h"

class QGroupBox;
class QSplitter;
class QTabWidget;
class QWidget;
class TBaseItem;
class QPushButton;
class TPermissionAction;
class TfamCheckSetItem;
class TfamCheckSetTree;
class TfamSelCombItem;

/// The check set window ("套餐设置"): the check sets of the item catalogue in
/// a tree on the left; on the right the page "项目信息" with the fields,
/// buttons and members of one set, and the page "检验项目" where the members
/// are chosen among all items and combination items. Save stores the set
/// with its members and keeps the catalogue and the tree in step.
class TfrmCheckSet : public TMDIChild {
  Q_OBJECT
 public:
  explicit TfrmCheckSet(IWinMain* host);

  /// The charge types and the candidates, read once for the window's life.
  void FormCreate(QObject* sender) override;
  /// The tree anew and the selection frame's notifications. When the check
  /// sets cannot be read the window says why and closes.
  void FormShow(QObject* sender) override;

  /// Add: a new set in both frames, focus on the name.
  void TfamCheckSetItem1btnAddClick();
  void famCheckSetItembtnSaveClick();
  /// Cancel: a new set in both frames (typed input is dropped).
  void famCheckSetItembtnCancelClick();
  /// Delete: asks, then deletes the set the editor shows.
  void famCheckSetItembtnDeleteClick();
  /// Prints the code table of the check sets (preview, print, PDF).
  void famCheckSetItembtnPrintFormClick();
  void famCheckSetItembtnExitClick();
  /// Shows the set of the node pressed last in both frames.
  void famCheckSetTreeCheckSetTreeClick();
  /// OK on the selection page: members rebuilt and listed, the price set
  /// to the sum of their unit prices.
  void famSelCombItembtnOkClick();
  void famSelCombItembtnExitClick();

  QGroupBox* grpCheckSet;
  TfamCheckSetTree* famCheckSetTree;
  QTabWidget* PageControl1;
  QSplitter* Splitter1;
  QTabWidget* PageControl2;
  QWidget* TabSheet2;
  TfamCheckSetItem* famCheckSetItem;
  QWidget* TabSheet1;
  TfamSelCombItem* famSelCombItem;
  TPermissionAction* pmCheckSetAdd;
  TPermissionAction* pmCheckSetDelete;
  TPermissionAction* pmCheckSetSave;
  TPermissionAction* pmCheckSetCancel;
  TPermissionAction* pmCheckSetCorroborate;
  TPermissionAction* pmCheckSetPrintForm;
  TPermissionAction* pmCheckSetHistory;
  QPushButton* btnHistory;

 protected:
  const TPermissionAction* PrintAction() const override { return pmCheckSetPrintForm; }
  /// The check sets in the tree's order, each with its members (code, name,
  /// price) and the set's price.
  TTableReport CodeTable() override;

 private:
  void BuildLayout();
  void BuildPermissionActions();
  void ConnectHandlers();
  void ConnectEnterOrder();
  /// Shows `checkSet` in the detail frame and then in the selection frame.
  void ShowInBothFrames(TBaseItem* checkSet);
  /// Both frames on a new set, focus on the name (Add without its right
  /// check: Save and Delete end with it too).
  void StartNewCheckSet();
  // Brings the trees and lists up to date after another window's write.
  std::unique_ptr<TCatalogueFollower> follower_;
};
