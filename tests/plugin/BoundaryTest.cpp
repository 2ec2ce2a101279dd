// Loads the built libtesmira.so the way a host does: dlopen by path, the
// exports resolved by name. Links none of the library's code.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QMdiArea>
#include <cstdio>
#include <set>

#include "IWinMain.h"
#include "TApplication.h"
#include "TesmiraExports.h"

namespace {

class MinimalHost : public IWinMain {
 public:
  long QueryInterface(const TGUID&, void** o) override {
    *o = nullptr;
    return E_NOINTERFACE_RESULT;
  }
  long AddRef() override { return ++refs; }
  long Release() override { return --refs; }
  QWidget* GetFormOwner() override { return &area; }
  TCurrentUser* GetCurrentUser() override { return &user; }
  void MDIChildCreate(TMDIChild*) override {}
  void MDIChildDestroy(TMDIChild*) override {}
  void MDIChildShow(TMDIChild*) override {}
  void MDIChildClose(TMDIChild*, TCloseAction& a) override { a = TCloseAction::caFree; }
  void MDIChildActivate(TMDIChild*) override {}
  void MDIChildDeactivate(TMDIChild*) override {}
  QMdiArea area;
  TCurrentUser user;
  long refs = 0;
};

class SilentApplication : public TApplication {
 public:
  void ShowException(const std::exception&) override {}
};

std::set<std::string> DynamicSymbols(const char* file) {
  std::set<std::string> names;
  std::string cmd = std::string("nm -D --defined-only '") + file + "'";
  FILE* pipe = popen(cmd.c_str(), "r");
  if (!pipe) return names;
  char line[512];
  while (fgets(line, sizeof line, pipe)) {
    char address[64], type[8], name[400];
    if (sscanf(line, "%63s %7s %399s", address, type, name) == 3) names.insert(name);
  }
  pclose(pipe);
  return names;
}

}  // namespace

TEST(Boundary, LibraryExportsExactlyTheFourEntryPoints) {
  EXPECT_EQ(
      DynamicSymbols(TESMIRA_PLUGIN_FILE),
      (std::set<std::string>{"CreateMDIChild", "GetClassNames", "GetMDIChildClass", "InitDLL"}));
}

TEST(Boundary, HostLoadsResolvesAndUnloads) {
  void* handle = dlopen(TESMIRA_PLUGIN_FILE, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(handle, nullptr) << dlerror();
  auto initDLL = reinterpret_cast<TInitDLLProc>(dlsym(handle, "InitDLL"));
  auto create = reinterpret_cast<TCreateMDIChildProc>(dlsym(handle, "CreateMDIChild"));
  auto getClass = reinterpret_cast<TGetMDIChildClassProc>(dlsym(handle, "GetMDIChildClass"));
  auto getNames = reinterpret_cast<TGetClassNamesProc>(dlsym(handle, "GetClassNames"));
  ASSERT_TRUE(initDLL && create && getClass && getNames);

  std::string names = "stale";
  getNames(names);
  EXPECT_EQ(names, TESMIRA_EXPECTED_CLASS_NAMES);
  {
    MinimalHost host;
    SilentApplication app;
    initDLL(&app, &host, nullptr);
    EXPECT_EQ(create("  no such window ", &host), nullptr);
    EXPECT_EQ(getClass("nothing"), nullptr);
    // A host lets go of its interface before it goes away: the library
    // holds a reference until told otherwise and releases it at unload.
    initDLL(nullptr, nullptr, nullptr);
  }
  EXPECT_EQ(dlclose(handle), 0);
  // Really unloaded: nothing in the library pins it in the process.
  void* again = dlopen(TESMIRA_PLUGIN_FILE, RTLD_NOW | RTLD_NOLOAD);
  EXPECT_EQ(again, nullptr);
  if (again) dlclose(again);
}

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
