#pragma once

#include <QDialog>
#include <cstdint>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TDBObjectList;

/// The modal dialog of the sample group window ("编辑试管类型"): the sample
/// type of a tube, chosen from a list, and the tube's name. OK is refused
/// (with a message, the dialog stays open) while either is missing; the
/// window reads the two values back after OK.
class TfrmSampleGroupEdit : public QDialog {
  Q_OBJECT
 public:
  explicit TfrmSampleGroupEdit(QWidget* owner);

  /// Offers the sample types of `sampleTypes` (TSampleType objects, not
  /// owned, kept by the caller while the dialog lives), in list order;
  /// nothing is chosen.
  void SetSampleTypes(const TDBObjectList& sampleTypes);
  /// Chooses the first entry whose sample type has this SampleTypeID; when
  /// none has, the choice stays as it was.
  void SetSampleTypeID(int32_t sampleTypeID);
  void SetGroupName(const std::string& groupName);
  /// The chosen sample type's SampleTypeID. With nothing chosen, the
  /// identifier set last (0 when none was set), so a tube whose sample type
  /// the list does not offer keeps it.
  int32_t GetSampleTypeID() const;
  std::string GetGroupName() const;

  /// What the user still has to fill in ("请选择样品类型。" or
  /// "请输入样品试管名。"); empty when the tube has a sample type and a name.
  /// No sample type: no entry chosen and no identifier kept from the tube.
  QString MissingEntry() const;
  /// Raises ETJSampleGroupException with MissingEntry when something is
  /// missing: the window's check of an answer that did not come through OK.
  void RequireEntries() const;

  /// OK: refused with a message, and the focus put on the missing field,
  /// while MissingEntry is not empty.
  void accept() override;

  QLabel* lblSampleType;
  QComboBox* cbbSampleType;
  QLabel* lblSampleGroupName;
  QLineEdit* edtSampleGroupName;
  QPushButton* btnOK;
  QPushButton* btnCancel;

 protected:
  /// Centres the dialog on the screen it opens on.
  void showEvent(QShowEvent* event) override;

 private:
  void BuildLayout();
  /// No entry chosen and no identifier kept from the tube being edited.
  bool LacksSampleType() const;

  const TDBObjectList* sampleTypes_ = nullptr;
  int32_t sampleTypeID_ = 0;
};
