#pragma once

#include "TDBObject.h"
#include "TDBObjectList.h"

class TCategory;

/// The process-wide cache of every category, used by the category screen.
/// Reached only through Instance(); it loads TJCategories once when it is
/// made and is then kept up to date by the screen.
class TCategoryManager : public TDBObject {
 public:
  /// 0: the instance or null; 1: make it if missing; 2: forget it (returns
  /// null, frees nothing). Other requests raise Exception
  /// "Illegal request %d in AccessInstance".
  static TCategoryManager* AccessInstance(int request);
  static TCategoryManager& Instance() { return *AccessInstance(1); }

  /// Refused: raises Exception "Access class TCategoryManager through Instance only".
  TCategoryManager();
  /// Frees the categories (and an unsaved pending category); the registered
  /// instance forgets itself first.
  ~TCategoryManager() override;
  /// Both refused like the constructor: the manager is a singleton.
  TBaseDBObject* Create() const override;
  TBaseDBObject* Create(TBaseDBConnPool* pool) const override;

  /// Every category (owning list), in table order.
  TDBObjectList& Categories() { return categories_; }
  /// Appends `category` (the list takes it over) unless it is listed already.
  void AddCategory(TCategory* category);
  /// Takes `category` out of the list and frees it, when it is listed.
  void RemoveCategory(TCategory* category);
  /// A new category on the shared pool, kept as the pending one. An earlier
  /// pending category that never joined the list is freed.
  TCategory* NewCategory();
  /// The new, not yet saved category being edited, or null.
  TCategory* PendingCategory() const { return pending_; }

 private:
  struct SingletonTag {};
  TCategoryManager(SingletonTag, TBaseDBConnPool* pool);
  void FreePendingIfUnlisted();

  TDBObjectList categories_{true};
  TCategory* pending_ = nullptr;
};
