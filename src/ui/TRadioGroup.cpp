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
    FollowChosenButton();
    if (checked) emit ItemIndexChanged(id);
  });
  FollowChosenButton();
}

// The group is one stop of the Tab chain, on the chosen button (the first
// while none is chosen): the other buttons take the focus by mouse only, and
// the arrow keys still move between them.
void TRadioGroup::FollowChosenButton() {
  QAbstractButton* stop = buttons_->checkedButton();
  if (!stop && !buttons_->buttons().isEmpty()) stop = buttons_->buttons().first();
  for (QAbstractButton* button : buttons_->buttons())
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
