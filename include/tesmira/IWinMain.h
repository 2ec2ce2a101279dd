#pragma once

#include "IInterface.h"
#include "TCurrentUser.h"

class QWidget;
class TMDIChild;

/// The toolkit's close action, asked of the host when a window closes.
enum class TCloseAction { caNone = 0, caHide = 1, caFree = 2, caMinimize = 3 };

/// The host's main-window interface. The host implements it; the library
/// calls it by position, so the order below is the binary contract. The
/// reserved positions are operations the library never calls; they have
/// empty defaults so a host need not implement them.
class IWinMain : public IInterface {
 public:
  /// 1: the widget that owns new windows. A QMdiArea makes them sub-windows.
  virtual QWidget* GetFormOwner() = 0;
  virtual void Reserved2() {}
  virtual void Reserved3() {}
  virtual void Reserved4() {}
  /// 5: the logged-in user (owned by the host).
  virtual TCurrentUser* GetCurrentUser() = 0;
  virtual void Reserved6() {}
  virtual void Reserved7() {}
  virtual void Reserved8() {}
  virtual void Reserved9() {}
  virtual void Reserved10() {}
  virtual void Reserved11() {}
  virtual void Reserved12() {}
  virtual void Reserved13() {}
  virtual void Reserved14() {}
  virtual void Reserved15() {}
  virtual void Reserved16() {}
  virtual void Reserved17() {}
  virtual void Reserved18() {}
  virtual void Reserved19() {}
  /// 20: told while the window is being constructed.
  virtual void MDIChildCreate(TMDIChild* window) = 0;
  /// 21: told while the window is destroyed; may come twice for one window.
  virtual void MDIChildDestroy(TMDIChild* window) = 0;
  /// 22: told when the window is shown, before its permission actions are set.
  virtual void MDIChildShow(TMDIChild* window) = 0;
  /// 23: asked when the window is about to close; the host sets the action.
  virtual void MDIChildClose(TMDIChild* window, TCloseAction& action) = 0;
  /// 24: told when the window becomes the active child.
  virtual void MDIChildActivate(TMDIChild* window) = 0;
  /// 25: told when the window stops being the active child.
  virtual void MDIChildDeactivate(TMDIChild* window) = 0;

 protected:
  ~IWinMain() = default;
};
