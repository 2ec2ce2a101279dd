#pragma once

#include <QFrame>
#include <functional>
#include <memory>

#include "TNewItemHolder.h"

class QComboBox;
class QLineEdit;
class TBaseItem;
class TCategory;
class TCombItem;
class TDBObjectList;
class TRadioGroup;

/// The combination item detail frame: the fields of one combination item
/// (item type 1). Once shown it always edits one item (Item): a new one it
/// made itself, or an entry of the item catalogue. A new item belongs to the
/// frame until it is saved; then the catalogue takes it. Category is the
/// category object the item is shown with; it names the category displayed
/// and looks category identifiers up.
class TfamCombItem : public QFrame {
  Q_OBJECT
 public:
  explicit TfamCombItem(QWidget* parent = nullptr);
  ~TfamCombItem() override;

  /// Fills the charge type, category and sample type lists. Called once by
  /// the window at its creation.
  void LoadLists();
  /// Fills combSampleType: one entry per sample type carrying its object.
  void LoadSampleTypes();
  /// Fills cbbSampleGroup with the groups (tubes) of the sample type
  /// numbered `sampleTypeID`, each carrying its object; -1 (no sample type)
  /// gives an empty list.
  void LoadSampleGroups(int sampleTypeID);

  /// A new, empty combination item on the shared pool (held by the frame).
  TCombItem* NewItem();
  /// Edits `item` shown with `category`: a stored item (with a code) is read
  /// again from the database first. ETJItemException "请选择组合项目的类别！"
  /// without a category; without an item nothing changes.
  void ShowItem(TCategory* category, TBaseItem* item);
  /// A new item in the same category.
  void ClearToNewItem();
  /// Copies Item into the fields, then gives a new item its defaults.
  void DisplayItem();
  /// Copies the fields into Item (item type 1). A display order or price
  /// that is no number, or a category name that names no category, raises
  /// before Item is changed.
  void ReadFields();
  /// Reads the fields, runs `collect` (the window puts the members and the
  /// exclusions into Item there) and saves Item: 2 inserted (the code field
  /// shows the new code, the catalogue and Category take the item), 3
  /// updated. ETJItemException "当前没有要保存的信息!" without an item. When
  /// anything fails, Item keeps the values and members it had.
  int SaveItem(const std::function<void()>& collect = {});

  /// Leaving the name proposes its pinyin mnemonic.
  void edtCombNameExit();
  /// The user chose a sample type: its tubes are listed, none chosen.
  void combSampleTypeChange();

  TBaseItem* Item() const { return item_; }
  TCategory* Category() const { return category_; }

  QComboBox* Cbbcate;
  TRadioGroup* radIsInuse;
  QLineEdit* edtCombCode;
  QLineEdit* edtCombName;
  QLineEdit* edtSort;
  QLineEdit* edtPrice;
  QLineEdit* edtABForPY;
  QLineEdit* edtABForWB;
  QLineEdit* edtCustom;
  QComboBox* combChargeType;
  QComboBox* combSampleType;
  QComboBox* cbbSampleGroup;
  TRadioGroup* radIsHaveExamProcess;
  TRadioGroup* radIsSecCheck;
  // Hidden; never read or written.
  QLineEdit* edtCombHint;
  TRadioGroup* radDataFrom;
  TRadioGroup* radCateType;

 private:
  void BuildFields();
  void BuildHiddenFields();
  void LayOutFields();
  /// Text fields take no more than their column's width in GBK bytes.
  void LimitWidths();
  void ConnectHandlers();
  void DisplayTexts();
  void DisplaySample();
  void ApplyNewItemDefaults();
  /// The item shown has no code yet.
  bool IsNewItem() const;
  void ReadTexts();
  void ReadChoices();
  int ChosenGroupID() const;

  TBaseItem* item_ = nullptr;
  TCategory* category_ = nullptr;
  std::unique_ptr<TDBObjectList> sampleTypes_;
  std::unique_ptr<TDBObjectList> sampleGroups_;
  TNewItemHolder<TCombItem> newItem_;
};
