#pragma once

#include <QPoint>
#include <QWidget>
#include <functional>
#include <vector>

class QTreeWidget;

/// Field events the maintenance windows bind by name, on top of
/// ConnectEvent (so an error a handler raises is shown, not lost).

/// The field's Exit handler: runs when the focus leaves `field` for another
/// control of the same window. Switching to another window or opening a
/// menu is not leaving the field.
void ConnectExit(QWidget* field, std::function<void()> handler);

/// Runs `handler` when Enter or Return is pressed in `field` (or in a
/// widget inside it, such as the buttons of a radio group); the key is
/// consumed.
void ConnectEnter(QWidget* field, std::function<void()> handler);

/// Enter in each field of `order` but the last moves the focus to the next
/// field of the list that is visible and enabled (hidden or disabled ones
/// are passed over).
void ConnectEnterOrder(const std::vector<QWidget*>& order);

/// The key preview of a window: Enter in any control below `window` moves
/// the focus to the next control in tab order, as Tab does. Buttons keep
/// Enter (it presses them).
void EnterMovesToNextControl(QWidget* window);

/// A tree frame's MouseDown: `handler` gets the position of a left-button
/// press. A press of any other button is kept from the tree altogether: a
/// right-button press on a node would select it and make it the pressed
/// entry, while the editor still works on another.
void ConnectTreePress(QTreeWidget* tree, std::function<void(const QPoint&)> handler);

/// A window's Click on a tree frame: a left-button release over a node. A
/// release on empty space is no click: it would show the last pressed entry
/// again in place of what the editor holds (a typed, unsaved new entry).
void ConnectTreeClick(QTreeWidget* tree, std::function<void()> handler);
