#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "CatalogueVersion.h"
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

  /// Which entries an open editor shows: a catch-up leaves them as they
  /// are, so a save of one changed elsewhere is still refused by its own
  /// check instead of silently taking the other desk's row as read.
  using THeld = std::function<bool(const TBaseItem*)>;
  /// After another desk wrote the catalogue (one query on the change stamp
  /// decides): CatchUp. True when the stamp moved, whatever it changed.
  bool CatchUpIfChangedElsewhere(const THeld& held);
  /// Brings the entries up to the rows of TJItem as they are now, in one
  /// read: changed rows give their values to their entries, new rows join
  /// in catalogue order, entries of deleted rows leave the catalogue (kept
  /// alive: a window may still point at one) and the members are built
  /// again. Held entries keep their values and their members.
  void CatchUp(const THeld& held);
  /// Takes `entry`, one of the catalogue's own, out of the catalogue once
  /// its row is deleted (an undone creation): kept alive like the entries
  /// of rows deleted elsewhere, since a window may still point at it, and
  /// freed with the catalogue. An entry the catalogue does not hold is
  /// left alone.
  void RetireItem(TBaseItem* entry);

 private:
  void Reorder(TDBObjectList& rows, const THeld& held);
  void RebuildMembers(const THeld& held);

  bool ownsEntries_ = false;
  CatalogueVersion::TSeen seen_;
  // Entries whose rows were deleted (at another desk, or by an undone
  // creation): out of the catalogue, freed with it.
  std::vector<std::unique_ptr<TBaseItem>> retired_;
};
