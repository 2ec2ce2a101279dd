#include "CatalogueEntries.h"

#include <vector>

#include "TItemManager.h"

namespace CatalogueEntries {

namespace {

// Never destroyed: the entries must outlive every window, also at exit.
std::vector<TBaseItem*>& Retired() {
  static auto* retired = new std::vector<TBaseItem*>;
  return *retired;
}

}  // namespace

int Save(TBaseItem* entry, const std::function<void()>& readFields) {
  const TItemFields before = *entry;
  int result = 0;
  try {
    readFields();
    result = entry->Save();
  } catch (...) {
    static_cast<TItemFields&>(*entry) = before;
    throw;
  }
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

}  // namespace CatalogueEntries
