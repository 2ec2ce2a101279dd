#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "TCatalogueFollower.h"
#include "TMDIChild.h"

class QTableWidget;
class QToolBar;
class QToolButton;
class TDBObjectList;
class TImageList;
class TPermissionAction;
class TSampleGroup;
class TSampleType;

/// The sample group window ("试管类型"): every tube (TJSampleGroup row) in a
/// grid with its sample type's name; Add, Edit and Delete work through the
/// dialog TfrmSampleGroupEdit. Both lists are read once, when the window is
/// created; changes made elsewhere show when it is opened again. Add, Edit
/// and Delete are guarded by rights like the other windows' commands.
class TfrmSampleGroup : public TMDIChild {
  Q_OBJECT
 public:
  explicit TfrmSampleGroup(IWinMain* host);
  ~TfrmSampleGroup() override;

  /// Reads the sample types, then the groups into the grid.
  void FormCreate(QObject* sender) override;
  /// The window's designed size (481 x 356), which it opens with.
  QSize sizeHint() const override;

  void flatAddClick();
  void flatEditClick();
  void flatDeleteClick();
  void flatExitClick();

  /// Reads every group again into Groups and the grid (row r shows the
  /// group at position r of Groups).
  void FillGroupGrid();
  /// The name of the first sample type with this SampleTypeID; empty when
  /// there is none.
  std::string SampleTypeNameOf(int32_t sampleTypeID) const;

  /// The groups shown, parallel to the grid's rows (owning).
  TDBObjectList& Groups() const { return *groups_; }
  /// Every sample type, in their default order (owning).
  TDBObjectList& SampleTypeList() const { return *sampleTypeList_; }

  QToolBar* dxBarManager1;
  QToolButton* flatAdd;
  QToolButton* flatEdit;
  QToolButton* flatDelete;
  QToolButton* flatHistory;
  QToolButton* flatExit;
  QWidget* pnl2;
  QTableWidget* tsgrdData;
  TImageList* ImageList1;
  /// The guarded commands (function codes TJXT205001 add, 002 delete,
  /// 003 edit), paired with their toolbar buttons.
  TPermissionAction* pmSampleGroupAdd;
  TPermissionAction* pmSampleGroupDelete;
  TPermissionAction* pmSampleGroupEdit;
  TPermissionAction* pmSampleGroupHistory;

 private:
  /// Takes a group off Groups (freeing it) and its row off the grid.
  void RemoveGroupRow(int row);
  void BuildToolbar();
  void BuildGrid();
  void BuildPermissionActions();
  void ConnectHandlers();
  void LoadLists();
  /// Writes the group's three columns into the row.
  void ShowGroupInRow(int row, const TSampleGroup& group);
  /// The group of the grid's current row; null when there is none.
  TSampleGroup* CurrentGroup() const;

  std::unique_ptr<TSampleGroup> groupLoader_;
  std::unique_ptr<TSampleType> sampleTypeLoader_;
  std::unique_ptr<TDBObjectList> groups_;
  std::unique_ptr<TDBObjectList> sampleTypeList_;
  /// SampleTypeID -> name of the first sample type with it, built once with
  /// the list, so filling the grid looks each row up in constant time.
  std::unordered_map<int32_t, std::string> sampleTypeNames_;
  // Brings the trees and lists up to date after another window's write.
  std::unique_ptr<TCatalogueFollower> follower_;
};
