#include "DomainObjects.h"

#include "TCategoryManager.h"
#include "TCommon.h"
#include "TItemManager.h"
#include "TSampleType.h"

namespace DomainObjects {

void ReleaseProcessObjects() {
  // Destroying a registered instance forgets it first (request 2).
  delete TCategoryManager::AccessInstance(0);
  delete TItemManager::AccessInstance(0);
  delete TSampleType::AccessInstance(0);
  delete TCommon::AccessInstance(0);
}

}  // namespace DomainObjects
