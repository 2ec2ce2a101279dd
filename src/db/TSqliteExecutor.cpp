#include "TSqliteExecutor.h"

#include <sqlite3.h>

#include <cstring>
#include <memory>

#include "Exceptions.h"
#include "GbkText.h"
#include "TCellText.h"
#include "TInsertRows.h"
#include "TSqlLiterals.h"
#include "TSqliteDialect.h"
#include "TSqliteStatementCache.h"

namespace {
struct StmtCloser {
  void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using StmtPtr = std::unique_ptr<sqlite3_stmt, StmtCloser>;

class DbMutexHold {
 public:
  explicit DbMutexHold(sqlite3* db) : mutex_(sqlite3_db_mutex(db)) { sqlite3_mutex_enter(mutex_); }
  ~DbMutexHold() { sqlite3_mutex_leave(mutex_); }
  DbMutexHold(const DbMutexHold&) = delete;
  DbMutexHold& operator=(const DbMutexHold&) = delete;

 private:
  sqlite3_mutex* mutex_;  // null when SQLite runs without mutexes: both calls do nothing
};
}  // namespace

namespace {

int CompareGbk(void*, int lengthA, const void* a, int lengthB, const void* b) {
  const std::string_view textA(static_cast<const char*>(a), static_cast<size_t>(lengthA));
  const std::string_view textB(static_cast<const char*>(b), static_cast<size_t>(lengthB));
  try {
    return TCellText::CompareAsGbk(textA, textB);
  } catch (...) {
    // No error may leave SQLite's callback; the bytes still give an order.
    return textA.compare(textB);
  }
}

}  // namespace

void TSqliteExecutor::RegisterGbkCollation(sqlite3* db) {
  if (sqlite3_create_collation_v2(db, TSqliteDialect::GbkCollation, SQLITE_UTF8, nullptr,
                                  &CompareGbk, nullptr) != SQLITE_OK)
    Fail(db);
}

TDBErrorKind TSqliteExecutor::KindOfCode(int code) {
  switch (code & 0xff) {  // the primary code of an extended one
    case SQLITE_CONSTRAINT:
      return TDBErrorKind::ConstraintRefused;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_CANTOPEN:
      return TDBErrorKind::NoPrivilege;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return TDBErrorKind::TimedOut;
    default:
      return TDBErrorKind::Other;
  }
}

void TSqliteExecutor::Fail(sqlite3* db) {
  throw EDBException(GbkText::FromUtf8(sqlite3_errmsg(db)),
                     KindOfCode(sqlite3_extended_errcode(db)));
}

void TSqliteExecutor::Run(sqlite3* db, const std::string& utf8Sql,
                          const std::vector<std::string>& blobs, size_t& nextBlob,
                          TDataSet::Impl* out, TSqliteStatementCache* cache,
                          const std::vector<TClientOrder::Term>* order) {
  if (cache && blobs.empty() && RunCached(db, utf8Sql, *cache, out, order)) return;
  const char* tail = utf8Sql.c_str();
  const char* end = tail + utf8Sql.size();
  while (tail < end) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, tail, static_cast<int>(end - tail), &raw, &tail) != SQLITE_OK)
      Fail(db);
    StmtPtr stmt(raw);
    if (!stmt) continue;  // only blanks or comments were left
    int params = sqlite3_bind_parameter_count(stmt.get());
    for (int p = 1; p <= params; ++p) {
      if (nextBlob >= blobs.size())
        throw EDBException(
            FormatText("The statement has more parameters than values were given (%d given)",
                       {static_cast<int>(blobs.size())}));
      const std::string& blob = blobs[nextBlob++];
      if (sqlite3_bind_blob(stmt.get(), p, blob.data(), static_cast<int>(blob.size()),
                            SQLITE_TRANSIENT) != SQLITE_OK)
        Fail(db);
    }
    if (out && sqlite3_column_count(stmt.get()) > 0) {
      ReadRows(db, stmt.get(), *out, order);
    } else {
      int rc;
      while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
      }
      if (rc != SQLITE_DONE) Fail(db);
    }
  }
}

