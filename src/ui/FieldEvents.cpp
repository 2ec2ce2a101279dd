#include "FieldEvents.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTreeWidget>

#include "HandlerConnect.h"

namespace {

bool IsEnter(QEvent* event) {
  const int key = static_cast<QKeyEvent*>(event)->key();
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool LeavesForAnotherControl(QEvent* event) {
  const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
  return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

// Push buttons (not radio buttons) act on Enter themselves.
bool TakesEnterItself(QWidget* widget) {
  return qobject_cast<QAbstractButton*>(widget) && !qobject_cast<QRadioButton*>(widget);
}

// Moves the focus on from `from` exactly as the Tab key does (radio groups,
// disabled fields and the window's bounds included): by pressing Tab there.
void FocusNextAfter(QWidget* from) {
  QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
  QCoreApplication::sendEvent(from, &tab);
}

}  // namespace

void ConnectExit(QWidget* field, std::function<void()> handler) {
  ConnectEvent(field, QEvent::FocusOut, [handler = std::move(handler)](QEvent* event) {
    if (LeavesForAnotherControl(event)) handler();
    return false;  // the field still learns that it lost the focus
  });
}

void ConnectEnter(QWidget* field, std::function<void()> handler) {
  auto onKey = [handler = std::move(handler)](QEvent* event) {
    if (!IsEnter(event)) return false;
    handler();
    return true;
  };
  ConnectEvent(field, QEvent::KeyPress, onKey);
  // The widgets that take the focus inside the field (the text part of an
  // editable combo box, the buttons of a radio group); not its pop-ups.
  for (QWidget* inner : field->findChildren<QWidget*>())
    if (inner->window() == field->window()) ConnectEvent(inner, QEvent::KeyPress, onKey);
}

void ConnectEnterOrder(const std::vector<QWidget*>& order) {
  for (size_t i = 0; i + 1 < order.size(); ++i) {
    std::vector<QWidget*> after(order.begin() + static_cast<long>(i) + 1, order.end());
    ConnectEnter(order[i], [after] {
      for (QWidget* next : after)
        if (next->isVisible() && next->isEnabled()) return next->setFocus(Qt::TabFocusReason);
    });
  }
}

void EnterMovesToNextControl(QWidget* window) {
  for (QWidget* control : window->findChildren<QWidget*>()) {
    // Any control that can hold the focus: a radio button that is no tab
    // stop now becomes one when it is chosen.
    if (control->focusPolicy() == Qt::NoFocus || TakesEnterItself(control)) continue;
    if (control->window() != window->window()) continue;  // pop-ups keep their keys
    ConnectEvent(control, QEvent::KeyPress, [control](QEvent* event) {
      if (!IsEnter(event)) return false;
      FocusNextAfter(control);
      return true;
    });
  }
}

void ConnectTreePress(QTreeWidget* tree, std::function<void(const QPoint&)> handler) {
  ConnectEvent(tree->viewport(), QEvent::MouseButtonPress,
               [handler = std::move(handler)](QEvent* event) {
                 const auto* mouse = static_cast<QMouseEvent*>(event);
                 if (mouse->button() != Qt::LeftButton) return true;
                 handler(mouse->position().toPoint());
                 return false;
               });
}

void ConnectTreeClick(QTreeWidget* tree, std::function<void()> handler) {
  ConnectEvent(tree->viewport(), QEvent::MouseButtonRelease,
               [tree, handler = std::move(handler)](QEvent* event) {
                 const auto* mouse = static_cast<QMouseEvent*>(event);
                 if (mouse->button() == Qt::LeftButton && tree->itemAt(mouse->position().toPoint()))
                   handler();
                 return false;
               });
}
