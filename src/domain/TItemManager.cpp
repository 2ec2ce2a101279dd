#include "TItemManager.h"

#include <memory>
#include <vector>

#include "Exceptions.h"
#include "SingletonAccess.h"
#include "TDBObjectList.h"
#include "TSingleComm.h"

namespace {

TItemManager* g_instance = nullptr;

[[noreturn]] void RefuseDirectConstruction() {
  throw Exception("Access class %s through Instance only", {"TItemManager"});
}

// Evaluated before the base is constructed, so a refused construction binds
// no operator.
TBaseDBConnPool* RefusedPool() {
  RefuseDirectConstruction();
}

}  // namespace

TItemManager* TItemManager::AccessInstance(int request) {
  return AccessSingleton(g_instance, request, &CreateSingleton);
}

TItemManager* TItemManager::CreateSingleton() {
  auto manager = std::make_unique<TItemManager>(TSingleComm::Instance().GetConnPool());
  manager->SetOrderBy("ItemType, ItemName ASC");
  TDBObjectList rows(true);  // frees what was read if loading fails half-way
  manager->LoadList("1=1", rows, -1);
  rows.SetOwnsObjects(false);
  TBaseItemList& catalogue = manager->MutableItems();
  for (TBaseDBObject* row : rows) catalogue.Add(static_cast<TBaseItem*>(row));
  manager->ownsEntries_ = true;
  return manager.release();
}

TItemManager::TItemManager() : TBaseItem(RefusedPool()) {}

TItemManager::TItemManager(TBaseDBConnPool* pool) : TBaseItem(pool) {}

TItemManager::~TItemManager() {
  if (g_instance == this) AccessInstance(2);
  if (!ownsEntries_) return;
  std::vector<TBaseItem*> entries(Items().begin(), Items().end());
  MutableItems().Clear();
  // The entries refer to each other (members, used-by links): every link is
  // dropped before the first entry is freed.
  for (TBaseItem* entry : entries) entry->DropLinks();
  for (TBaseItem* entry : entries) delete entry;
}

TBaseDBObject* TItemManager::Create() const {
  RefuseDirectConstruction();
}

void TItemManager::LoadItems() {
  if (ItemsLoaded()) return;
  for (TBaseItem* entry : Items())
    if (entry->ItemType != 0) entry->LoadItems();
  SetItemsLoaded(true);
}

void TItemManager::RenameCategory(int32_t cateID, const std::string& cateName) {
  for (TBaseItem* entry : Items())
    if (entry->CateID == cateID) entry->CateName = cateName;
}
