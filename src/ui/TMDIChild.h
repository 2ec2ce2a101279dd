#pragma once

#include <QWidget>
#include <exception>
#include <functional>
#include <string>
#include <unordered_map>

#include "IWinMain.h"
#include "TComPtr.h"

class QAbstractButton;
class QIcon;
class QMdiSubWindow;
class TImageList;
class TPermissionAction;
class TTableReport;

/// Base class of every maintenance window. It reports each step of its life
/// to the host (create, show, activate, deactivate, close, destroy) and sets
/// its permission actions from the current user's rights when shown.
///
/// Creation order: the constructor builds only the widget; the factory then
/// calls CompleteCreation(), which fires the virtual FormCreate (the base one
/// tells the host MDIChildCreate; a window's own override calls it first and
/// then does its creation work: frames, lookup lists) and shows the window.
class TMDIChild : public QWidget {
  Q_OBJECT
 public:
  /// Takes the owner from the host (GetFormOwner): inside a QMdiArea the
  /// window becomes a sub-window of it, otherwise a child of the owner.
  explicit TMDIChild(IWinMain* host);
  ~TMDIChild() override;

  /// Fires FormCreate and shows the window, centred in the owner.
  void CompleteCreation();

  /// The factory of the registry: constructs the window and completes its
  /// creation. An error on the way destroys what was built (sub-window
  /// included) and propagates to the caller.
  template <class Window>
  static TMDIChild* Construct(IWinMain* host) {
    auto* window = new Window(host);
    static_cast<TMDIChild*>(window)->CompleteCreationOrDiscard();
    return window;
  }

  virtual void FormCreate(QObject* sender);
  virtual void FormShow(QObject* sender);
  virtual void FormActivate(QObject* sender);
  virtual void FormDeactivate(QObject* sender);
  virtual void FormClose(QObject* sender, TCloseAction& action);
  virtual void FormDestroy(QObject* sender);
  /// Reserved virtual operations kept with their defaults.
  virtual void ReservedProcedure() {}
  virtual void* ReservedFunction() { return nullptr; }

  /// The host's logged-in user, or null without a host.
  TCurrentUser* CurrentUser() const;
  /// The rights check for the current user.
  bool HasRight(const std::string& functionCode) const;
  /// Sets every permission action owned (directly or through frames) by the
  /// window, depth first in ownership order.
  void ApplyPermissions();

  /// Creates one of the window's permission actions (object name, caption,
  /// category and function code in GBK where text, picture index and icon).
  TPermissionAction* AddPermissionAction(const QString& name, const QString& caption,
                                         const std::string& category,
                                         const std::string& functionCode, int imageIndex,
                                         const QIcon& icon);
  /// Makes the window's permission actions of one category (GBK), each with
  /// the icon of its picture index in `images` (none without images):
  /// (object name, caption, function code, picture index).
  using ActionMaker = std::function<TPermissionAction*(const QString& name, const QString& caption,
                                                       const char* functionCode, int imageIndex)>;
  ActionMaker PermissionActionsOf(const std::string& category, const TImageList* images);

  /// A command of the window: `button` runs `handler`, guarded by `action`
  /// (null: a command open to everyone, such as Exit). The button follows
  /// the action (GuardButton) and the command checks the right on the way
  /// in (RequireRight), so no way to it — a click, an accelerator, an Enter
  /// chain ending on the button (RunCommand) — goes around a missing right.
  /// Errors leaving the command go to the application object; the window
  /// stays open.
  void AddCommand(QAbstractButton* button, TPermissionAction* action,
                  std::function<void()> handler);
  /// Runs the command of `button` as its click does: the right check, then
  /// the handler. An error propagates to the caller.
  void RunCommand(QAbstractButton* button);
  /// Windows constructed and not yet destroyed, in the process: a window
  /// closed by its user must not stay behind (held by a list, a parent
  /// that outlives it).
  static int LiveWindows();
  /// True while one of the window's commands runs: what changes meanwhile
  /// is the window's own doing.
  bool RunningCommand() const { return commandDepth_ > 0; }

  /// What brings the window up to what other desks wrote: called when the
  /// window is activated, among the host's windows or when the user comes
  /// back to the host from another program (errors there are left to the
  /// next command, which reports them), and on F5 ("刷新", errors reported).
  void SetRefreshHandler(std::function<void()> refresh);
  /// F5 of the window.
  void RefreshClick();
  /// The refresh of an activation: errors are left to the next command.
  void RefreshQuietly();

