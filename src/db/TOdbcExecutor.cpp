#include "TOdbcExecutor.h"

#include <sqlext.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "Exceptions.h"
#include "GbkText.h"
#include "TCellText.h"
#include "TOdbcError.h"

namespace {

// The driver's first diagnostic record: message (GBK) and SQLSTATE.
TOdbcError Diagnostic(SQLSMALLINT type, SQLHANDLE handle) {
  SQLCHAR state[SQL_SQLSTATE_SIZE + 1] = {0};
  SQLCHAR message[SQL_MAX_MESSAGE_LENGTH + 1] = {0};
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  if (!SQL_SUCCEEDED(
          SQLGetDiagRec(type, handle, 1, state, &native, message, sizeof message, &length)))
    return TOdbcError("ODBC call failed", "");
  const std::string code = reinterpret_cast<const char*>(state);
  return TOdbcError(
      GbkText::FromUtf8(reinterpret_cast<const char*>(message)) + " (SQL state " + code + ")", code,
      static_cast<int>(native));
}

// Owns a native statement handle on the session's connection handle.
class StatementHandle {
 public:
  StatementHandle(SQLHDBC dbc, int timeoutSeconds) {
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt_)))
      throw Diagnostic(SQL_HANDLE_DBC, dbc);
    if (timeoutSeconds > 0)
      SQLSetStmtAttr(stmt_, SQL_ATTR_QUERY_TIMEOUT,
                     reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeoutSeconds)), 0);
  }
  ~StatementHandle() { SQLFreeHandle(SQL_HANDLE_STMT, stmt_); }
  StatementHandle(const StatementHandle&) = delete;
  StatementHandle& operator=(const StatementHandle&) = delete;
  SQLHSTMT get() const { return stmt_; }
  // SQL_NO_DATA is an answer too: a searched update that met no row.
  void Check(SQLRETURN rc) const {
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) throw Diagnostic(SQL_HANDLE_STMT, stmt_);
  }

 private:
  SQLHSTMT stmt_ = SQL_NULL_HSTMT;
};

// How a column's values are read so that they come out as on every other
// backend: numbers in their shortest exact form ("12.5", not the "12.50" of
// a DECIMAL column), date-times without fractions, the rest as text.
enum class CellKind { Text, Number, DateTime };

CellKind KindOf(SQLSMALLINT type) {
  switch (type) {
    case SQL_FLOAT:
    case SQL_REAL:
    case SQL_DOUBLE:
    case SQL_NUMERIC:
    case SQL_DECIMAL:
      return CellKind::Number;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TYPE_DATE:
      return CellKind::DateTime;
    default:
      return CellKind::Text;
  }
}

// Appends the cell's text (UTF-8 from the driver) in pieces; false for Null.
bool ReadText(const StatementHandle& h, SQLUSMALLINT column, std::string& value) {
  char buf[4096];
  for (;;) {
    SQLLEN ind = 0;
    const SQLRETURN rc = SQLGetData(h.get(), column, SQL_C_CHAR, buf, sizeof buf, &ind);
    if (rc == SQL_NO_DATA) return true;
    h.Check(rc);
    if (ind == SQL_NULL_DATA) return false;
    const size_t got = (ind == SQL_NO_TOTAL || ind >= static_cast<SQLLEN>(sizeof buf))
                           ? sizeof buf - 1
                           : static_cast<size_t>(ind);
    value.append(buf, got);
    if (rc == SQL_SUCCESS) return true;
  }
}

void AppendDateTime(TDataSet::Impl& out, const SQL_TIMESTAMP_STRUCT& t) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%04d-%02u-%02u %02u:%02u:%02u", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  out.text += buf;
}

