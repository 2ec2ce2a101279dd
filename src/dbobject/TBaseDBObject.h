#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "IBaseDBObject.h"
#include "IDBOperator.h"
#include "TComPtr.h"
#include "TInterfacedObject.h"

class TBaseDBConnPool;
class TDataSet;
class TDBObjectList;

/// Base of every table-mapped object: one instance holds one row of one
/// table, or serves as a query object that loads rows into lists of new
/// instances. It keeps the table metadata, the database operator all its SQL
/// goes through, the last error text and the current result set.
///
/// The 27 virtual operations below are declared in their fixed order
/// (TDBObject adds NextID and NextIntID as 28 and 29). Positions 5 and 6 are
/// the two ways of making an object of the same class: C++ constructors
/// cannot be virtual, so they are factories that run the matching
/// constructor of the object's own class (see TESMIRA_DBOBJECT_FACTORIES).
///
/// Objects are freed explicitly by whoever made them (or by an owning
/// TDBObjectList). The interface's reference count never frees one.
class TBaseDBObject : public TInterfacedObject, public IBaseDBObject {
 public:
  /// Constructor without a pool: the operator comes from the sibling
  /// library's CreateDBOperator when that library is bound, otherwise from
  /// the shared pool (TSingleComm). Binding failures raise EDBException
  /// "连接数据库失败\r\n" + the underlying message.
  TBaseDBObject();
  /// Constructor with a pool: the operator comes from pool->CreateDBOperator()
  /// (a null pool means the default source above).
  explicit TBaseDBObject(TBaseDBConnPool* pool);
  ~TBaseDBObject() override;

  virtual void CloseDataSet() override;                 // 1
  virtual TDataSet* GetDataSet() override;              // 2
  virtual void InitObject() override;                   // 3
  virtual void SetDataSet(TDataSet* dataSet) override;  // 4
  /// 5: a new object of this object's class, constructor without a pool.
  virtual TBaseDBObject* Create() const;  // 5
  /// 6: a new object of this object's class, constructor with a pool.
  virtual TBaseDBObject* Create(TBaseDBConnPool* pool) const;  // 6
  /// Copies OrderBy, FieldList, TableName, Where (through the source's
  /// getters into this object's setters) and LastError.
  virtual void Assign(TBaseDBObject* source);  // 7
  /// "UPDATE %s SET %s WHERE %s"; -2 and LastError "No table defined." when
  /// the object has no table name.
  virtual int32_t UpdateFields(const std::string& setClause,
                               const std::string& whereClause) override;  // 8
  virtual int32_t Delete() override;                                      // 9
  virtual int32_t Find() override;                                        // 10
  /// Opens "SELECT <fields> FROM <table> [WHERE <where>] ORDER BY <order>"
  /// as the current result set; records a failure in LastError.
  virtual int32_t Open() override;                              // 11
  virtual std::string GetLastError() override;                  // 12
  virtual std::string GetIdentitySQL();                         // 13
  virtual std::string GetOrderBy() override;                    // 14
  virtual std::string GetFieldList() override;                  // 15
  virtual std::string GetTableName() override;                  // 16
  virtual std::string GetWhere() override;                      // 17
  virtual int32_t Insert() override;                            // 18
  virtual int32_t LoadFromDataSet(TDataSet* dataSet) override;  // 19
  /// Appends one new object per row matching `where` ("1=1" for all rows)
  /// to `list`, at most `maxCount` of them (-1: no limit). The base loads
  /// nothing.
  virtual int32_t LoadList(const std::string& where, TDBObjectList& list,
                           int32_t maxCount);                    // 20
  virtual void SetIdentitySQL(const std::string& value);         // 21
  virtual void SetOrderBy(const std::string& value) override;    // 22
  virtual void SetFieldList(const std::string& value) override;  // 23
  virtual void SetTableName(const std::string& value) override;  // 24
  virtual void SetWhere(const std::string& value) override;      // 25
  /// Opens `sql` as the current result set; records a failure in LastError.
  virtual int32_t OpenSQL(const std::string& sql) override;  // 26
  virtual int32_t Update() override;                         // 27

  /// The object seen through its interface (no counted reference is taken).
  IBaseDBObject* AsInterface() { return this; }

  // IInterface: answers IBaseDBObject's identifier; the count never frees.
  long QueryInterface(const TGUID& iid, void** object) override;
  long AddRef() override;
  long Release() override;

 protected:
  /// Objects made by the thousand from the rows of a list (a catalogue of
  /// 100 000 entries, most never written): the operator, with its statement
  /// on the thread's connection, is taken from the shared pool when the
  /// object first needs it, bound to the thread that made the object.
  struct TBindOnFirstUse {};
  explicit TBaseDBObject(TBindOnFirstUse);

  /// The texts of an object's queries (identity query, table, condition,
  /// field list, order), one block that every object of a class shares and
  /// an object copies only when one of its texts is set otherwise: a
  /// catalogue of 100 000 entries would otherwise hold 100 000 copies.
  struct TQueryTexts {
    std::string identitySQL, table, where, fieldList, orderBy;
  };
  using TSharedTexts = std::shared_ptr<const TQueryTexts>;
  /// Texts with the default identity query.
  static TSharedTexts MakeQueryTexts(const std::string& table, const std::string& where,
                                     const std::string& fieldList, const std::string& orderBy);
  /// What SetTableName, SetWhere, SetFieldList and SetOrderBy set, in one
  /// step and without a copy.
  void ShareQueryTexts(const TSharedTexts& texts) { texts_ = texts; }

  /// The operator every statement of this object goes through.
  IDBOperator* Operator() const { return operator_ ? operator_.get() : BindNow(); }
  void SetLastError(const std::string& message) { lastError_ = message; }

 private:
  int32_t Reserved() override { return 0; }
  void AttachOperator(TBaseDBConnPool* pool, int32_t threadId);
  IDBOperator* BindNow() const;
  // Opens `sql` as the current result set, keeping a failure's message.
  void OpenAsDataSet(const std::string& sql);

  mutable TComPtr<IDBOperator> operator_;  // null until first use when bound on it
  /// Sets one text, copying the block first when it is shared.
  void SetQueryText(std::string TQueryTexts::*text, const std::string& value);

  TSharedTexts texts_;
  std::string lastError_;
  TDataSet* dataSet_ = nullptr;
  int32_t bindThread_ = 0;  // the thread an operator bound on first use is bound to
};

/// Declares positions 5 and 6 for a class with the two usual constructors
/// (none and TBaseDBConnPool*).
#define TESMIRA_DBOBJECT_FACTORIES(Class)                       \
  TBaseDBObject* Create() const override {                      \
    return new Class();                                         \
  }                                                             \
  TBaseDBObject* Create(TBaseDBConnPool* pool) const override { \
    return new Class(pool);                                     \
  }
