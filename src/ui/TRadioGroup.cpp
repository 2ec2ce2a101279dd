#include "TRadioGroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>
#include <algorithm>

TRadioGroup::TRadioGroup(const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(parent), buttons_(new QButtonGroup(this)) {
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(6, 2, 6, 2);
  layout->setVerticalSpacing(2);
  const int perRow = std::max(1, columns);
  for (int i = 0; i < items.size(); ++i) {
    auto* button = new QRadioButton(items[i], this);
    buttons_->addButton(button, i);
    layout->addWidget(button, i / perRow, i % perRow);
  }
  connect(buttons_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
    KeepChosenAsTabStop();
    if (checked) emit ItemIndexChanged(id);
  });
  KeepChosenAsTabStop();
}

void TRadioGroup::KeepChosenAsTabStop() {
  const QList<QAbstractButton*> all = buttons_->buttons();
  QAbstractButton* stop = buttons_->checkedButton();
  if (!stop && !all.isEmpty()) stop = all.first();
  // Click focus keeps a button in the tab order that was set up, but Tab
  // passes over it.
  for (QAbstractButton* button : all)
    button->setFocusPolicy(button == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

int TRadioGroup::ItemIndex() const {
  return buttons_->checkedId();
}

void TRadioGroup::SetItemIndex(int index) {
  if (QAbstractButton* button = buttons_->button(index)) {
    button->setChecked(true);
    return;
  }
  // An exclusive group cannot uncheck its last button; lift the rule briefly.
  if (QAbstractButton* checked = buttons_->checkedButton()) {
    buttons_->setExclusive(false);
    checked->setChecked(false);
    buttons_->setExclusive(true);
  }
}

int TRadioGroup::Count() const {
  return static_cast<int>(buttons_->buttons().size());
}

QRadioButton* TRadioGroup::Button(int index) const {
  return qobject_cast<QRadioButton*>(buttons_->button(index));
}

TRadioGroup* TRadioGroup::YesNo(QWidget* parent) {
  return new TRadioGroup({QStringLiteral("是"), QStringLiteral("否")}, 2, parent);
}
