#include "TMDIChild.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QIcon>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QShortcut>
#include <QShowEvent>
#include <algorithm>
#include <utility>

#include "Exceptions.h"
#include "HandlerConnect.h"
#include "QtText.h"
#include "TImageList.h"
#include "TPermissionAction.h"
#include "TReportPreview.h"
#include "TTableReport.h"
#include "TWaitIndicator.h"
#include "UserRights.h"

// The family names are copied to the heap: Qt keeps them in its font cache
// for the life of the process, and a literal's text would go with the
// library when the host unloads it (a later font lookup then read unmapped
// memory).
QFont MaintenanceWindowFont() {
  QFont font;
  font.setFamilies({QString::fromUtf16(u"宋体"), QString::fromUtf16(u"SimSun"),
                    QString::fromUtf16(u"WenQuanYi Zen Hei"),
                    QString::fromUtf16(u"Noto Sans CJK SC")});
  font.setPixelSize(12);
  return font;
}

namespace {

int g_liveWindows = 0;  // windows of the UI thread only

// Marks a button hidden by its action's guard (not by the window's own design).
const char* const kHiddenByGuard = "tesmiraHiddenByGuard";

// The caption without its accelerator: "保存(&S)" reads "保存".
QString PlainCaptionOf(QString caption) {
  static const QRegularExpression accelerator(QStringLiteral("\\(&.\\)|&"));
  return caption.remove(accelerator);
}

std::string PlainCaption(const QAction* action) {
  return QtText::FromQ(PlainCaptionOf(action->text()));
}

// A button the window itself hid (explicitly, not by this guard).
bool HiddenByDesign(const QAbstractButton* button) {
  return button->testAttribute(Qt::WA_WState_ExplicitShowHide) && button->isHidden() &&
         !button->property(kHiddenByGuard).toBool();
}

void FollowAction(QAbstractButton* button, const TPermissionAction* action) {
  button->setEnabled(action->isEnabled());
  if (!action->isVisible()) {
    if (!HiddenByDesign(button) && !button->property(kHiddenByGuard).toBool()) {
      button->setProperty(kHiddenByGuard, true);
      button->hide();
    }
  } else if (button->property(kHiddenByGuard).toBool()) {
    button->setProperty(kHiddenByGuard, false);
    button->show();
  }
}

QWidget* OwnerOf(IWinMain* host) {
  if (!host) throw Exception("A maintenance window needs the host interface");
  return host->GetFormOwner();
}

}  // namespace

TMDIChild::TMDIChild(IWinMain* host) {
  TComPtr<IWinMain> hold(host);  // the owner comes from it while we build
  QWidget* owner = OwnerOf(host);
  host_ = host;
  setFont(MaintenanceWindowFont());
  setAttribute(Qt::WA_DeleteOnClose, false);
  permissionActions_ = new QObject(this);
  permissionActions_->setObjectName(QStringLiteral("PermissionActions"));
  if (auto* area = qobject_cast<QMdiArea*>(owner)) {
    subWindow_ = new QMdiSubWindow();
    subWindow_->setAttribute(Qt::WA_DeleteOnClose, false);
    subWindow_->setWidget(this);
    area->addSubWindow(subWindow_);
    TrackActivation();
  } else if (owner) {
    setParent(owner, Qt::Window);
  }
  ++g_liveWindows;  // last: a constructor that throws has counted nothing
}

int TMDIChild::LiveWindows() {
  return g_liveWindows;
}

TMDIChild::~TMDIChild() {
  // Always the base handler first; a layout-bound OnDestroy tells the host
  // again while the form itself goes away. An error the host raises here
  // must not leave a destructor (that ends the process): it is shown like
  // any handler error.
  RunHandler([this] { TMDIChild::FormDestroy(this); });
  if (destroyBound_) RunHandler([this] { TMDIChild::FormDestroy(this); });
  host_.reset();
  --g_liveWindows;
}

void TMDIChild::CompleteCreation() {
  creating_ = true;
  creationFailure_ = nullptr;
  FormCreate(this);
  RethrowCreationFailure();
  QWidget* frame = Frame();
  frame->adjustSize();
  if (QWidget* area = subWindow_ ? subWindow_->mdiArea() : nullptr) {
    QSize room = area->size();
    frame->move(std::max(0, (room.width() - frame->width()) / 2),
                std::max(0, (room.height() - frame->height()) / 2));
  }
  frame->show();
  RethrowCreationFailure();
  creating_ = false;
}

void TMDIChild::RethrowCreationFailure() {
  if (!creationFailure_) return;
  creating_ = false;
  std::exception_ptr failure = std::exchange(creationFailure_, nullptr);
  std::rethrow_exception(failure);
}

