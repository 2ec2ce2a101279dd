#pragma once

#include <QFrame>
#include <memory>

#include "TNewItemHolder.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSplitter;
class TBaseItem;
class TCheckSet;
class TRadioGroup;

/// The check set detail frame: the fields of one check set, the row of six
/// buttons, and the list of the set's members. It edits one set at a time
/// (CheckSet): none until the window first shows one, then a new set it
/// made itself or a check set of the item catalogue. A new set belongs to
/// the frame until it is saved; then the catalogue takes it.
class TfamCheckSetItem : public QFrame {
  Q_OBJECT
 public:
  explicit TfamCheckSetItem(QWidget* parent = nullptr);
  ~TfamCheckSetItem() override;

  /// Fills combChargeType with the name of every charge item, in their
  /// default order (one read). Called once by the window at its creation.
  void LoadLists();

  /// A new, empty check set on the shared pool (held by the frame).
  TCheckSet* NewCheckSet();
  /// Edits `checkSet`: a stored set is read again from the database first
  /// (a failure changes nothing), then its fields and its members are shown.
  /// A new set shows the defaults: in use, display order after the largest.
  void ShowCheckSet(TBaseItem* checkSet);
  /// ShowCheckSet(NewCheckSet()).
  void ClearToNewCheckSet();
  /// Copies CheckSet into the fields.
  void DisplayCheckSet();
  /// Copies the fields into CheckSet. A display order or price that is no
  /// number raises before CheckSet is changed.
  void ReadFields();
  /// Reads the fields and saves CheckSet: 2 inserted (the code field shows
  /// the new code, the catalogue takes the set), 3 updated. When the save
  /// fails, CheckSet keeps the values it had.
  int SaveCheckSet();
  /// Lists the members of CheckSet by name (built from its member codes the
  /// first time); an empty list without a set.
  void ShowMembers();
  /// The member listed at `row` of lstSelCombItem, or null.
  TBaseItem* MemberAt(int row) const;
  /// Leaving the name proposes its pinyin mnemonic.
  void edtCheckSetNameExit();

  TBaseItem* CheckSet() const { return checkSet_; }
  /// True while CheckSet was never stored (or there is none).
  bool IsNewCheckSet() const;

  QWidget* Panel2;
  QGroupBox* GroupBox2;
  QLineEdit* edtCheckSetCode;
  QLineEdit* edtCheckSetName;
  QComboBox* combSex;
  QLineEdit* edtSort;
  QLineEdit* edtPrice;
  /// The members' price sum when it differs from the stored price.
  QLabel* lblMembersPrice;
  QLineEdit* edtABForPY;
  QLineEdit* edtABForWB;
  QLineEdit* edtCustom;
  QComboBox* combChargeType;
  QLineEdit* edtRemark;
  TRadioGroup* radIsInUse;
  QComboBox* combSampleType;
  TRadioGroup* radIsHaveExamProcess;
  QLineEdit* edtModifyOper;
  QLineEdit* makModifyDate;
  QGroupBox* GroupBox4;
  QPushButton* btnAdd;
  QPushButton* btnSave;
  QPushButton* btnCancel;
  QPushButton* btnDelete;
  QPushButton* btnPrintForm;
  QPushButton* btnExit;
  QSplitter* Splitter1;
  QWidget* Panel1;
  QGroupBox* GroupBox5;
  QListWidget* lstSelCombItem;

 private:
  void ShowMembersPrice(double sum);
  void BuildFields();
  void LayOutFields();
  QWidget* BuildButtons();
  void ChainTabOrder();
  void ReadTexts();

  TBaseItem* checkSet_ = nullptr;
  TNewItemHolder<TCheckSet> newCheckSet_;
};
