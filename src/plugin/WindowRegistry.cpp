#include "WindowRegistry.h"

#include <memory>

#include "CatalogueEntries.h"
#include "DomainObjects.h"
#include "Exceptions.h"
#include "GbkText.h"
#include "SiblingLibrary.h"
#include "TComPtr.h"
#include "TImageList.h"
#include "TLibraryApplication.h"
#include "TSingleComm.h"

namespace {

// The module state lives on the heap and is never destroyed by a static
// destructor: when the process exits with the library still loaded, those
// destructors run before the unload sequence, which must still find it.
// ReleaseProcessObjects frees it as the very last step.
struct ModuleState {
  std::unique_ptr<TRegisterClasses> Registered;
  TApplication* SavedApplication = nullptr;
  TComPtr<IWinMain> Host;
};

ModuleState* g_state = nullptr;

ModuleState& State() {
  if (!g_state) g_state = new ModuleState();
  return *g_state;
}

}  // namespace

namespace WindowRegistry {

void Startup() {
  SiblingLibrary::Bind();
  State().Registered = std::make_unique<TRegisterClasses>();
  State().SavedApplication = nullptr;
  RegisterMaintenanceWindows(*State().Registered);
}

void Shutdown() {
  if (State().SavedApplication) SetCurrentApplication(State().SavedApplication);
  State().Registered.reset();
  State().Host.reset();
  SiblingLibrary::Unbind();
}

void ReleaseProcessObjects() {
  CatalogueEntries::ReleaseRetired();
  DomainObjects::ReleaseProcessObjects();
  TSingleComm::ReleaseProcessObjects();
  GbkText::ReleaseConverters();
  TImageList::ReleaseSharedPictures();
  delete g_state;
  g_state = nullptr;
}

TRegisterClasses& RegisteredClasses() {
  if (!State().Registered) throw Exception("The window registry is not created");
  return *State().Registered;
}

TApplication* SavedApplication() {
  return State().SavedApplication;
}

void InitDLL(TApplication* application, IWinMain* host, TBaseDBConnPool* pool) {
  State().Host = host;
  TSingleComm& shared = TSingleComm::Instance();
  shared.SetWinMain(host);
  shared.SetConnPool(pool);  // null keeps the pool held, if any
  if (!State().SavedApplication) {
    // The first hand-over: the host's application object takes over; ours is
    // kept to be put back.
    State().SavedApplication = CurrentApplication();
    SetCurrentApplication(application);
  } else if (!application) {
    SetCurrentApplication(State().SavedApplication);
  }
}

TMDIChild* CreateMDIChild(const std::string& name, IWinMain* host) {
  TMDIChildClass childClass = GetMDIChildClass(name);
  return childClass ? childClass->Construct(host) : nullptr;
}

TMDIChildClass GetMDIChildClass(const std::string& name) {
  return RegisteredClasses().FindMDIChildClass(name);
}

void GetClassNames(std::string& names) {
  RegisteredClasses().GetClassNames(names);
}

}  // namespace WindowRegistry
