#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "TBaseDBObject.h"
#include "TWriteRules.h"

/// The persistent object with the generic SQL behaviour every domain class
/// uses: delete and find by the object's where condition, list loading and
/// the drawing of the next key.
class TDBObject : public TBaseDBObject {
 public:
  TDBObject();
  explicit TDBObject(TBaseDBConnPool* pool);
  explicit TDBObject(TBindOnFirstUse tag) : TBaseDBObject(tag) {}
  TESMIRA_DBOBJECT_FACTORIES(TDBObject)

  /// "Delete <table> Where <where>"; returns -1.
  int32_t Delete() override;
  /// "Select <fields> From <table> Where <where>" as the current result set,
  /// then LoadFromDataSet. A failure is raised again with "查找错误!\r\n" put
  /// in front of its message.
  int32_t Find() override;
  /// "Select <fields> from <table> Where <where> [Order By <order>]"; one
  /// object of this class (constructor without a pool) per row appended to
  /// `list`, at most `maxCount` (-1: all). The list is not cleared.
  int32_t LoadList(const std::string& where, TDBObjectList& list, int32_t maxCount) override;

  /// Every row of the table, appended to `list` in the object's order.
  void LoadAll(TDBObjectList& list) { LoadList("1=1", list, -1); }

  /// The one save of every table-mapped class: in one transaction (a
  /// savepoint inside an open one) the class's checks, its Insert() for a
  /// new object or Update() for a stored one, its records, then the commit.
  /// Then Committed() brings what the process remembers up to date. Any
  /// failure rolls back everything the save wrote, the object goes back to
  /// being new when it was (Discarded()), and the error propagates. 2 after
  /// an insert, 3 after an update.
  int32_t Save(const TWriteContext& context = {});
  /// The one delete, the same way round Delete().
  void Remove(const TWriteContext& context = {});

  /// 28: the next text key: the largest value of `keyField` plus one (1 on an
  /// empty table), left-padded with the leading characters of `pattern` to
  /// its length ("000000" and 12 give "000013"; digits as long as the pattern
  /// or longer stand alone).
  virtual std::string NextID(const std::string& pattern, const std::string& keyField);
  /// 29: the next integer key: the largest value of `keyField` cast to an
  /// integer, plus one (1 on an empty table).
  virtual int32_t NextIntID(const std::string& keyField);
  /// NextIntID for a column every schema declares integer (its values need
  /// no cast), answered from the column's index.
  int32_t NextIntegerKey(const std::string& keyField);

 protected:
  /// True while the object has no row yet (Save inserts it).
  virtual bool IsNew() const { return false; }
  /// Before a write's transaction opens (nothing by default).
  virtual void PrepareWrite() {}
  /// The first statement of a write's transaction (nothing by default).
  virtual void WriteStarted() {}
  /// The class's rules (none by default).
  virtual const TWriteRules& WriteRules() const;
  /// After a commit: what the process keeps in memory follows the write.
  virtual void Committed(TWriteAction /*action*/) {}
  /// After a rolled-back write: an insert's drawn key and code are let go.
  virtual void Discarded(TWriteAction /*action*/) {}

  /// How many times an insert draws its key and code before it gives up.
  /// Between two writers that keep saving, about every second retry meets
  /// the other again; twenty leave a chance of failure below one in ten
  /// million per collision.
  static constexpr int kInsertAttempts = 20;

  /// Inserts a row whose key and code are drawn as the largest + 1, which
  /// two writers saving at the same moment draw alike. `attempt` draws them
  /// and writes the row. When it fails and a row matching `drawnTaken()` (a
  /// condition naming the key and code just drawn) is stored, another writer
  /// took them and the attempt is made again, up to kInsertAttempts times;
  /// the last failure is then raised with a Chinese explanation in front of
  /// its message. Any other failure is raised as it is. Each attempt runs
  /// under its own savepoint, so a refused one leaves the transaction around
  /// it (other rows of the same save) usable on every database.
  void InsertDrawingKeys(const std::function<void()>& attempt,
                         const std::function<std::string()>& drawnTaken);

 private:
  /// Whether a row of the table matches `where`; false when that cannot
  /// be read either.
  bool RowExists(const std::string& where);
};