  /// Pairs a button with its permission action: from now on the button is
  /// enabled exactly while the action is, and hidden while the action is
  /// hidden (a button the window hides itself stays hidden). Buttons without
  /// an action are left alone.
  static void GuardButton(QAbstractButton* button, TPermissionAction* action);
  /// The handler side of the guard: raises an error naming the command and
  /// its function code when the current user lacks the action's right, so a
  /// key or an Enter chain cannot go around a disabled button.
  void RequireRight(const TPermissionAction* action) const;

  /// Runs a step that reads what the window cannot work without (its lookup
  /// lists at creation, its tree at show). When the step fails the window is
  /// of no use, so it does not stay open half-built: the error gets
  /// `whatFailed` (Chinese, GBK) in front and the database's own text after
  /// "原因：". While the window is being created the error goes to the
  /// creator (CreateMDIChild fails and no window remains, as for any
  /// creation error); later it is shown through the application object and
  /// the window is freed (the host hears MDIChildDestroy). False after a
  /// failure: the caller stops its show or creation work there.
  bool ReadDataOrClose(const std::string& whatFailed, const std::function<void()>& read);

  /// The print button's work: checks the right of the window's print action
  /// (RequireRight), builds the window's code table and shows it in the print
  /// preview, from which the user prints it or saves it as PDF. An empty
  /// table is refused with a message instead.
  void PrintCodeTable();
  /// The same print without a person: the right check, then the code table
  /// written to `pdfFile`. False when nothing was written; the reason (no
  /// right, nothing to print, a file that cannot be written) has been shown
  /// through the application object. Hosts call it by name through Qt's meta
  /// object system (QMetaObject::invokeMethod), which needs no export.
  Q_INVOKABLE bool SaveCodeTable(const QString& pdfFile);
  /// True for a window that prints a code table (it has a print action).
  Q_INVOKABLE bool PrintsCodeTable() const { return PrintAction() != nullptr; }

  /// The holder of the window's TPermissionAction objects.
  QObject* PermissionActions() const { return permissionActions_; }
  IWinMain* Host() const { return host_.get(); }
  /// The sub-window that frames this window, or null outside a QMdiArea.
  QMdiSubWindow* SubWindow() const { return subWindow_; }
  /// The widget to show, move and close: the sub-window or the window.
  QWidget* Frame() const;

 protected:
  /// The layout binds OnDestroy to FormDestroy: the host is told of the
  /// destruction a second time while the form is destroyed.
  void BindOnDestroyToFormDestroy() { destroyBound_ = true; }

  /// The permission action of the window's print command; null (the
  /// default) for a window that prints nothing.
  virtual const TPermissionAction* PrintAction() const { return nullptr; }
  /// The window's code table: which rows and columns, from the data the
  /// window maintains. Windows with a print action override it (the base's
  /// is empty).
  virtual TTableReport CodeTable();

  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void CompleteCreationOrDiscard();
  void RethrowCreationFailure();
  void Discard();
  void TrackActivation();
  void CarryOut(TCloseAction action);
  void ApplyPermissionsBelow(QObject* owner);
  /// The right check and the code table, refused when empty.
  TTableReport CheckedCodeTable();

  struct Command {
    TPermissionAction* action;
    std::function<void()> handler;
  };

  TComPtr<IWinMain> host_;
  std::unordered_map<const QAbstractButton*, Command> commands_;
  int commandDepth_ = 0;
  std::function<void()> refresh_;
  QMdiSubWindow* subWindow_ = nullptr;
  QObject* permissionActions_ = nullptr;
  bool destroyBound_ = false;
  bool creating_ = false;
  bool failed_ = false;                 // a ReadDataOrClose step failed
  std::exception_ptr creationFailure_;  // raised once creation has run
  bool shown_ = false;
  bool activationPending_ = false;
  bool activeForHost_ = false;   // the host was told of the activation last
  Qt::WindowStates shownState_;  // maximised/minimised at the last showing
};

/// The window font: "宋体" at 12 pixels, falling back to an installed CJK font.
QFont MaintenanceWindowFont();
