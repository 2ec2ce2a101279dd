#pragma once

#include <memory>
#include <string>

#include "CatalogueHistory.h"
#include "TColumnTable.h"
#include "TDBObject.h"

/// Base of the catalogue's table-mapped classes (categories, items and
/// composites, tubes): what every catalogue write does beyond the class's
/// own rules. Each write raises the catalogue's change stamp first, in its
/// own transaction (CatalogueVersion), and leaves its history rows
/// (CatalogueHistory) in the same transaction.
///
/// While a write runs, the object holds the column values its row held
/// (Loaded(), read by the stale-row check in the write's transaction): the
/// history compares them with the values written.
class TCatalogueObject : public TDBObject {
 public:
  using TDBObject::TDBObject;

  /// The stored columns and their values now, in column order.
  virtual TColumnValues ColumnValues() const = 0;
  /// Sets one stored column from its text (as ColumnValues gives it);
  /// false when the class has no such column.
  virtual bool SetColumnValue(const std::string& column, const std::string& value) = 0;
  /// What the history names the entry by: its code and its name.
  virtual std::string EntryCode() const = 0;
  virtual std::string EntryName() const = 0;
  /// The kind of entry in the user's words ("类别", "项目", "组合项目",
  /// "套餐", "试管").
  virtual std::string EntryKind() const = 0;
  /// The condition that addresses the object's row ("ItemID = 12").
  virtual std::string KeyCondition() const = 0;

  /// The column values the row held, as the write under way read them (its
  /// stale-row check); empty between writes, so catalogue entries carry no
  /// copy of their values.
  const TColumnValues& Loaded() const { return loaded_; }
  /// The next Save inserts the row with the key and code the object holds
  /// instead of drawing new ones: a deleted entry made again from its
  /// history is the entry it was (members and exclusions name it by code).
  void KeepKeysOnInsert() { keepKeys_ = true; }
  /// The next Save inserts the row with the code the object holds and a
  /// drawn key: an imported entry keeps the code its file gives it.
  void KeepCodeOnInsert() { keepCode_ = true; }

  /// The copy takes the source's loaded values too (a window's working copy
  /// of a catalogue entry).
  void Assign(TBaseDBObject* source) override;

 protected:
  void PrepareWrite() override;
  void WriteStarted() override;
  /// Remembers the values as stored; then AfterCommit.
  void Committed(TWriteAction action) final;
  /// After a commit: what the process keeps in memory follows the write.
  virtual void AfterCommit(TWriteAction /*action*/) {}
  /// The rules with the catalogue's history record, for the classes to add
  /// their own to; also the rules of a class that has none of its own.
  static TWriteRules RulesWithHistory();
  const TWriteRules& WriteRules() const override;
  /// To be called by LoadFromDataSet once the row is read.
  void TakeSnapshot() { loaded_ = ColumnValues(); }
  bool RestoringKeys() const { return keepKeys_; }
  bool KeepingCode() const { return keepCode_; }
  /// Who changed the entry last and when, as its history says ("张三于
  /// 2026-12-09 10:30:00"), or "其他用户" when it does not say.
  std::string WhoChangedLast(const std::string& code);

 private:
  /// An update of an object that was never read (made by hand with the key
  /// of a stored row) reads the stored values first, so that its history
  /// still says what each column held.
  void ReadStoredIfUnknown();

  TColumnValues loaded_;
  // This write's number and time, when raising the stamp gave them. On the
  // heap: every catalogue entry would otherwise carry 48 bytes for it.
  std::unique_ptr<CatalogueHistory::TChangeHeader> change_;
  bool keepKeys_ = false;
  bool keepCode_ = false;
};
