#include "WindowRegistry.h"

#include <memory>

#include "Exceptions.h"
#include "SiblingLibrary.h"
#include "TApplication.h"
#include "TComPtr.h"
#include "TSingleComm.h"

namespace {

std::unique_ptr<TRegisterClasses> g_registered;
TApplication* g_savedApplication = nullptr;
TComPtr<IWinMain> g_host;

}  // namespace

namespace WindowRegistry {

void Startup() {
  SiblingLibrary::Bind();
  g_registered = std::make_unique<TRegisterClasses>();
  g_savedApplication = nullptr;
  RegisterMaintenanceWindows(*g_registered);
}

void Shutdown() {
  if (g_savedApplication) SetCurrentApplication(g_savedApplication);
  g_registered.reset();
  g_host.reset();
  SiblingLibrary::Unbind();
}

TRegisterClasses& RegisteredClasses() {
  if (!g_registered) throw Exception("The window registry is not created");
  return *g_registered;
}

TApplication* SavedApplication() { return g_savedApplication; }

void InitDLL(TApplication* application, IWinMain* host, TBaseDBConnPool* pool) {
  g_host = host;
  TSingleComm& shared = TSingleComm::Instance();
  shared.SetWinMain(host);
  shared.SetConnPool(pool);  // null keeps the pool held, if any
  if (!g_savedApplication) {
    // The first hand-over: the host's application object takes over; ours is
    // kept to be put back.
    g_savedApplication = CurrentApplication();
    SetCurrentApplication(application);
  } else if (!application) {
    SetCurrentApplication(g_savedApplication);
  }
}

TMDIChild* CreateMDIChild(const std::string& name, IWinMain* host) {
  TMDIChildClass childClass = GetMDIChildClass(name);
  return childClass ? childClass->Construct(host) : nullptr;
}

TMDIChildClass GetMDIChildClass(const std::string& name) {
  return RegisteredClasses().FindMDIChildClass(name);
}

void GetClassNames(std::string& names) { RegisteredClasses().GetClassNames(names); }

}  // namespace WindowRegistry
