#include "TItemManager.h"

#include <memory>
#include <unordered_map>
#include <unordered_set>
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
  // Seen before the read: a write of another desk during it is caught up later.
  CatalogueVersion::Remember(manager->Operator(), manager->seen_);
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
  for (const auto& retired : retired_) retired->DropLinks();
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

bool TItemManager::CatchUpIfChangedElsewhere(const THeld& held) {
  if (!CatalogueVersion::MovedElsewhere(Operator(), seen_)) return false;
  CatchUp(held);
  return true;
}

void TItemManager::CatchUp(const THeld& held) {
  TDBObjectList rows(true);
  LoadList("1=1", rows, -1);
  Reorder(rows, held);
  RebuildMembers(held);
}

// The catalogue becomes the rows in their order: an entry that is already
// there takes its row's values (held ones stay as they are), a new row
// joins as it was read. Entries left without a row are retired, but held
// ones stay listed until their window lets them go.
void TItemManager::Reorder(TDBObjectList& rows, const THeld& held) {
  std::unordered_map<int32_t, TBaseItem*> entryOfKey;
  entryOfKey.reserve(static_cast<size_t>(Items().Count()));
  for (TBaseItem* entry : Items()) entryOfKey.emplace(entry->ItemID, entry);
  std::vector<TBaseItem*> order;
  order.reserve(static_cast<size_t>(rows.Count()));
  for (int i = 0; i < rows.Count(); ++i) {
    auto* row = static_cast<TBaseItem*>(rows.Items(i));
    const auto known = entryOfKey.find(row->ItemID);
    if (known == entryOfKey.end()) {
      order.push_back(row);
      continue;
    }
    TBaseItem* entry = known->second;
    entryOfKey.erase(known);
    if (!held(entry) && entry->loadedStamp_ != row->loadedStamp_) entry->TakeRow(*row);
    order.push_back(entry);
  }
  // What is left in the map has no row any more.
  for (TBaseItem* entry : Items()) {
    if (!entryOfKey.count(entry->ItemID)) continue;
    if (held(entry))
      order.push_back(entry);
    else
      retired_.emplace_back(entry);
  }
  const std::unordered_set<const TBaseItem*> taken(order.begin(), order.end());
  rows.SetOwnsObjects(false);
  for (int i = 0; i < rows.Count(); ++i)
    if (!taken.count(static_cast<TBaseItem*>(rows.Items(i)))) delete rows.Items(i);
  rows.Clear();
  TBaseItemList& catalogue = MutableItems();
  catalogue.Clear();
  catalogue.Reserve(static_cast<int>(order.size()));
  for (TBaseItem* entry : order) catalogue.Add(entry);
}

void TItemManager::RetireItem(TBaseItem* entry) {
  if (!Items().Contains(entry)) return;
  RemoveItem(entry);
  if (ownsEntries_) retired_.emplace_back(entry);  // else its owner frees it
}

// Members and back links from the texts as they are now. A held composite
// keeps the members its window may have changed without saving; its
// members still learn that it uses them.
void TItemManager::RebuildMembers(const THeld& held) {
  for (TBaseItem* entry : Items()) entry->usedBy_.Clear();
  for (const auto& retired : retired_) retired->usedBy_.Clear();
  std::vector<TBaseItem*> keptComposites;
  for (TBaseItem* entry : Items()) {
    if (entry->ItemType == 0) continue;
    if (held(entry) && entry->itemsLoaded_) {
      keptComposites.push_back(entry);
      continue;
    }
    entry->items_.Clear();
    entry->itemsLoaded_ = false;
  }
  for (TBaseItem* composite : keptComposites)
    for (TBaseItem* member : composite->items_) member->AddUsedBy(composite);
  const bool wasLoaded = ItemsLoaded();
  SetItemsLoaded(false);
  if (wasLoaded) LoadItems();
}