void ReadCell(const StatementHandle& h, SQLUSMALLINT column, CellKind kind, TDataSet::Impl& out) {
  SQLLEN ind = 0;
  if (kind == CellKind::Number) {
    double value = 0;
    h.Check(SQLGetData(h.get(), column, SQL_C_DOUBLE, &value, 0, &ind));
    if (ind != SQL_NULL_DATA) TCellText::AppendDouble(out.text, value);
  } else if (kind == CellKind::DateTime) {
    SQL_TIMESTAMP_STRUCT t{};
    h.Check(SQLGetData(h.get(), column, SQL_C_TYPE_TIMESTAMP, &t, sizeof t, &ind));
    if (ind != SQL_NULL_DATA) AppendDateTime(out, t);
  } else {
    std::string value;
    if (!ReadText(h, column, value)) ind = SQL_NULL_DATA;
    TCellText::AppendUtf8AsGbk(out.text, value);
  }
  out.PushEnd(ind == SQL_NULL_DATA);
}

bool IsNumber(SQLSMALLINT type) {
  switch (type) {
    case SQL_BIT:
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
      return true;
    default:
      return KindOf(type) == CellKind::Number;
  }
}

using Order = std::vector<TClientOrder::Term>;

// Block fetch: rows come in blocks of kBlockRows into arrays bound per
// column, instead of one driver call per cell. A text cell longer than its
// buffer (a TEXT column, or many four-byte characters) is read whole by
// positioning on its row and reading it as before.
constexpr SQLULEN kBlockRows = 128;
constexpr SQLULEN kBoundCharacters = 256;  // UTF-8: at most four bytes each

struct BoundColumn {
  CellKind Kind = CellKind::Text;
  SQLLEN Width = 0;  // bytes per row
  std::vector<char> Data;
  std::vector<SQLLEN> Lengths;
};

class BlockReader {
 public:
  BlockReader(const StatementHandle& h, const std::vector<CellKind>& kinds,
              const std::vector<SQLULEN>& sizes)
      : h_(h), columns_(kinds.size()), statuses_(kBlockRows) {
    h_.Check(SetAttr(SQL_ATTR_ROW_BIND_TYPE, SQL_BIND_BY_COLUMN));
    h_.Check(SetAttr(SQL_ATTR_ROW_ARRAY_SIZE, kBlockRows));
    h_.Check(SQLSetStmtAttr(h_.get(), SQL_ATTR_ROWS_FETCHED_PTR, &fetched_, 0));
    h_.Check(SQLSetStmtAttr(h_.get(), SQL_ATTR_ROW_STATUS_PTR, statuses_.data(), 0));
    for (size_t c = 0; c < columns_.size(); ++c) Bind(c, kinds[c], sizes[c]);
  }
  // The statement handle goes back to one row per fetch and no bound
  // buffer (its later results are read cell by cell).
  ~BlockReader() {
    SQLFreeStmt(h_.get(), SQL_UNBIND);
    SetAttr(SQL_ATTR_ROW_ARRAY_SIZE, 1);
    SQLSetStmtAttr(h_.get(), SQL_ATTR_ROWS_FETCHED_PTR, nullptr, 0);
    SQLSetStmtAttr(h_.get(), SQL_ATTR_ROW_STATUS_PTR, nullptr, 0);
  }
  BlockReader(const BlockReader&) = delete;
  BlockReader& operator=(const BlockReader&) = delete;

  void Read(TDataSet::Impl& out) {
    SQLRETURN rc;
    while ((rc = SQLFetch(h_.get())) == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO) {
      for (SQLULEN r = 0; r < fetched_; ++r) {
        if (statuses_[r] == SQL_ROW_NOROW) continue;
        if (statuses_[r] == SQL_ROW_ERROR) throw Diagnostic(SQL_HANDLE_STMT, h_.get());
        for (size_t c = 0; c < columns_.size(); ++c) AppendCell(r, c, out);
        out.EndRow();
      }
    }
    h_.Check(rc);
  }

 private:
  SQLRETURN SetAttr(SQLINTEGER attribute, SQLULEN value) {
    return SQLSetStmtAttr(h_.get(), attribute, reinterpret_cast<SQLPOINTER>(value), 0);
  }

