#pragma once

#include <memory>

#include "TCatalogueFollower.h"
#include "TMDIChild.h"

class QGroupBox;
class QPushButton;
class QSplitter;
class TImageList;
class TPermissionAction;
class TfamCateTree;
class TfamCategory;

/// The category maintenance window ("类别维护"): the category tree on the
/// left, the fields of one category and six buttons on the right. It works
/// on the category cache (TCategoryManager), which outlives the window.
class TfrmCategorie : public TMDIChild {
  Q_OBJECT
 public:
  explicit TfrmCategorie(IWinMain* host);

  /// Tree pictures, the tree from the cache, and a new empty category. When
  /// the categories cannot be read the window tells why and closes.
  void FormShow(QObject* sender) override;

  /// Each guarded handler first checks the user's right (RequireRight).
  void btnADDClick();
  /// Saves the category the editor shows. A new category also needs the add
  /// right; a name another category has is refused with a warning. With no
  /// category in the editor (after Cancel or Delete) the user is told so.
  void btnSaveClick();
  /// Deletes the category the editor shows, after a question naming it. A
  /// new, unsaved category has nothing to delete.
  void btnDeleteClick();
  void btnCancelClick();
  /// Prints the code table of the categories (preview, print, PDF).
  void btnPrintFormClick();
  void btnExitClick();
  /// Shows the category of the node pressed last, read again from the table.
  void famCateTreechkCateTreeClick();
  /// Leaving the remark field puts the focus on Save.
  void famCategoryedtCateMemoExit();

  QGroupBox* GroupBox1;
  TfamCateTree* famCateTree;
  QSplitter* Splitter1;
  QWidget* Panel1;
  QGroupBox* GroupBox2;
  TfamCategory* famCategory;
  QGroupBox* GroupBox3;
  QPushButton* btnADD;
  QPushButton* btnSave;
  QPushButton* btnPrintForm;
  QPushButton* btnHistory;
  QPushButton* btnDelete;
  QPushButton* btnCancel;
  QPushButton* btnExit;
  TImageList* imgTree;
  TPermissionAction* pmCategoryAdd;
  TPermissionAction* pmCategoryDelete;
  TPermissionAction* pmCategorySave;
  TPermissionAction* pmCategoryCancel;
  TPermissionAction* pmCategoryPrintForm;
  TPermissionAction* pmCategoryHistory;

 protected:
  const TPermissionAction* PrintAction() const override { return pmCategoryPrintForm; }
  /// Every category of the cache, in the tree's order: code, name, kind,
  /// display order, in use.
  TTableReport CodeTable() override;

 private:
  void BuildLayout();
  QWidget* BuildButtons();
  void BuildPermissionActions();
  void ConnectHandlers();
  void StartNewCategory();
  // Brings the trees and lists up to date after another window's write.
  std::unique_ptr<TCatalogueFollower> follower_;
};
