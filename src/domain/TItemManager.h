#pragma once

#include "TBaseItem.h"

/// The examination catalogue: the instance's Items hold every row of TJItem
/// once, as one TBaseItem each, ordered by kind and name. Composites resolve
/// their member codes against it (FindItem is indexed by code and returns
/// the first match in catalogue order). Screens keep it in step with their
/// own inserts (AddItem) and deletes (RemoveItem).
///
/// Ownership: the instance owns the entries it holds. An object added with
/// AddItem belongs to the catalogue from then on; RemoveItem hands it back
/// to the caller. The library never frees the instance; freeing it (tests)
/// frees every entry it still holds.
class TItemManager : public TBaseItem {
 public:
  /// 0: the instance or null; 1: make it (CreateSingleton) if missing;
  /// 2: forget it (returns null, frees nothing). Other requests raise
  /// Exception "Illegal request %d in AccessInstance".
  static TItemManager* AccessInstance(int request);
  static TItemManager& Instance() { return *AccessInstance(1); }
  /// A manager on the shared pool whose Items is the whole catalogue.
  static TItemManager* CreateSingleton();

  /// Refused: raises Exception "Access class TItemManager through Instance only".
  TItemManager();
  /// An ordinary object (not the catalogue).
  explicit TItemManager(TBaseDBConnPool* pool);
  ~TItemManager() override;
  /// Refused like the constructor without a pool.
  TBaseDBObject* Create() const override;
  TBaseDBObject* Create(TBaseDBConnPool* pool) const override { return new TItemManager(pool); }

  /// Builds the members of every composite of the catalogue once, in
  /// catalogue order (its own ItemsString is not read).
  void LoadItems() override;
  /// Every entry of category `cateID` gets the category's new name (its
  /// rows were renamed with the category).
  void RenameCategory(int32_t cateID, const std::string& cateName);
  /// Brings the catalogue in step with the rows of TJItem after writes that
  /// did not go through it (an import): an entry whose row is still there
  /// takes the stored column values in place, so the trees and member lists
  /// that point at it stay valid; a new row joins the catalogue as a new
  /// entry; a composite whose member text changed has its members built
  /// again. Entries are put back in catalogue order; one whose row is gone
  /// stays (after the others) for whoever still points at it.
  void Reread();

 private:
  bool ownsEntries_ = false;
};
