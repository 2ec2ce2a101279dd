#include "THostWindow.h"

#include <tesmira/MDIChildWidget.h>

#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <algorithm>
#include <iostream>

#include "HostText.h"
#include "THostApplication.h"
#include "TPluginLibrary.h"

namespace {

// The windows' titles, as the library gives them, by registered name: a host
// builds its menu before any window exists.
const std::pair<const char*, const char16_t*> kCaptions[] = {
    {"TfrmCheckSet", u"套餐设置"},     {"TfrmCategorie", u"类别维护"},
    {"TfrmCombItem", u"组合项目设置"}, {"TfrmItemEdit", u"项目维护"},
    {"TfrmSampleGroup", u"试管类型"},  {"TfrmCatalogueExchange", u"目录导入导出"},
    {"TfrmCatalogueHistory", u"目录变更历史"}};

bool SameName(const QString& a, const QString& b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

}  // namespace

THostWindow::THostWindow(TPluginLibrary& plugin, TCurrentUser user, bool unattended)
    : plugin_(plugin), user_(std::move(user)), unattended_(unattended), area_(new QMdiArea(this)) {
  setWindowTitle(QStringLiteral("Tesmira 体检系统"));
  setCentralWidget(area_);
  // Windows that do not fit (tiled fixed-size windows) are reached by
  // scrolling; without scroll bars the area's minimum size grows with them
  // and widens the main window past the screen.
  area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  QSize size(1200, 800);
  if (QScreen* screen = this->screen()) size = size.boundedTo(screen->availableGeometry().size());
  resize(size);
  BuildMenus();
  QString who = user_.UserName ? HostText::FromGbk(*user_.UserName) : QStringLiteral("(Null)");
  // A permanent field: menu hints and other messages do not wipe it out.
  userField_ = new QLabel(QStringLiteral("用户: ") + who, this);
  userField_->setObjectName(QStringLiteral("UserField"));
  statusBar()->addPermanentWidget(userField_);
}

QMdiSubWindow* THostWindow::SubWindowOf(TMDIChild* window) const {
  for (QMdiSubWindow* sub : area_->subWindowList())
    if (sub->widget() == MDIChildWidget(window)) return sub;
  return nullptr;
}

void THostWindow::KeepApartFromItsClass(TMDIChild* window) {
  QMdiSubWindow* sub = SubWindowOf(window);
  if (!sub) return;
  const QByteArray className = MDIChildWidget(window)->metaObject()->className();
  auto covers = [&](QPoint at) {
    for (TMDIChild* other : windows_) {
      if (other == window || className != MDIChildWidget(other)->metaObject()->className())
        continue;
      QMdiSubWindow* otherSub = SubWindowOf(other);
      if (otherSub && otherSub->isVisible() && otherSub->pos() == at) return true;
    }
    return false;
  };
  const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub);
  QPoint at = sub->pos();
  for (size_t tries = 0; tries < windows_.size() && covers(at); ++tries) at += QPoint(step, step);
  sub->move(at);
}

std::vector<std::string> THostWindow::WindowNames() const {
  std::string text;
  plugin_.GetClassNames(text);
  std::vector<std::string> names;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    names.push_back(text.substr(start, end - start));
  return names;
}

TMDIChild* THostWindow::OpenWindow(const std::string& name) {
  try {
    TMDIChild* window = plugin_.CreateMDIChild(name.c_str(), this);
    if (!window) throw std::runtime_error("No window is registered under " + name);
    return window;
  } catch (const std::exception& error) {
    const QString text = HostText::FromGbk(error.what());
    if (unattended_) {
      std::cerr << "error opening " << HostText::ToUtf8(name) << ": " << text.toStdString()
                << std::endl;
    } else {
      THostApplication::ShowErrorBox(this, windowTitle(), text);
    }
    return nullptr;
  }
}

QString THostWindow::CaptionOf(const std::string& name) {
  const QString wanted = HostText::FromGbk(name).trimmed();
  for (const auto& [className, caption] : kCaptions)
    if (SameName(wanted, QString::fromLatin1(className))) return QString::fromUtf16(caption);
  return HostText::FromGbk(name);
}

