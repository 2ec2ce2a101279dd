#include "CatalogueEntries.h"

#include <vector>

#include "EntryWrites.h"
#include "TBaseItem.h"
#include "TItemManager.h"

namespace CatalogueEntries {

namespace {

// Never destroyed by a static destructor: the entries must outlive every
// window, also at exit. ReleaseRetired frees them when the library unloads.
std::vector<TBaseItem*>* g_retired = nullptr;

std::vector<TBaseItem*>& Retired() {
  if (!g_retired) g_retired = new std::vector<TBaseItem*>;
  return *g_retired;
}

}  // namespace

int Save(QWidget* parent, TBaseItem* entry, const std::function<void()>& readFields) {
  const int result = EntryWrites::Save<TItemFields>(parent, *entry, readFields);
  if (result == 2) TItemManager::Instance().AddItem(entry);
  return result;
}

void KeepRetired(TBaseItem* entry) {
  if (entry) Retired().push_back(entry);
}

bool Retire(TBaseItem* entry) {
  TItemManager& catalogue = TItemManager::Instance();
  if (!catalogue.Items().Contains(entry)) return false;
  catalogue.RemoveItem(entry);  // hands the entry back to the caller: kept here
  KeepRetired(entry);
  return true;
}

void ReleaseRetired() {
  if (!g_retired) return;
  for (TBaseItem* entry : *g_retired) delete entry;
  delete g_retired;
  g_retired = nullptr;
}

}  // namespace CatalogueEntries
