#include "TSqliteStatementCache.h"

#include <sqlite3.h>

#include <functional>

#include "TSqlLexer.h"

TSqliteStatementCache::~TSqliteStatementCache() {
  Clear();
}

sqlite3_stmt* TSqliteStatementCache::Prepared(sqlite3* db, const std::string& shape) {
  const auto found = statements_.find(shape);
  if (found != statements_.end()) return found->second;
  if (metOnce_.size() >= kMetCapacity) metOnce_.clear();
  if (metOnce_.insert(std::hash<std::string>{}(shape)).second) return nullptr;
  sqlite3_stmt* statement = nullptr;
  const char* tail = nullptr;
  // A shape SQLite refuses (a syntax the literals allowed, a missing table)
  // is run as written, which reports the error in the statement's own terms.
  if (sqlite3_prepare_v3(db, shape.c_str(), static_cast<int>(shape.size()),
                         SQLITE_PREPARE_PERSISTENT, &statement, &tail) != SQLITE_OK)
    return nullptr;
  const size_t used = static_cast<size_t>(tail - shape.c_str());
  if (!statement || TSqlLexer::SkipBlanks(shape, used) < shape.size()) {
    sqlite3_finalize(statement);
    return nullptr;
  }
  if (statements_.size() >= kCapacity) Clear();
  statements_.emplace(shape, statement);
  return statement;
}

void TSqliteStatementCache::Clear() {
  for (auto& [shape, statement] : statements_) sqlite3_finalize(statement);
  statements_.clear();
}
