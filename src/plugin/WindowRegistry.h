#pragma once

#include <string>

#include "TRegisterClasses.h"

class TApplication;
class TBaseDBConnPool;

/// The state and operations behind the four exports: the registry of window
/// classes, the application hand-over and the host reference.
namespace WindowRegistry {

/// Start-up sequence at library load: binds the sibling library, creates the
/// registry empty, clears the saved application and registers the windows.
void Startup();
/// Unload sequence: the library's own application object back in force, the
/// registry freed, the host reference released, the sibling library unbound.
void Shutdown();
/// Last step of unloading, after Shutdown: frees what lives for the process
/// (retired items, the catalogue and caches, the shared context, the pool
/// with its connections, this thread's text converters, the module state),
/// since the unloaded library's memory could never be reached again. No
/// object of the library may be used afterwards.
void ReleaseProcessObjects();

/// The registry (created by Startup). Raises when the library is not started.
TRegisterClasses& RegisteredClasses();

void InitDLL(TApplication* application, IWinMain* host, TBaseDBConnPool* pool);
TMDIChild* CreateMDIChild(const std::string& name, IWinMain* host);
TMDIChildClass GetMDIChildClass(const std::string& name);
void GetClassNames(std::string& names);

/// The application object saved by the first hand-over, or null.
TApplication* SavedApplication();

}  // namespace WindowRegistry

/// Registers the maintenance windows in their fixed order. Called by Startup.
void RegisterMaintenanceWindows(TRegisterClasses& registry);
