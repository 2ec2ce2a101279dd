#include "WidgetLook.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "QtText.h"

namespace WidgetLook {

QLineEdit* NamedEdit(QWidget* parent, const QString& name) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  return edit;
}

QComboBox* NamedCombo(QWidget* parent, const QString& name, bool editable,
                      std::initializer_list<QString> entries) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(name);
  combo->setEditable(editable);
  if (editable) combo->setInsertPolicy(QComboBox::NoInsert);  // typed text is no new entry
  for (const QString& entry : entries) combo->addItem(entry);
  combo->setCurrentIndex(-1);
  return combo;
}

QPushButton* NamedButton(QWidget* parent, const QString& name, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setAutoDefault(false);
  return button;
}

void Grey(QWidget* field) {
  QPalette palette = field->palette();
  palette.setColor(QPalette::Base, QColor(0xD4, 0xD0, 0xC8));
  // Disabled fields (修改人, 最后修改时间) would draw their text in the
  // style's disabled grey, unreadable on this grey: they show it black.
  palette.setColor(QPalette::Disabled, QPalette::Text, QColor(Qt::black));
  field->setPalette(palette);
}

void ChineseInput(QWidget* field, const char* imeName) {
  field->setAttribute(Qt::WA_InputMethodEnabled, true);
  field->setProperty("ImeName", QtText::ToQ(imeName));
}

namespace {

// The widgets that stand for `field` in a tab order.
QList<QWidget*> TabStopsOf(QWidget* field) {
  if (field->focusPolicy() != Qt::NoFocus) return {field};
  QList<QWidget*> stops;
  for (QWidget* inner : field->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (inner->focusPolicy() != Qt::NoFocus) stops << inner;
  return stops;
}

}  // namespace

void ChainTabOrder(std::initializer_list<QWidget*> fields) {
  QWidget* previous = nullptr;
  for (QWidget* field : fields) {
    for (QWidget* stop : TabStopsOf(field)) {
      if (previous) QWidget::setTabOrder(previous, stop);
      previous = stop;
    }
  }
}

}  // namespace WidgetLook
