#include "TDBObjectList.h"

#include <algorithm>

#include "Exceptions.h"
#include "TBaseDBObject.h"

TDBObjectList::~TDBObjectList() {
  Clear();
}

TBaseDBObject* TDBObjectList::Items(int index) const {
  if (index < 0 || index >= Count()) throw Exception("List index out of bounds (%d)", {index});
  return items_[index];
}

int TDBObjectList::Add(TBaseDBObject* object) {
  items_.push_back(object);
  return Count() - 1;
}

int TDBObjectList::IndexOf(const TBaseDBObject* object) const {
  auto it = std::find(items_.begin(), items_.end(), object);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

int TDBObjectList::Remove(TBaseDBObject* object) {
  const int index = IndexOf(object);
  if (index >= 0) Delete(index);
  return index;
}

void TDBObjectList::Delete(int index) {
  TBaseDBObject* object = Items(index);
  items_.erase(items_.begin() + index);
  if (ownsObjects_) delete object;
}

TBaseDBObject* TDBObjectList::Extract(TBaseDBObject* object) {
  const int index = IndexOf(object);
  if (index < 0) return nullptr;
  items_.erase(items_.begin() + index);
  return object;
}

void TDBObjectList::Clear() {
  // Taken out first, freed afterwards: a destructor that looks at the list
  // never sees an entry that is already gone.
  std::vector<TBaseDBObject*> taken;
  taken.swap(items_);
  if (ownsObjects_)
    for (auto it = taken.rbegin(); it != taken.rend(); ++it) delete *it;
}
