#include "DomainObjects.h"

#include "TCategoryManager.h"
#include "TCommon.h"
#include "TItemManager.h"
#include "TSampleType.h"
#include "TSingleComm.h"

namespace DomainObjects {

TBaseDBConnPool* SharedPool() {
  return TSingleComm::Instance().GetConnPool();
}

const TCurrentUser* HostUser() {
  IWinMain* host = TSingleComm::Instance().WinMain();
  return host ? host->GetCurrentUser() : nullptr;
}

void ReleaseProcessObjects() {
  // Destroying a registered instance forgets it first (request 2).
  delete TCategoryManager::AccessInstance(0);
  delete TItemManager::AccessInstance(0);
  delete TSampleType::AccessInstance(0);
  delete TCommon::AccessInstance(0);
}

}  // namespace DomainObjects
