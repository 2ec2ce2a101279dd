#pragma once

#include <QFrame>
#include <memory>
#include <string>

#include "TNewItemHolder.h"

class QComboBox;
class QLabel;
class QLineEdit;
class TBaseItem;
class TCategory;
class TDBObjectList;
class TItem;
class TRadioGroup;

/// The item detail frame: every field of one examination item. It always
/// edits one item (Item): a new one it made itself, or an entry of the item
/// catalogue. New items belong to the frame until they are saved; then the
/// catalogue takes them.
class TfamItem : public QFrame {
  Q_OBJECT
 public:
  explicit TfamItem(QWidget* parent = nullptr);
  ~TfamItem() override;

  /// Fills the charge type, category and sample type lists (three reads)
  /// and makes CategoryLookup. Called once by the window at its creation.
  void LoadLists();
  /// Fills combSampleType: one entry per sample type, in ID order, carrying
  /// its sample type object (valid while the frame exists).
  void LoadSampleTypes();

  /// A new, empty item on the shared pool (held by the frame).
  TItem* NewItem();
  /// Edits `item` of category `categoryName`; a null item changes nothing.
  void ShowItem(TBaseItem* item, const std::string& categoryName);
  /// Copies Item into the fields, then gives a new item its defaults.
  void DisplayItem();
  /// Copies the fields into Item. A display order or price that is no
  /// number, or a category name that names no category, raises before Item
  /// is changed.
  void ReadFields();
  /// Reads the fields and saves Item: 2 inserted (the code field shows the
  /// new code, the catalogue takes the item), 3 updated, 0 refused by a rule
  /// (shown as a hint), EntryWrites::kChangedElsewhere (the fields now show
  /// the row as it is) or kDeletedElsewhere. When the save fails, Item keeps
  /// the values it had.
  int SaveItem();
  /// Asks "您确定要删除该项目吗？" (naming the item) and deletes Item from the
  /// database and the catalogue, then edits a new item: 0. -1 when the user
  /// declines or Item was never stored (nothing to delete; the editor starts
  /// anew); -2 when a rule refused (shown as a hint; the item stays shown);
  /// -3 when the row changed elsewhere (the fields now show it as it is).
  int DeleteItem();
  /// SampleTypeID of the chosen sample type entry, -1 when none is chosen.
  int GetSampleTypeID() const;

  /// Leaving the name: standard name and pinyin mnemonic from the name.
  void edtItemNameExit();
  /// The user chose a result type: the value format applies to numbers.
  void combResultTypeChange();
  /// Leaving the value format: checks it (EInvalidFormatError); nothing is
  /// stored.
  void edtValueFormatExit();

  TBaseItem* Item() const { return item_; }
  const std::string& CategoryName() const { return categoryName_; }
  void SetCategoryName(const std::string& name) { categoryName_ = name; }

  QComboBox* Cbbcate;
  QLineEdit* edtItemCode;
  QLineEdit* edtItemName;
  QLineEdit* edtStandItemName;
  QLineEdit* edtSortID;
  QComboBox* combSex;
  QLineEdit* edtUnit;
  QLineEdit* edtPY;
  QLineEdit* edtWB;
  QLineEdit* edtCustom;
  QLineEdit* edtRightValue;
  QComboBox* combResultType;
  QLineEdit* edtUpperLimit;
  QLineEdit* edtLowerLimit;
  QComboBox* combHightHint;
  QComboBox* combLowerHint;
  QLineEdit* edtMaxValue;
  QLineEdit* edtMinValue;
  QComboBox* combSampleType;
  QLineEdit* edtPrice;
  QLabel* lblChargeType;
  QComboBox* combChargeType;
  QLineEdit* edtValueFormat;
  TRadioGroup* radIsRePorted;
  TRadioGroup* radIsHaveExamProcess;
  TRadioGroup* radIsSecCheck;
  TRadioGroup* radIsInstrument;
  TRadioGroup* radIsInUse;

 private:
  void BuildFields();
  /// Text fields take no more than their column's width in GBK bytes.
  void LimitWidths();
  void LayOutFields();
  void ConnectHandlers();
  void DisplayTexts();
  void DisplayChoices();
  void ApplyNewItemDefaults();
  void ReadTexts();
  void ReadChoices();
  void SyncValueFormatField();

  TBaseItem* item_ = nullptr;
  std::string categoryName_;
  std::unique_ptr<TCategory> categoryLookup_;
  std::unique_ptr<TDBObjectList> sampleTypes_;
  TNewItemHolder<TItem> newItem_;
};
