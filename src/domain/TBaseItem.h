#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "TBaseItemList.h"
#include "TCatalogueObject.h"
#include "TItemFields.h"

class TCategory;
class TDataSet;

/// One row of the examination catalogue table TJItem: an examination item
/// (ItemType 0), a combination item (1, made of examination items) or a check
/// set (2, made of combination items). Composites name their members by code
/// in ItemsString ("000012;000015;"); in memory the members are the catalogue
/// objects of TItemManager, and each member lists the composites built with
/// it in UsedBy. The column values are the public members of TItemFields.
class TBaseItem : public TCatalogueObject, public TItemFields {
 public:
  TBaseItem();
  explicit TBaseItem(TBaseDBConnPool* pool);
  ~TBaseItem() override;
  TESMIRA_DBOBJECT_FACTORIES(TBaseItem)

  // Persistent-object protocol.
  void InitObject() override;
  /// The base copy; from a TBaseItem also every column, Remark, the sample
  /// type name (read from TJSampleType), ItemsString, and the member and
  /// used-by lists (sharing the catalogue objects). ItemsLoaded is not copied.
  void Assign(TBaseDBObject* source) override;
  /// Refused with EWriteRefused "引用项目不能被删除!" (and who uses it) while
  /// a stored member or exclusion text names the entry; otherwise deletes
  /// the row by ItemID.
  int32_t Delete() override;
  /// Loads the row by ItemCode, else ItemID, else ItemName (first one set);
  /// ETJItemException "查询条件不正确" when none is set. 0 found, -1 not.
  int32_t Find() override;
  /// Validates, draws ItemID and ItemCode, inserts the row; drawn again when
  /// another writer stored them first (InsertDrawingKeys). When the insert
  /// fails, ItemID and ItemCode are put back, so the object stays new.
  int32_t Insert() override;
  /// Copies the current row; -1 (nothing changed) when there is none.
  int32_t LoadFromDataSet(TDataSet* dataSet) override;
  /// Clears `list`, then appends one TBaseItem per matching row (at most
  /// `maxCount`; -1 for all), made on the shared pool.
  int32_t LoadList(const std::string& where, TDBObjectList& list, int32_t maxCount) override;
  /// Validates and rewrites every column but ItemID.
  int32_t Update() override;

  // What the history and a restore read and write (TCatalogueObject).
  TColumnValues ColumnValues() const override;
  bool SetColumnValue(const std::string& column, const std::string& value) override;
  std::string EntryCode() const override { return ItemCode; }
  std::string EntryName() const override { return ItemName; }
  std::string EntryKind() const override;
  std::string KeyCondition() const override;

  // Composition (virtual, in this order after NextIntID).
  /// Builds Items from ItemsString once (codes the catalogue does not know
  /// are dropped; nested composites are built first); ends on texts that
  /// form a cycle.
  virtual void LoadItems();
  /// The member at a 0-based index; outside raises "List index out of bounds (%d)".
  virtual TBaseItem* GetItem(int index);
  /// The first member whose ItemCode equals `code` exactly, or null. On the
  /// catalogue instance: any catalogue entry (indexed).
  virtual TBaseItem* FindItem(const std::string& code);
  /// FindItem for each code, in order (null where none), the members'
  /// memory fetched side by side.
  std::vector<TBaseItem*> FindItems(const std::vector<std::string>& codes);
  /// Depth first over the members: appends each member of `itemType` not yet
  /// in `list`, and descends into every composite member (each composite
  /// once, so cyclic data ends).
  virtual void CollectItems(TBaseItemList& list, int32_t itemType);
  /// Takes `item` out of the members (not freed) and rebuilds ItemsString.
  virtual void RemoveItem(TBaseItem* item);

  /// ETJItemException "项目名称不能为空！"; for numeric items (ResultType 1)
  /// also "结果类型为[数值类型]，上限不能为空！" then "...下限不能为空！"; then
  /// "单价不能为负数！" and a text longer than its column
  /// (ColumnWidths::RequireWidth).
  void Validate();
  /// True when TJItem already has a row with this ItemName.
  bool NameExists(const std::string& name);
  /// True when a row other than this object's own (any row while it is
  /// new) has this ItemName, of any item type.
  bool NameUsedByOther(const std::string& name);
  /// The same among the rows of this entry's own ItemType.
  bool NameUsedByOtherOfKind(const std::string& name);
  /// The largest DispOrder of the category plus one (0 when it has none).
  int32_t NextDispOrder(int32_t cateID);
  /// The largest DispOrder of the check sets plus one (0 when there is none).
  int32_t NextCheckSetDispOrder();
  /// The name of sample type SampleTypeID, empty when there is none.
  std::string GetSampleTypeName();
  /// True while some built composite lists this item as a member.
  bool IsReferenced() const { return !usedBy_.IsEmpty(); }
  /// Empties the category's items, then adds each member of this object (on
  /// the catalogue: every entry) of `itemType` whose CateID is the
  /// category's.
  void FillCategory(TCategory* category, int32_t itemType);
  /// FillCategory for every category of the list (TCategory objects) in one
  /// pass over the members, with the same result.
  void FillCategories(TDBObjectList& categories, int32_t itemType);

