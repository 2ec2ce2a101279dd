#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "TBaseDBObject.h"

/// The persistent object with the generic SQL behaviour every domain class
/// uses: delete and find by the object's where condition, list loading and
/// the drawing of the next key.
class TDBObject : public TBaseDBObject {
 public:
  TDBObject();
  explicit TDBObject(TBaseDBConnPool* pool);
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

  /// 28: the next text key: the largest value of `keyField` plus one (1 on an
  /// empty table), left-padded with the leading characters of `pattern` to
  /// its length ("000000" and 12 give "000013"; digits as long as the pattern
  /// or longer stand alone).
  virtual std::string NextID(const std::string& pattern, const std::string& keyField);
  /// 29: the next integer key: the largest value of `keyField` cast to an
  /// integer, plus one (1 on an empty table).
  virtual int32_t NextIntID(const std::string& keyField);

 protected:
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
  /// its message. Any other failure is raised as it is.
  void InsertDrawingKeys(const std::function<void()>& attempt,
                         const std::function<std::string()>& drawnTaken);

 private:
  /// Whether a row of the table matches `where`; false when that cannot
  /// be read either.
  bool RowExists(const std::string& where);
};
