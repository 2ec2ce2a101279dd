#pragma once

#include "Exceptions.h"

/// The access protocol of the process-wide objects (the shared context, the
/// pool, the catalogue, the caches): request 0 returns the instance or null;
/// 1 makes it with `make` when missing and returns it; 2 forgets it (returns
/// null, destroys nothing); any other request raises Exception
/// "Illegal request %d in AccessInstance". `slot` is the class's instance.
template <class T, class Make>
T* AccessSingleton(T*& slot, int request, Make make) {
  switch (request) {
    case 0:
      return slot;
    case 1:
      if (!slot) slot = make();
      return slot;
    case 2:
      slot = nullptr;
      return nullptr;
    default:
      throw Exception("Illegal request %d in AccessInstance", {request});
  }
}