  const std::string& GetItemsString() const { return itemsString_; }
  /// Replaces the text; the members and ItemsLoaded stay as they are.
  void SetItemsString(const std::string& text) { itemsString_ = text; }
  /// The codes a member or exclusion text names ("000012;000015;"), whole
  /// entries with blanks trimmed, empty entries left out, in text order.
  static std::vector<std::string> CodesOf(const std::string& text);
  /// Which of `codes` rows of TJItem hold now, asked of the database (one
  /// query, none for no code).
  std::unordered_set<std::string> StoredCodes(const std::vector<std::string>& codes);
  /// ItemsString := each member's ItemCode followed by ";", in member order.
  void BuildItemsString();
  /// Appends `item` unless it is already a member (or null), then rebuilds
  /// ItemsString.
  void AddItem(TBaseItem* item);
  /// Takes every member out (none is freed); ItemsString becomes empty.
  void ClearItems();
  /// After Find read the row again: members that were changed in memory and
  /// not saved no longer match ItemsString, so they are built again from the
  /// text (a member left out drops this item from its UsedBy). Nothing
  /// happens while the members were never built or still match the text.
  void ReloadItemsIfChanged();
  /// Records `composite` as built with this item among its members (once).
  void AddUsedBy(TBaseItem* composite);
  /// The catalogue entry whose ItemCode equals `code` without its leading
  /// and trailing blanks; when there is none, `code` is removed from
  /// ItemsString (RemoveCode) and null is returned.
  TBaseItem* FindInCatalogue(const std::string& code);
  /// Removes the first entry equal to `code` (with the ";" after it) from
  /// ItemsString; nothing changes when no entry equals it.
  void RemoveCode(const std::string& code);

  const TBaseItemList& Items() const { return items_; }
  const TBaseItemList& UsedBy() const { return usedBy_; }
  bool ItemsLoaded() const { return itemsLoaded_; }

 protected:
  bool IsNew() const override;
  /// The add right of the entry's kind for a new entry, and a name no other
  /// entry has (RefuseTakenName).
  const TWriteRules& WriteRules() const override;
  void AfterCommit(TWriteAction action) override;
  void Discarded(TWriteAction action) override;

  TBaseItemList& MutableItems() { return items_; }
  void SetItemsLoaded(bool loaded) { itemsLoaded_ = loaded; }

 private:
  friend class TItemManager;
  struct Columns;
  /// A row of a list: bound to the database on first use.
  explicit TBaseItem(TBindOnFirstUse tag);
  // Forgets members and used-by links without touching the other objects
  // (the catalogue frees all its entries together).
  void DropLinks() {
    items_.Clear();
    usedBy_.Clear();
  }
  void LoadRow(TDataSet* dataSet, const Columns& columns);
  /// The column values, member text and stamp of `row` (the same entry read
  /// again); Remark, which is no column, stays.
  void TakeRow(const TBaseItem& row);
  void ValidateWidths() const;
  void DrawKeysAndInsert();
  /// EWriteRefused when the name is taken: a new examination item by any
  /// row ("系统中已存在该项目，不需要再次加入该项目！"); otherwise, when the
  /// name is new or changed, by another row of the same kind.
  void RefuseTakenName(bool newOrRenamed);
  /// Reads the row again: EEntryDeleted when it is gone, EEntryChanged (the
  /// object then holds the row as it is now) when it differs from what was
  /// read or written here last. The stored name when it is unchanged.
  std::string RefuseIfChangedElsewhere(TWriteAction action);
  /// EWriteRefused "引用项目不能被删除!" and who uses the entry, when a
  /// stored member or exclusion text names its code.
  void RefuseDeleteWhileUsed();
  /// EWriteRefused naming the members, exclusions, tube or category the
  /// entry names that the database no longer holds.
  void RefuseDanglingReferences();
  void CollectInto(TBaseItemList& list, int32_t itemType,
                   std::unordered_set<const TBaseItem*>& visited);

  TBaseItemList items_;
  TBaseItemList usedBy_;
  std::string itemsString_;
  std::string codeBeforeInsert_;
  uint64_t loadedStamp_ = 0;  // of the values last read from or written to the row
  bool itemsLoaded_ = false;
};
