#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

/// A radio group: a box of exclusive choices laid out in columns. The item
/// index is the position of the chosen entry (-1 when none is chosen); the
/// buttons' ids in the button group are their positions.
///
/// Tab reaches the group once, on its chosen button (the first when none is
/// chosen); the other buttons take the focus by mouse or arrow keys only.
/// The box itself takes no focus: a tab order names the group through its
/// buttons (WidgetLook::ChainTabOrder does).
class TRadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  TRadioGroup(const QStringList& items, int columns, QWidget* parent = nullptr);

  int ItemIndex() const;
  /// Chooses the entry at `index`; any index outside the entries chooses none.
  void SetItemIndex(int index);
  int Count() const;
  QRadioButton* Button(int index) const;
  QButtonGroup* Buttons() const { return buttons_; }

  /// The entries "是" and "否" side by side (true = item 0).
  static TRadioGroup* YesNo(QWidget* parent = nullptr);
  /// The flag a yes/no group stands for: true when "是" is chosen.
  bool IsYes() const { return ItemIndex() == 0; }
  void SetYes(bool yes) { SetItemIndex(yes ? 0 : 1); }

 signals:
  /// The user (or the code) chose another entry.
  void ItemIndexChanged(int index);

 private:
  /// Only the chosen button (or the first) is a tab stop.
  void KeepChosenAsTabStop();

  QButtonGroup* buttons_;
};