bool TMDIChild::ReadDataOrClose(const std::string& whatFailed, const std::function<void()>& read) {
  std::exception_ptr failure;
  const std::string prefix = whatFailed + "\r\n原因：";
  try {
    const TWaitIndicator wait(this, windowTitle() + QStringLiteral("读取数据"));
    read();
    return true;
  } catch (Exception& e) {
    e.SetMessage(prefix + e.Message());  // keeps the error's class and members
    failure = std::current_exception();
  } catch (const std::exception& e) {
    failure = std::make_exception_ptr(Exception(prefix + e.what()));
  }
  failed_ = true;
  if (creating_) {
    // Raised by CompleteCreation once the step that failed has returned: a
    // show runs inside an event, where an error would only be shown.
    creationFailure_ = failure;
    return false;
  }
  RunHandler([&] { std::rethrow_exception(failure); });
  Discard();
  return false;
}

void TMDIChild::Discard() {
  QWidget* frame = Frame();
  frame->hide();
  frame->deleteLater();
}

void TMDIChild::CompleteCreationOrDiscard() {
  try {
    CompleteCreation();
  } catch (...) {
    delete Frame();
    throw;
  }
}

TPermissionAction* TMDIChild::AddPermissionAction(const QString& name, const QString& caption,
                                                  const std::string& category,
                                                  const std::string& functionCode, int imageIndex,
                                                  const QIcon& icon) {
  auto* action = new TPermissionAction(permissionActions_);
  action->setObjectName(name);
  action->setText(caption);
  action->Category = category;
  action->FunctionCode = functionCode;
  action->ImageIndex = imageIndex;
  action->setIcon(icon);
  return action;
}

TMDIChild::ActionMaker TMDIChild::PermissionActionsOf(const std::string& category,
                                                      const TImageList* images) {
  return [this, category, images](const QString& name, const QString& caption,
                                  const char* functionCode, int imageIndex) {
    return AddPermissionAction(name, caption, category, functionCode, imageIndex,
                               images ? images->Icon(imageIndex) : QIcon());
  };
}

void TMDIChild::AddCommand(QAbstractButton* button, TPermissionAction* action,
                           std::function<void()> handler) {
  commands_[button] = Command{action, std::move(handler)};
  if (action) GuardButton(button, action);
  ConnectHandler(button, &QAbstractButton::clicked, this, [this, button] { RunCommand(button); });
}

void TMDIChild::RunCommand(QAbstractButton* button) {
  const auto found = commands_.find(button);
  if (found == commands_.end()) throw Exception("The button has no command");
  // A copy: the handler may close the window, and the map with it.
  const Command command = found->second;
  if (command.action) RequireRight(command.action);
  const TWaitIndicator wait(this,
                            windowTitle() + QStringLiteral("：") + PlainCaptionOf(button->text()));
  struct Depth {
    int& depth;
    explicit Depth(int& d) : depth(d) { ++depth; }
    ~Depth() { --depth; }
  } running(commandDepth_);
  command.handler();
}

void TMDIChild::GuardButton(QAbstractButton* button, TPermissionAction* action) {
  FollowAction(button, action);
  QObject::connect(action, &QAction::changed, button,
                   [button, action] { FollowAction(button, action); });
}

void TMDIChild::RequireRight(const TPermissionAction* action) const {
  if (HasRight(action->FunctionCode)) return;
  throw ETJItemException("您没有“%s”的权限（功能号 %s），请与管理员联系！",
                         {PlainCaption(action), action->FunctionCode});
}

TTableReport TMDIChild::CodeTable() {
  return TTableReport(windowTitle(), {});  // reached only with a print action
}

TTableReport TMDIChild::CheckedCodeTable() {
  const TPermissionAction* action = PrintAction();
  if (!action) throw Exception("This window prints no code table");
  RequireRight(action);
  TTableReport report = CodeTable();
  if (report.IsEmpty())
    throw ETJItemException("没有可打印的内容：%s中还没有任何数据。",
                           {QtText::FromQ(windowTitle())});
  return report;
}

void TMDIChild::PrintCodeTable() {
  const TTableReport report = CheckedCodeTable();
  TReportPreview::Run(report, this);
}

bool TMDIChild::SaveCodeTable(const QString& pdfFile) {
  bool saved = false;
  RunHandler([&] {
    CheckedCodeTable().WritePdf(pdfFile);
    saved = true;
  });
  return saved;
}

QWidget* TMDIChild::Frame() const {
  return subWindow_ ? static_cast<QWidget*>(subWindow_) : const_cast<TMDIChild*>(this);
}

