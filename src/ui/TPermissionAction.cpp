#include "TPermissionAction.h"

TPermissionAction::TPermissionAction(QObject* owner) : QAction(owner) {}

void TPermissionAction::ApplyRight(bool hasRight) {
  if (hasRight) {
    setVisible(true);
    setEnabled(true);
    return;
  }
  setEnabled(false);
  if (InvisibleIfNoRight) setVisible(false);
}
