#pragma once

#include <tesmira/IWinMain.h>

#include <QMainWindow>
#include <string>
#include <vector>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class TPluginLibrary;

/// The reference host's main window: a multiple-document area that owns the
/// library's windows, the logged-in user, and a Window menu built from the
/// library's registered names. It implements the host interface.
class THostWindow : public QMainWindow, public IWinMain {
 public:
  THostWindow(TPluginLibrary& plugin, TCurrentUser user, bool unattended);

  /// Every registered window name, in registration order.
  std::vector<std::string> WindowNames() const;
  /// Opens a window by name; an error is shown and null returned.
  TMDIChild* OpenWindow(const std::string& name);
  /// The Window menu's choice: brings the open window of that class to the
  /// front (restored if minimised); opens one when none is open, or when
  /// `another` asks for a further copy.
  TMDIChild* ShowWindow(const std::string& name, bool another = false);
  /// The open window of a class (registered name, letters without case)
  /// that was activated last, or null.
  TMDIChild* OpenWindowOf(const std::string& name) const;
  /// The caption the Window menu shows for a registered name: the window's
  /// Chinese title, or the name for a class the host does not know.
  static QString CaptionOf(const std::string& name);
  QMdiArea* Area() const { return area_; }
  /// Windows the library reported as created and not yet destroyed.
  const std::vector<TMDIChild*>& OpenWindows() const { return windows_; }
  /// The sub-window framing a library window, or null.
  QMdiSubWindow* SubWindowOf(TMDIChild* window) const;
  /// The permanent status bar field naming the user.
  QLabel* UserField() const { return userField_; }
  bool Verbose = false;

  // IInterface: the window is owned by Qt; the count never frees it.
  long QueryInterface(const TGUID&, void** object) override;
  long AddRef() override { return ++refCount_; }
  long Release() override { return --refCount_; }

  // IWinMain
  QWidget* GetFormOwner() override;
  TCurrentUser* GetCurrentUser() override { return &user_; }
  void MDIChildCreate(TMDIChild* window) override;
  void MDIChildDestroy(TMDIChild* window) override;
  void MDIChildShow(TMDIChild* window) override;
  void MDIChildClose(TMDIChild* window, TCloseAction& action) override;
  void MDIChildActivate(TMDIChild* window) override;
  void MDIChildDeactivate(TMDIChild* window) override;

 private:
  void BuildMenus();
  /// A window shown for the first time does not cover another window of
  /// its class: it moves down and right by a title bar until it is free.
  void KeepApartFromItsClass(TMDIChild* window);
  void Log(const char* what, TMDIChild* window) const;

  TPluginLibrary& plugin_;
  TCurrentUser user_;
  bool unattended_;
  QMdiArea* area_;
  std::vector<TMDIChild*> windows_;
  std::vector<TMDIChild*> placed_;  // shown at least once
  QLabel* userField_;
  long refCount_ = 0;
};
