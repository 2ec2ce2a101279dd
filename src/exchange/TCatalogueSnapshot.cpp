#include "TCatalogueSnapshot.h"

#include <algorithm>

#include "CatalogueColumns.h"
#include "DomainObjects.h"
#include "TBaseItem.h"
#include "TDBObjectList.h"

using namespace CatalogueColumns;

namespace {

// Takes every object out of an owning list into unique pointers of `T`.
template <class T>
std::vector<std::unique_ptr<T>> TakeAll(TDBObjectList& list) {
  std::vector<std::unique_ptr<T>> taken;
  for (TBaseDBObject* object : list) taken.emplace_back(static_cast<T*>(object));
  list.SetOwnsObjects(false);
  return taken;
}

}  // namespace

void TCatalogueSnapshot::Load() {
  TBaseDBConnPool* pool = DomainObjects::SharedPool();
  TDBObjectList list(true);
  TBaseItem(pool).LoadAll(list);
  for (TBaseDBObject* object : list) {
    auto* entry = static_cast<TBaseItem*>(object);
    ItemOrder.push_back(entry->ItemCode);
    Items[entry->ItemCode] =
        TStoredItem{static_cast<const TItemFields&>(*entry), entry->GetItemsString()};
  }
  list.Clear();
  TCategory(pool).LoadAll(list);
  Categories = TakeAll<TCategory>(list);
  for (auto& category : Categories) CategoriesByName.emplace(category->CateName, category.get());
  TDBObjectList types(true);
  TSampleType(pool).LoadList("1=1", types, -1);
  SampleTypes = TakeAll<TSampleType>(types);
  for (auto& type : SampleTypes) SampleTypesByName.emplace(type->SampleTypeName, type.get());
  TDBObjectList tubes(true);
  TSampleGroup(pool).LoadList("1=1", tubes, -1);
  Tubes = TakeAll<TSampleGroup>(tubes);
}

std::string TCatalogueSnapshot::SampleTypeName(int sampleTypeID) const {
  if (sampleTypeID == 0) return {};
  for (const auto& type : SampleTypes)
    if (type->SampleTypeID == sampleTypeID) return type->SampleTypeName;
  return {};
}

std::string TCatalogueSnapshot::TubeName(int groupID) const {
  if (groupID == 0) return {};
  for (const auto& tube : Tubes)
    if (tube->GroupID == groupID) return tube->GroupName;
  return {};
}

std::vector<std::string> TCatalogueSnapshot::ItemCells(const TStoredItem& item) const {
  const TItemFields& f = item.Fields;
  std::vector<std::string> cells(Count);
  cells[Kind] = KindName(static_cast<TEntryKind>(static_cast<int>(TEntryKind::Item) + f.ItemType));
  cells[Code] = f.ItemCode;
  cells[Category] = f.CateName;
  for (const TItemColumn& column : ItemColumns()) cells[column.ColumnId] = column.Get(f);
  cells[SampleType] = SampleTypeName(f.SampleTypeID);
  cells[Tube] = TubeName(f.SampleGroupID);
  if (f.ItemType != 0) cells[Members] = CodesCell(item.ItemsString);
  if (f.ItemType == 1) cells[Exclusions] = CodesCell(f.ExcludeItems);
  return cells;
}

std::vector<std::string> TCatalogueSnapshot::CategoryCells(const TCategoryFields& category) const {
  std::vector<std::string> cells(Count);
  cells[Kind] = KindName(TEntryKind::Category);
  cells[Name] = category.CateName;
  for (const TCategoryColumn& column : CategoryColumns())
    cells[column.ColumnId] = column.Get(category);
  return cells;
}

std::vector<std::string> TCatalogueSnapshot::SampleTypeCells(const TSampleType& type) const {
  std::vector<std::string> cells(Count);
  cells[Kind] = KindName(TEntryKind::SampleType);
  cells[Code] = std::to_string(type.SampleTypeID);
  cells[Name] = type.SampleTypeName;
  return cells;
}

std::vector<std::string> TCatalogueSnapshot::TubeCells(const TSampleGroup& tube) const {
  std::vector<std::string> cells(Count);
  cells[Kind] = KindName(TEntryKind::Tube);
  cells[Name] = tube.GroupName;
  cells[SampleType] = SampleTypeName(tube.SampleTypeID);
  return cells;
}

std::vector<std::vector<std::string>> TCatalogueSnapshot::AllCells() const {
  std::vector<std::vector<std::string>> rows;
  for (const auto& type : SampleTypes) rows.push_back(SampleTypeCells(*type));
  for (const auto& tube : Tubes) rows.push_back(TubeCells(*tube));
  for (const auto& category : Categories) rows.push_back(CategoryCells(*category));
  // Composites after their members, whatever the catalogue's order.
  std::vector<const TStoredItem*> items;
  for (const std::string& code : ItemOrder) items.push_back(&Items.at(code));
  std::stable_sort(items.begin(), items.end(), [](const TStoredItem* a, const TStoredItem* b) {
    return a->Fields.ItemType < b->Fields.ItemType;
  });
  for (const TStoredItem* item : items) rows.push_back(ItemCells(*item));
  return rows;
}
