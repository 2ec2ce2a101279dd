#pragma once

class QWidget;
class TMDIChild;

/// The Qt widget of a library window. Every TMDIChild is a QWidget: QWidget
/// is its only base, so the widget starts where the window does. A host
/// reaches the widget (to find its sub-window, its class name through the
/// meta-object, or to grab it) without the window's declaration, which stays
/// inside the library. The host must use the same Qt 6 as the library.
inline QWidget* MDIChildWidget(TMDIChild* window) {
  return reinterpret_cast<QWidget*>(window);
}