namespace {

// Resets a kept statement whatever happens, so that it holds no lock and
// no value of this run.
class ResetAfterUse {
 public:
  explicit ResetAfterUse(sqlite3_stmt* stmt) : stmt_(stmt) {}
  ~ResetAfterUse() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }
  ResetAfterUse(const ResetAfterUse&) = delete;
  ResetAfterUse& operator=(const ResetAfterUse&) = delete;

 private:
  sqlite3_stmt* stmt_;
};

int Bind(sqlite3_stmt* stmt, int position, const TSqlLiterals::Value& value) {
  switch (value.kind) {
    case TSqlLiterals::Kind::Integer:
      return sqlite3_bind_int64(stmt, position, value.integer);
    case TSqlLiterals::Kind::Real:
      return sqlite3_bind_double(stmt, position, value.real);
    default:
      return sqlite3_bind_text(stmt, position, value.text.data(),
                               static_cast<int>(value.text.size()), SQLITE_STATIC);
  }
}

}  // namespace

bool TSqliteExecutor::RunCached(sqlite3* db, const std::string& utf8Sql,
                                TSqliteStatementCache& cache, TDataSet::Impl* out,
                                const std::vector<TClientOrder::Term>* order) {
  std::string shape;
  std::vector<TSqlLiterals::Value> values;
  const bool bindsLiterals = TSqlLiterals::Extract(utf8Sql, shape, values);
  sqlite3_stmt* stmt = cache.Prepared(db, bindsLiterals ? shape : utf8Sql);
  if (!stmt || sqlite3_bind_parameter_count(stmt) != static_cast<int>(values.size())) return false;
  ResetAfterUse reset(stmt);
  for (size_t i = 0; i < values.size(); ++i)
    if (Bind(stmt, static_cast<int>(i + 1), values[i]) != SQLITE_OK) Fail(db);
  if (out && sqlite3_column_count(stmt) > 0) {
    ReadRows(db, stmt, *out, order);
    return true;
  }
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
  }
  if (rc != SQLITE_DONE) Fail(db);
  return true;
}

namespace {

// The UTF-8 of every text value, converted in one call: the values joined
// by a zero byte, which neither encoding uses inside a character. A value
// that holds a zero byte itself is converted on its own, as are the others.
std::vector<std::string> TextsAsUtf8(const TInsertRows& rows) {
  std::string joined;
  size_t count = 0;
  for (const TInsertRows::Value& value : rows.Values())
    if (const auto* text = std::get_if<std::string>(&value)) {
      joined.append(*text).push_back('\0');
      ++count;
    }
  std::vector<std::string> texts;
  const std::string utf8 = GbkText::ToUtf8(joined);
  for (size_t start = 0; start < utf8.size();) {
    const size_t end = utf8.find('\0', start);
    texts.emplace_back(utf8, start, end - start);
    start = end + 1;
  }
  if (texts.size() == count) return texts;
  texts.clear();
  for (const TInsertRows::Value& value : rows.Values())
    if (const auto* text = std::get_if<std::string>(&value))
      texts.push_back(GbkText::ToUtf8(*text));
  return texts;
}

}  // namespace

void TSqliteExecutor::InsertRows(sqlite3* db, const TInsertRows& rows,
                                 TSqliteStatementCache& cache) {
  const std::string shape = GbkText::ToUtf8(rows.Shape());
  StmtPtr once;
  sqlite3_stmt* stmt = cache.Prepared(db, shape);
  if (!stmt) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, shape.c_str(), static_cast<int>(shape.size()), &raw, nullptr) !=
        SQLITE_OK)
      Fail(db);
    once.reset(raw);
    stmt = raw;
  }
  ResetAfterUse reset(stmt);
  const std::vector<std::string> texts = TextsAsUtf8(rows);
  size_t nextText = 0;
  int position = 0;
  for (const TInsertRows::Value& value : rows.Values()) {
    ++position;
    int rc;
    if (std::holds_alternative<std::string>(value)) {
      const std::string& text = texts[nextText++];
      rc = sqlite3_bind_text(stmt, position, text.data(), static_cast<int>(text.size()),
                             SQLITE_STATIC);
    } else {
      rc = sqlite3_bind_int64(stmt, position, std::get<int64_t>(value));
    }
    if (rc != SQLITE_OK) Fail(db);
  }
  if (sqlite3_step(stmt) != SQLITE_DONE) Fail(db);
}