void TMDIChild::TrackActivation() {
  connect(subWindow_, &QMdiSubWindow::windowStateChanged, this,
          [this](Qt::WindowStates before, Qt::WindowStates now) {
            bool was = before.testFlag(Qt::WindowActive);
            bool is = now.testFlag(Qt::WindowActive);
            if (was == is) return;
            // The area activates a new sub-window while showing it; the host
            // hears of the show first and of the activation right after.
            if (!shown_) {
              activationPending_ = is;
              return;
            }
            // A window whose first show failed was never activated for the
            // host, so it hears of no deactivation either.
            if (failed_ && !is && !activeForHost_) return;
            activeForHost_ = is;
            RunHandler([&] { is ? FormActivate(this) : FormDeactivate(this); });
          });
}

void TMDIChild::FormCreate(QObject*) {
  if (host_) host_->MDIChildCreate(this);
}

void TMDIChild::FormShow(QObject*) {
  if (host_) host_->MDIChildShow(this);
  ApplyPermissions();
}

void TMDIChild::FormActivate(QObject*) {
  if (host_) host_->MDIChildActivate(this);
  RefreshQuietly();
}

// The user comes back to the host's main window from another program: the
// active window of its area checks for what other desks wrote meanwhile.
void TMDIChild::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::ActivationChange || !isActiveWindow() || !subWindow_) return;
  const QMdiArea* area = subWindow_->mdiArea();
  if (area && area->activeSubWindow() == subWindow_) RefreshQuietly();
}

void TMDIChild::RefreshQuietly() {
  if (!refresh_) return;
  try {
    refresh_();
  } catch (const std::exception&) {
    // Activation is no command of the user's: a database that cannot be
    // reached now is reported by the next command that needs it.
  }
}

void TMDIChild::SetRefreshHandler(std::function<void()> refresh) {
  const bool first = !refresh_;
  refresh_ = std::move(refresh);
  if (!first) return;
  auto* shortcut = new QShortcut(QKeySequence(Qt::Key_F5), this);
  shortcut->setContext(Qt::WidgetWithChildrenShortcut);
  connect(shortcut, &QShortcut::activated, this, [this] { RefreshClick(); });
}

void TMDIChild::RefreshClick() {
  if (refresh_) RunHandler(refresh_);
}

void TMDIChild::FormDeactivate(QObject*) {
  if (host_) host_->MDIChildDeactivate(this);
}

void TMDIChild::FormClose(QObject*, TCloseAction& action) {
  if (host_)
    host_->MDIChildClose(this, action);
  else
    action = TCloseAction::caFree;
}

void TMDIChild::FormDestroy(QObject*) {
  if (host_) host_->MDIChildDestroy(this);
}

TCurrentUser* TMDIChild::CurrentUser() const {
  return host_ ? host_->GetCurrentUser() : nullptr;
}

bool TMDIChild::HasRight(const std::string& functionCode) const {
  return UserHasRight(CurrentUser(), functionCode);
}

void TMDIChild::ApplyPermissions() {
  ApplyPermissionsBelow(this);
}

void TMDIChild::ApplyPermissionsBelow(QObject* owner) {
  for (QObject* component : owner->children()) {
    ApplyPermissionsBelow(component);
    if (auto* action = qobject_cast<TPermissionAction*>(component))
      action->ApplyRight(HasRight(action->FunctionCode));
  }
}

void TMDIChild::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // A spontaneous show (the desktop restoring the window) is no new showing.
  if (event->spontaneous()) return;
  // Maximising, minimising or restoring the sub-window hides and shows it
  // again; that is no new showing either (it would rebuild the window).
  if (subWindow_) {
    const Qt::WindowStates state =
        subWindow_->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized);
    const bool resized = shown_ && state != shownState_;
    shownState_ = state;
    if (resized) return;
  }
  RunHandler([this] { FormShow(this); });
  if (!shown_) {
    shown_ = true;
    // A window whose show failed is going away: it is never activated.
    if (activationPending_ && !failed_) {
      activeForHost_ = true;
      RunHandler([this] { FormActivate(this); });
    }
  }
}

void TMDIChild::closeEvent(QCloseEvent* event) {
  // The close is always carried out on the frame below, as the host decided;
  // the toolkit's own close of this widget is declined.
  event->ignore();
  TCloseAction action = TCloseAction::caMinimize;  // what a child window proposes
  bool asked = false;
  RunHandler([&] {
    FormClose(this, action);
    asked = true;
  });
  if (asked) CarryOut(action);
}

void TMDIChild::CarryOut(TCloseAction action) {
  QWidget* frame = Frame();
  switch (action) {
    case TCloseAction::caNone:
      break;
    case TCloseAction::caHide:
      frame->hide();
      break;
    case TCloseAction::caMinimize:
      frame->showMinimized();
      break;
    case TCloseAction::caFree:
      frame->hide();
      frame->deleteLater();
      break;
  }
}
