#include "WindowRegistry.h"

// The maintenance windows in their registration order. Each window joins
// the list once it is built.
void RegisterMaintenanceWindows(TRegisterClasses& registry) { (void)registry; }
