#include "TDBStatement.h"

#include <iterator>

#include "Exceptions.h"
#include "TDBConnection.h"
#include "TDBSession.h"
#include "TInsertRows.h"
#include "TSqlLexer.h"

TDBStatement::TDBStatement(TDBConnection* connection) {
  SetConnection(connection);
}

TDBStatement::~TDBStatement() {
  if (db_) db_->StatementDestroyed();
}

void TDBStatement::SetConnection(IDBConnection* connection) {
  if (db_) db_->StatementDestroyed();
  TBaseDBStatement::SetConnection(connection);
  db_ = static_cast<TDBConnection*>(connection);
  if (db_) db_->StatementCreated();
}

TDBConnection* TDBStatement::Db() const {
  if (!db_) throw EDBException("The statement has no connection");
  return db_;
}

void TDBStatement::CloseQuery() {
  dataSet_.Close();
}

TDataSet* TDBStatement::OpenQuery(const std::string& sql) {
  CloseQuery();
  sql_ = sql;
  Db()->Session().Query(sql, dataSet_.Storage());
  return &dataSet_;
}

void TDBStatement::ExecSQL(const std::string& sql) {
  CloseQuery();
  sql_ = sql;
  Db()->Session().Execute(sql);
}

void TDBStatement::InsertRows(const TInsertRows& rows) {
  CloseQuery();
  sql_ = rows.Head();
  Db()->Session().InsertRows(rows);
}

void TDBStatement::ExecSQLGetID(const std::string& sql, int32_t& id) {
  try {
    OpenQuery(sql);
    dataSet_.First();
    TField field = dataSet_.FieldByName("IdentityID");
    if (dataSet_.IsEmpty() || field.IsNull()) throw Exception("取自增字段信息出现异常！");
    id = field.AsInteger();
  } catch (Exception& e) {
    e.SetMessage(e.Message() + sql);
    throw;
  } catch (const std::exception& e) {
    throw EDBException(std::string(e.what()) + sql, DBErrorKindOf(e));
  }
}

void TDBStatement::AddSQL(const std::string& sql) {
  if (TSqlLexer::Trim(sql).empty()) return;
  sqls_.push_back(BatchEntry{sql, {}});
}

void TDBStatement::AddParamStream(std::istream& stream) {
  if (sqls_.empty())
    throw EDBException("AddParamStream: no SQL text is queued (call AddSQL first)");
  stream.clear();
  auto position = stream.tellg();
  stream.seekg(0, std::ios::beg);
  std::string content((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
  stream.clear();
  if (position != std::streampos(-1)) stream.seekg(position);
  sqls_.back().streams.push_back(std::move(content));
}

void TDBStatement::ClearSQLs() {
  sqls_.clear();
  params_ = nullptr;
}

// ExecSQLs: the two refusals leave the queue as it is; once the batch has
// started, the queue is emptied whatever happens. A failure rolls the
// transaction back and is reported under the fixed message; the cause
// travels in ExtraText so that it is not lost to whoever handles the error.
bool TDBStatement::ExecSQLs(bool useTransaction) {
  if (sqls_.empty()) throw EDBException("SQL 语句空");
  TDBConnection* db = Db();
  if (useTransaction) {
    if (db->GetInTransaction()) throw EDBException("事务尚未结束，不能开始新事务");
    db->BeginTrans();
  }
  try {
    ExecuteBatch();
    if (useTransaction) db->CommitTrans();
  } catch (const std::exception& e) {
    if (useTransaction && db->GetInTransaction()) {
      try {
        db->RollbackTrans();
      } catch (const std::exception&) {
        // the batch's own failure is the one to report
      }
    }
    ClearSQLs();
    EDBException failure(e.what(), 0, 0, "ExecSQLs 失败");
    failure.Kind = DBErrorKindOf(e);
    throw failure;
  }
  ClearSQLs();
  return true;
}

void TDBStatement::SetParams(int index) {
  params_ = &sqls_[index].streams;
}

namespace {

// The first word of the text, lower-cased: what comes before the first
// blank (code 32). Tabs and line breaks do not end it.
std::string Keyword(const std::string& text) {
  size_t blank = text.find(' ');
  if (blank == std::string::npos) return std::string();
  std::string word = text.substr(0, blank);
  for (char& c : word)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return word;
}

}  // namespace

void TDBStatement::ExecuteBatch() {
  TDBSession& session = Db()->Session();
  for (int i = 0; i < static_cast<int>(sqls_.size()); ++i) {
    std::string text = TSqlLexer::Trim(sqls_[i].sql);
    CloseQuery();
    sql_ = text;
    std::string keyword = Keyword(text);
    SetParams(i);
    if (keyword == "select" || keyword == "exec") {
      session.ExecuteWithBlobs(text, *params_, &dataSet_.Storage());
    } else if (keyword == "update" || keyword == "insert" || keyword == "delete" ||
               keyword == "create" || keyword == "if" || keyword == "drop") {
      session.ExecuteWithBlobs(text, *params_, nullptr);
    } else {
      throw Exception("未知的 SQL 关键字\r\n" + keyword);
    }
  }
}
