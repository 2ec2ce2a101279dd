// A host built against the installed Tesmira SDK alone: loads the installed
// library, initialises it, lists its windows, opens the one named on the
// command line in its multiple-document area, closes it and unloads the
// library. Prints what it saw; exits non-zero on any fault.
#include <dlfcn.h>
#include <tesmira/IWinMain.h>
#include <tesmira/MDIChildWidget.h>
#include <tesmira/TApplication.h>
#include <tesmira/TesmiraExports.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <cstdio>
#include <string>

namespace {

class ProbeHost : public IWinMain {
 public:
  long QueryInterface(const TGUID&, void** object) override {
    if (object) *object = nullptr;
    return E_NOINTERFACE_RESULT;
  }
  long AddRef() override { return ++refs; }
  long Release() override { return --refs; }
  QWidget* GetFormOwner() override { return &area; }
  TCurrentUser* GetCurrentUser() override { return &user; }
  void MDIChildCreate(TMDIChild*) override { ++created; }
  void MDIChildDestroy(TMDIChild*) override { ++destroyed; }
  void MDIChildShow(TMDIChild*) override { ++shown; }
  void MDIChildClose(TMDIChild*, TCloseAction& action) override { action = TCloseAction::caFree; }
  void MDIChildActivate(TMDIChild*) override {}
  void MDIChildDeactivate(TMDIChild*) override {}

  QMdiArea area;
  TCurrentUser user;
  long refs = 0;
  int created = 0, shown = 0, destroyed = 0;
};

class ProbeApplication : public TApplication {
 public:
  void ShowException(const std::exception& error) override {
    std::fprintf(stderr, "error shown: %s\n", error.what());
    ++errors;
  }
  int errors = 0;
};

bool Fault(const char* what) {
  std::fprintf(stderr, "probe: %s\n", what);
  return false;
}

// Rows the window shows in its lists, trees and grids.
int Rows(QWidget* window) {
  int rows = 0;
  for (auto* view : window->findChildren<QAbstractItemView*>())
    if (view->model()) rows += view->model()->rowCount();
  return rows;
}

bool OpenAndClose(TCreateMDIChildProc create, TGetMDIChildClassProc getClass, ProbeHost& host,
                  const char* name) {
  TMDIChild* window = create(name, &host);
  if (!window) return Fault("no window was made");
  QWidget* widget = MDIChildWidget(window);
  QMdiSubWindow* sub = nullptr;
  for (QMdiSubWindow* candidate : host.area.subWindowList())
    if (candidate->widget() == widget) sub = candidate;
  TMDIChildClass info = getClass(name);
  std::printf("opened %s: class %s, created %d, shown %d, rows %d\n", name,
              widget->metaObject()->className(), host.created, host.shown, Rows(widget));
  bool ok = sub != nullptr || Fault("the window is not a sub-window of the host's area");
  if (!info || std::string(info->ClassName) != widget->metaObject()->className())
    ok = Fault("the window's class is not the registered one");
  if (host.created != 1 || host.shown != 1) ok = Fault("the host was not told of the window");
  if (Rows(widget) == 0) ok = Fault("the window shows no data");
  host.area.closeAllSubWindows();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  if (host.destroyed == 0) ok = Fault("the window was not destroyed");
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // in order with the messages on stderr
  if (argc != 2) {
    Fault("usage: tesmira-probe WINDOW");
    return 2;
  }
  void* library = dlopen(TESMIRA_PLUGIN, RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    Fault(dlerror());
    return 1;
  }
  auto initDLL = reinterpret_cast<TInitDLLProc>(dlsym(library, "InitDLL"));
  auto create = reinterpret_cast<TCreateMDIChildProc>(dlsym(library, "CreateMDIChild"));
  auto getClass = reinterpret_cast<TGetMDIChildClassProc>(dlsym(library, "GetMDIChildClass"));
  auto getNames = reinterpret_cast<TGetClassNamesProc>(dlsym(library, "GetClassNames"));
  if (!initDLL || !create || !getClass || !getNames) {
    Fault("an export is missing");
    return 1;
  }

  std::string names;
  getNames(names);
  std::printf("windows: %s", names.c_str());
  bool ok = true;
  {
    ProbeHost host;
    ProbeApplication application;
    host.user.UserName = std::string("probe");
    host.area.show();  // windows are shown with their owner
    initDLL(&application, &host, nullptr);
    ok = OpenAndClose(create, getClass, host, argv[1]);
    initDLL(nullptr, nullptr, nullptr);  // our objects go: the library's own come back
    if (application.errors > 0) ok = Fault("the library reported errors");
  }
  if (dlclose(library) != 0) ok = Fault("the library did not unload");
  std::printf("unloaded\n");
  return ok ? 0 : 1;
}
