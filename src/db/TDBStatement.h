#pragma once

#include <string>
#include <vector>

#include "TBaseDBStatement.h"
#include "TDataSet.h"

class TDBConnection;
class TInsertRows;

/// A statement on one pooled connection. It owns one result set, reused by
/// every query it runs, and a queue of batch entries (SQL text plus blob
/// parameter values) for ExecSQLs. It holds backend resources only while a
/// statement runs: rows are materialised into the result set.
class TDBStatement : public TBaseDBStatement {
 public:
  explicit TDBStatement(TDBConnection* connection);
  ~TDBStatement() override;

  void ClearSQLs() override;
  void CloseQuery() override;
  /// Runs `sql` as a command; the affected-row count is not reported.
  void ExecSQL(const std::string& sql) override;
  /// Opens `sql` and reads column "IdentityID" of the first row into `id`.
  /// A Null or missing row raises "取自增字段信息出现异常！"; every error is
  /// raised again (same object) with `sql` appended to its message, and `id`
  /// is left unchanged.
  void ExecSQLGetID(const std::string& sql, int32_t& id) override;
  /// Runs the queue, in a transaction when asked; see the class notes in
  /// the source. Raises EDBException "SQL 语句空", "事务尚未结束，不能开始新
  /// 事务" or "ExecSQLs 失败" (the cause in ExtraText).
  bool ExecSQLs(bool useTransaction) override;
  /// Opens `sql`; returns the statement's one result set (the same object
  /// every time).
  TDataSet* OpenQuery(const std::string& sql) override;
  TDataSet* GetDataSet() override { return &dataSet_; }
  /// Appends a copy of the whole stream to the last queued entry. Raises
  /// EDBException when nothing is queued.
  void AddParamStream(std::istream& stream) override;
  /// Inserts `rows` as one statement (TInsertRows).
  void InsertRows(const TInsertRows& rows);
  /// Queues `sql` (as given) unless it is blank.
  void AddSQL(const std::string& sql) override;

  void SetConnection(IDBConnection* connection) override;
  int32_t Count() const { return static_cast<int32_t>(sqls_.size()); }
  /// The SQL text of the last statement run.
  const std::string& SQL() const { return sql_; }

 protected:
  /// Runs every queued entry in order; the first failure stops the batch.
  virtual void ExecuteBatch();
  /// Makes entry `index`'s streams the parameter values of the next run.
  virtual void SetParams(int index);

 private:
  struct BatchEntry {
    std::string sql;
    std::vector<std::string> streams;
  };

  TDBConnection* Db() const;

  TDBConnection* db_ = nullptr;
  TDataSet dataSet_;
  std::string sql_;
  std::vector<BatchEntry> sqls_;
  const std::vector<std::string>* params_ = nullptr;
};
