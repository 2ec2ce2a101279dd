#include "TItemManager.h"

#include <memory>
#include <unordered_map>
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

void TItemManager::Reread() {
  TDBObjectList rows(true);
  LoadList("1=1", rows, -1);
  rows.SetOwnsObjects(false);
  std::vector<std::unique_ptr<TBaseItem>> fresh;
  for (TBaseDBObject* row : rows) fresh.emplace_back(static_cast<TBaseItem*>(row));
  std::unordered_map<int32_t, TBaseItem*> held;
  for (TBaseItem* entry : Items()) held.emplace(entry->ItemID, entry);
  std::vector<TBaseItem*> ordered;
  std::vector<TBaseItem*> rebuilt;
  ordered.reserve(fresh.size());
  for (std::unique_ptr<TBaseItem>& row : fresh) {
    const auto found = held.find(row->ItemID);
    if (found == held.end()) {
      if (row->ItemType != 0) rebuilt.push_back(row.get());
      ordered.push_back(row.release());
      continue;
    }
    TBaseItem* entry = found->second;
    held.erase(found);
    ordered.push_back(entry);
    static_cast<TItemFields&>(*entry) = static_cast<const TItemFields&>(*row);
    if (entry->itemsString_ == row->itemsString_) continue;
    entry->itemsString_ = row->itemsString_;
    // Its old members no longer count it as a user; built again below.
    for (TBaseItem* member : entry->items_) member->usedBy_.Remove(entry);
    entry->items_.Clear();
    entry->itemsLoaded_ = false;
    if (entry->ItemType != 0) rebuilt.push_back(entry);
  }
  // Entries whose rows are gone keep their place after the others.
  for (TBaseItem* entry : Items())
    if (held.count(entry->ItemID) > 0) ordered.push_back(entry);
  TBaseItemList& catalogue = MutableItems();
  catalogue.Clear();  // its code index goes with it and is built again
  catalogue.Reserve(static_cast<int>(ordered.size()));
  for (TBaseItem* entry : ordered) catalogue.Add(entry);
  // Members are built on demand until the catalogue built them all once.
  if (ItemsLoaded())
    for (TBaseItem* entry : rebuilt) entry->LoadItems();
}