namespace {

TClientOrder::CellClass ClassOfType(int type) {
  switch (type) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
      return TClientOrder::CellClass::Number;
    case SQLITE_BLOB:
      return TClientOrder::CellClass::Blob;
    case SQLITE_NULL:
      return TClientOrder::CellClass::Null;
    default:
      return TClientOrder::CellClass::Text;
  }
}

// The storage classes of the order's key cells, noted while the rows are
// read: the set keeps only their text, and the integer 12 and the text
// "12" sort apart.
class KeyClasses {
 public:
  KeyClasses(const TDataSet::Impl& rows, const std::vector<TClientOrder::Term>* order)
      : slot_(static_cast<size_t>(rows.Columns()), -1) {
    if (!order) return;
    for (const TClientOrder::Term& term : *order) {
      const int column = rows.Find(term.Column);
      if (column >= 0) slot_[column] = 0;
    }
    // Numbered in column order: the order the cells are read and noted in.
    for (int& slot : slot_)
      if (slot == 0) slot = keys_++;
  }
  bool Wanted() const { return keys_ > 0; }
  void Note(int column, int type) {
    if (slot_[column] >= 0) classes_.push_back(ClassOfType(type));
  }
  TClientOrder::CellClass Of(int row, int column) const {
    return classes_[static_cast<size_t>(row) * keys_ + slot_[column]];
  }

 private:
  std::vector<int> slot_;  // per column: its place among the key columns, or -1
  int keys_ = 0;
  std::vector<TClientOrder::CellClass> classes_;
};

}  // namespace

void TSqliteExecutor::ReadRows(sqlite3* db, sqlite3_stmt* stmt, TDataSet::Impl& out,
                               const std::vector<TClientOrder::Term>* order) {
  int columns = sqlite3_column_count(stmt);
  std::vector<std::string> names;
  names.reserve(columns);
  for (int c = 0; c < columns; ++c)
    names.push_back(GbkText::FromUtf8(sqlite3_column_name(stmt, c)));
  out.BeginResult(std::move(names));
  KeyClasses keys(out, order);
  const bool noteKeys = keys.Wanted();
  // The connection belongs to this thread: holding its mutex over the whole
  // read turns the lock every column call takes into a cheap re-entry.
  DbMutexHold hold(db);
  int rc;
  // The value's storage class first: an integer is written by us from its
  // value (SQLite would print it into a text of its own first), Null needs
  // nothing more, a blob keeps its bytes, text is converted to GBK; a real
  // keeps SQLite's own text, so numbers read as they always did. Each cell
  // is fetched once as a value: the column calls would each enter and leave
  // the connection's mutex, which the hold above already keeps.
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    for (int c = 0; c < columns; ++c) {
      sqlite3_value* value = sqlite3_column_value(stmt, c);
      const int type = sqlite3_value_type(value);
      if (noteKeys) keys.Note(c, type);
      if (type == SQLITE_INTEGER) {
        TCellText::AppendInteger(out.text, sqlite3_value_int64(value));
      } else if (type == SQLITE_BLOB) {
        const auto* bytes = static_cast<const char*>(sqlite3_value_blob(value));
        out.text.append(bytes, static_cast<size_t>(sqlite3_value_bytes(value)));
      } else if (type != SQLITE_NULL) {
        const unsigned char* text = sqlite3_value_text(value);
        if (!text) {
          out.PushEnd(true);  // as before: a value SQLite cannot give as text reads Null
          continue;
        }
        TCellText::AppendUtf8AsGbk(
            out.text, std::string_view(reinterpret_cast<const char*>(text),
                                       static_cast<size_t>(sqlite3_value_bytes(value))));
      }
      out.PushEnd(type == SQLITE_NULL);
    }
    out.EndRow();
  }
  if (rc != SQLITE_DONE) {
    out.Clear();
    Fail(db);
  }
  out.Finish();
  if (order && !order->empty() &&
      !TClientOrder::Sort(
          *order, [&](int row, int column) { return keys.Of(row, column); },
          TClientOrder::NullPlace::First, out)) {
    out.Clear();
    throw EDBException("An ORDER BY column is not in the result");
  }
}