TMDIChild* THostWindow::OpenWindowOf(const std::string& name) const {
  const QString wanted = HostText::FromGbk(name).trimmed();
  // The area lists its sub-windows most recently activated first.
  for (QMdiSubWindow* sub : area_->subWindowList(QMdiArea::ActivationHistoryOrder)) {
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
      QWidget* widget = MDIChildWidget(*it);
      if (sub->widget() == widget &&
          SameName(wanted, QString::fromLatin1(widget->metaObject()->className())))
        return *it;
    }
  }
  return nullptr;
}

TMDIChild* THostWindow::ShowWindow(const std::string& name, bool another) {
  TMDIChild* open = another ? nullptr : OpenWindowOf(name);
  if (!open) return OpenWindow(name);
  if (QMdiSubWindow* sub = SubWindowOf(open)) {
    if (sub->isMinimized()) sub->showNormal();
    area_->setActiveSubWindow(sub);
  }
  return open;
}

void THostWindow::BuildMenus() {
  QMenu* windowMenu = menuBar()->addMenu(QStringLiteral("窗口(&W)"));
  QMenu* anotherMenu = new QMenu(QStringLiteral("再开一个(&N)"), windowMenu);
  anotherMenu->setObjectName(QStringLiteral("AnotherWindowMenu"));
  for (const std::string& name : WindowNames()) {
    QAction* show = windowMenu->addAction(CaptionOf(name));
    show->setStatusTip(QStringLiteral("打开或切换到该窗口；按住 Shift 选择时再开一个"));
    // Shift held while choosing opens a further copy, as the submenu does.
    connect(show, &QAction::triggered, this, [this, name] {
      ShowWindow(name, QApplication::keyboardModifiers().testFlag(Qt::ShiftModifier));
    });
    connect(anotherMenu->addAction(CaptionOf(name)), &QAction::triggered, this,
            [this, name] { ShowWindow(name, true); });
  }
  windowMenu->addMenu(anotherMenu);
  windowMenu->addSeparator();
  connect(windowMenu->addAction(QStringLiteral("层叠")), &QAction::triggered, area_,
          &QMdiArea::cascadeSubWindows);
  connect(windowMenu->addAction(QStringLiteral("平铺")), &QAction::triggered, area_,
          &QMdiArea::tileSubWindows);
  connect(windowMenu->addAction(QStringLiteral("退出")), &QAction::triggered, this,
          &QWidget::close);
}

long THostWindow::QueryInterface(const TGUID&, void** object) {
  if (object) *object = nullptr;
  return E_NOINTERFACE_RESULT;
}

QWidget* THostWindow::GetFormOwner() {
  return area_;
}

void THostWindow::Log(const char* what, TMDIChild* window) const {
  if (Verbose) std::cerr << "host: " << what << " " << static_cast<const void*>(window) << "\n";
}

void THostWindow::MDIChildCreate(TMDIChild* window) {
  Log("create", window);
  windows_.push_back(window);
}

void THostWindow::MDIChildDestroy(TMDIChild* window) {
  // Some windows report their destruction twice; the second finds nothing.
  Log("destroy", window);
  windows_.erase(std::remove(windows_.begin(), windows_.end(), window), windows_.end());
  placed_.erase(std::remove(placed_.begin(), placed_.end(), window), placed_.end());
}

void THostWindow::MDIChildShow(TMDIChild* window) {
  Log("show", window);
  if (std::find(placed_.begin(), placed_.end(), window) != placed_.end()) return;
  placed_.push_back(window);
  KeepApartFromItsClass(window);
}

void THostWindow::MDIChildClose(TMDIChild* window, TCloseAction& action) {
  Log("close", window);
  action = TCloseAction::caFree;
}

void THostWindow::MDIChildActivate(TMDIChild* window) {
  Log("activate", window);
}
void THostWindow::MDIChildDeactivate(TMDIChild* window) {
  Log("deactivate", window);
}