  void Bind(size_t c, CellKind kind, SQLULEN size) {
    BoundColumn& column = columns_[c];
    column.Kind = kind;
    SQLSMALLINT cType = SQL_C_CHAR;
    if (kind == CellKind::Number) {
      cType = SQL_C_DOUBLE;
      column.Width = sizeof(double);
    } else if (kind == CellKind::DateTime) {
      cType = SQL_C_TYPE_TIMESTAMP;
      column.Width = sizeof(SQL_TIMESTAMP_STRUCT);
    } else {
      const SQLULEN characters = size == 0 ? kBoundCharacters : std::min(size, kBoundCharacters);
      column.Width = static_cast<SQLLEN>(characters * 4 + 1);
    }
    column.Data.resize(static_cast<size_t>(column.Width) * kBlockRows);
    column.Lengths.resize(kBlockRows);
    h_.Check(SQLBindCol(h_.get(), static_cast<SQLUSMALLINT>(c + 1), cType, column.Data.data(),
                        column.Width, column.Lengths.data()));
  }

  void AppendCell(SQLULEN row, size_t c, TDataSet::Impl& out) {
    const BoundColumn& column = columns_[c];
    const SQLLEN length = column.Lengths[row];
    const char* data = column.Data.data() + row * static_cast<SQLULEN>(column.Width);
    if (length == SQL_NULL_DATA) {
      out.PushEnd(true);
      return;
    }
    if (column.Kind == CellKind::Number) {
      double value = 0;
      std::memcpy(&value, data, sizeof value);
      TCellText::AppendDouble(out.text, value);
    } else if (column.Kind == CellKind::DateTime) {
      SQL_TIMESTAMP_STRUCT t{};
      std::memcpy(&t, data, sizeof t);
      AppendDateTime(out, t);
    } else if (length == SQL_NO_TOTAL || length >= column.Width) {
      // Longer than the buffer: the whole text from the driver.
      h_.Check(SQLSetPos(h_.get(), static_cast<SQLSETPOSIROW>(row + 1), SQL_POSITION,
                         SQL_LOCK_NO_CHANGE));
      std::string value;
      ReadText(h_, static_cast<SQLUSMALLINT>(c + 1), value);
      TCellText::AppendUtf8AsGbk(out.text, value);
    } else {
      TCellText::AppendUtf8AsGbk(out.text, std::string_view(data, static_cast<size_t>(length)));
    }
    out.PushEnd(false);
  }

  const StatementHandle& h_;
  std::vector<BoundColumn> columns_;
  std::vector<SQLUSMALLINT> statuses_;
  SQLULEN fetched_ = 0;
};

// Reads the rows of the current result; `numbers` (when wanted) gets which
// columns hold numbers.
void ReadResult(const StatementHandle& h, SQLSMALLINT columns, bool inBlocks, TDataSet::Impl& out,
                std::vector<bool>* numbers) {
  std::vector<std::string> names;
  std::vector<CellKind> kinds;
  std::vector<SQLULEN> sizes;
  for (SQLSMALLINT c = 1; c <= columns; ++c) {
    SQLCHAR name[256] = {0};
    SQLSMALLINT length = 0, type = 0, digits = 0, nullable = 0;
    SQLULEN size = 0;
    h.Check(
        SQLDescribeCol(h.get(), c, name, sizeof name, &length, &type, &size, &digits, &nullable));
    names.push_back(GbkText::FromUtf8(reinterpret_cast<const char*>(name)));
    kinds.push_back(KindOf(type));
    sizes.push_back(size);
    if (numbers) numbers->push_back(IsNumber(type));
  }
  out.BeginResult(std::move(names));
  if (inBlocks) {
    BlockReader(h, kinds, sizes).Read(out);
    out.Finish();
    return;
  }
  SQLRETURN rc;
  while ((rc = SQLFetch(h.get())) == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO) {
    for (SQLSMALLINT c = 1; c <= columns; ++c)
      ReadCell(h, static_cast<SQLUSMALLINT>(c), kinds[c - 1], out);
    out.EndRow();
  }
  h.Check(rc);
  out.Finish();
}

