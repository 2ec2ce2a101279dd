#include "TCategoryManager.h"

#include <memory>

#include "Exceptions.h"
#include "SingletonAccess.h"
#include "TCategory.h"
#include "TSingleComm.h"

namespace {

TCategoryManager* g_instance = nullptr;

[[noreturn]] void RefuseDirectConstruction() {
  throw Exception("Access class %s through Instance only", {"TCategoryManager"});
}

// Evaluated before the base is constructed, so a refused construction binds
// no operator.
TBaseDBConnPool* RefusedPool() {
  RefuseDirectConstruction();
}

}  // namespace

TCategoryManager* TCategoryManager::AccessInstance(int request) {
  return AccessSingleton(g_instance, request, [] {
    return new TCategoryManager(SingletonTag{}, TSingleComm::Instance().GetConnPool());
  });
}

TCategoryManager::TCategoryManager() : TDBObject(RefusedPool()) {}

TCategoryManager::TCategoryManager(SingletonTag, TBaseDBConnPool* pool) : TDBObject(pool) {
  TCategory loader(pool);
  loader.LoadList("1=1", categories_, -1);
}

TCategoryManager::~TCategoryManager() {
  if (g_instance == this) AccessInstance(2);
  FreePendingIfUnlisted();
}

TBaseDBObject* TCategoryManager::Create() const {
  RefuseDirectConstruction();
}

TBaseDBObject* TCategoryManager::Create(TBaseDBConnPool*) const {
  RefuseDirectConstruction();
}

void TCategoryManager::AddCategory(TCategory* category) {
  if (category && categories_.IndexOf(category) < 0) categories_.Add(category);
}

void TCategoryManager::RemoveCategory(TCategory* category) {
  if (categories_.IndexOf(category) < 0) return;
  if (pending_ == category) pending_ = nullptr;
  categories_.Remove(category);
}

TCategory* TCategoryManager::NewCategory() {
  auto category = std::make_unique<TCategory>(TSingleComm::Instance().GetConnPool());
  FreePendingIfUnlisted();
  pending_ = category.release();
  return pending_;
}

void TCategoryManager::FreePendingIfUnlisted() {
  // Once added to the list the list owns it; until then the manager does.
  if (pending_ && categories_.IndexOf(pending_) < 0) delete pending_;
  pending_ = nullptr;
}
