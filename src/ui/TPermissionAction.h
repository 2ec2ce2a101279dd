#pragma once

#include <QAction>
#include <string>

/// An action guarded by a function code. When the window is shown it is
/// enabled, or disabled (and hidden when InvisibleIfNoRight), by the current
/// user's rights. The window pairs each guarded button with its action
/// (TMDIChild::GuardButton), so the button follows the action's state.
class TPermissionAction : public QAction {
  Q_OBJECT
 public:
  explicit TPermissionAction(QObject* owner = nullptr);

  /// The code that grants the command; empty means everybody may use it.
  std::string FunctionCode;
  /// When the right is missing, hide the action as well as disabling it.
  bool InvisibleIfNoRight = false;
  /// The action's category ("类别", "项目", ...), GBK.
  std::string Category;
  /// Picture index into the image list of the action list.
  int ImageIndex = -1;

  /// Enables (and shows) the action with the right; disables it, and hides
  /// it when InvisibleIfNoRight, without.
  void ApplyRight(bool hasRight);
};