// The rows, in `order` when one is given (read first, then sorted in place).
void ReadRows(const StatementHandle& h, SQLSMALLINT columns, bool inBlocks, TDataSet::Impl& out,
              const Order* order) {
  if (!order || order->empty()) {
    ReadResult(h, columns, inBlocks, out, nullptr);
    return;
  }
  std::vector<bool> numbers;
  ReadResult(h, columns, inBlocks, out, &numbers);
  const auto classOf = [&](int, int column) {
    return numbers[static_cast<size_t>(column)] ? TClientOrder::CellClass::Number
                                                : TClientOrder::CellClass::Text;
  };
  if (!TClientOrder::Sort(*order, classOf, TClientOrder::NullPlace::Last, out))
    throw TOdbcError("an ORDER BY column is not in the result", "42703");
}

// Walks every result of the statement: the first one with columns is read
// into `out` (when wanted), the others are passed over, so the later
// statements of a batch run and report their errors.
void ConsumeResults(const StatementHandle& h, bool inBlocks, TDataSet::Impl* out,
                    const Order* order) {
  bool read = false;
  for (;;) {
    SQLSMALLINT columns = 0;
    h.Check(SQLNumResultCols(h.get(), &columns));
    if (columns > 0 && out && !read) {
      ReadRows(h, columns, inBlocks, *out, order);
      read = true;
    }
    const SQLRETURN rc = SQLMoreResults(h.get());
    if (rc == SQL_NO_DATA) break;
    h.Check(rc);
  }
  if (out && !read) {
    out->BeginResult({});
    out->Finish();
  }
}

SQLCHAR* Text(const std::string& sql) {
  return reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str()));
}

}  // namespace

void TOdbcExecutor::Run(SQLHDBC dbc, const std::string& utf8Sql, int parameterCount,
                        const std::vector<std::string>& blobs, size_t& nextBlob, int timeoutSeconds,
                        bool inBlocks, TDataSet::Impl* out,
                        const std::vector<TClientOrder::Term>* order) {
  StatementHandle h(dbc, timeoutSeconds);
  try {
    if (parameterCount == 0) {
      h.Check(SQLExecDirect(h.get(), Text(utf8Sql), SQL_NTS));
    } else {
      // SOCI's ODBC backend refuses blob use-elements: bound here.
      std::vector<SQLLEN> lengths(parameterCount);
      h.Check(SQLPrepare(h.get(), Text(utf8Sql), SQL_NTS));
      for (int p = 0; p < parameterCount; ++p) {
        const std::string& blob = blobs[nextBlob + p];
        lengths[p] = static_cast<SQLLEN>(blob.size());
        h.Check(SQLBindParameter(h.get(), static_cast<SQLUSMALLINT>(p + 1), SQL_PARAM_INPUT,
                                 SQL_C_BINARY, SQL_LONGVARBINARY, blob.size() ? blob.size() : 1, 0,
                                 const_cast<char*>(blob.data()), lengths[p], &lengths[p]));
      }
      nextBlob += parameterCount;
      h.Check(SQLExecute(h.get()));
    }
    ConsumeResults(h, inBlocks, out, order);
  } catch (...) {
    if (out) out->Clear();
    throw;
  }
}

bool TOdbcExecutor::Answers(SQLHDBC dbc, int timeoutSeconds) {
  try {
    StatementHandle h(dbc, timeoutSeconds);
    const SQLRETURN rc = SQLExecDirect(h.get(), Text("SELECT 1"), SQL_NTS);
    if (SQL_SUCCEEDED(rc)) return true;
    // Class 25: the server refused the query for the state of the
    // transaction, so it is there.
    return Diagnostic(SQL_HANDLE_STMT, h.get()).State.rfind("25", 0) == 0;
  } catch (const TOdbcError&) {
    return false;
  }
}

std::string TOdbcExecutor::DbmsName(SQLHDBC dbc) {
  SQLCHAR name[256] = {0};
  SQLSMALLINT length = 0;
  if (!SQL_SUCCEEDED(SQLGetInfo(dbc, SQL_DBMS_NAME, name, sizeof name, &length)))
    throw Diagnostic(SQL_HANDLE_DBC, dbc);
  return GbkText::FromUtf8(reinterpret_cast<const char*>(name));
}
