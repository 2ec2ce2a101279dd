#pragma once

#include <QFrame>
#include <memory>

class QLineEdit;
class TCategory;
class TRadioGroup;

/// The category detail frame: the fields of one category. It edits the
/// category it is shown (Category); Save stores the fields into it.
class TfamCategory : public QFrame {
  Q_OBJECT
 public:
  explicit TfamCategory(QWidget* parent = nullptr);
  ~TfamCategory() override;

  /// Edits a new, empty category. The frame keeps it until it is saved (the
  /// cache then takes it) or another category is shown, so no other window
  /// can free the category this one is editing.
  void ShowNewCategory();
  /// Edits `category`; a stored one is read again from the table first, so
  /// the fields show what is stored.
  void ShowCategory(TCategory* category);
  /// Copies Category into the fields; the modifier is the current operator
  /// and the date today, whatever was stored.
  void DisplayCategory();
  /// Copies the fields into Category. A display order that is not an
  /// integer or a date that is no date raises before anything is changed.
  void ReadFields();
  /// Reads the fields and saves Category: 2 inserted (the code field then
  /// shows the new code), 3 updated, 0 refused by a rule (shown as a hint),
  /// EntryWrites::kChangedElsewhere (the fields now show the row as it is)
  /// or kDeletedElsewhere.
  /// The category joins the cache. When the save fails, Category keeps the
  /// values it had.
  int SaveCategory();
  /// Shows a blank category and drops Category, so Save does nothing until a
  /// category is shown again. Failures raise ETJItemException
  /// "清空界面信息出现异常！".
  void ClearFields();

  /// The category being edited, or null.
  TCategory* Category() const { return category_; }

  QLineEdit* medtSort;
  QLineEdit* edtCateName;
  TRadioGroup* radCateType;
  QLineEdit* edtCateInfo;
  QLineEdit* edtCateMemo;
  TRadioGroup* radIsShowLimit;
  QLineEdit* medtCateCode;
  QLineEdit* edtModifyOper;
  QLineEdit* makModifyDate;

 private:
  void BuildFields();
  /// Text fields take no more than their column's width in GBK bytes.
  void LimitWidths();
  void LayOutFields();
  void DisplayValues(const TCategory& values);

  TCategory* category_ = nullptr;
  std::unique_ptr<TCategory> newCategory_;  // the unsaved category, if shown
};
