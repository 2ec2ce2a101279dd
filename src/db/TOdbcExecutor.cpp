#include "TOdbcExecutor.h"

#include <soci/odbc/soci-odbc.h>
#include <soci/soci.h>

#include <cstdio>
#include <ctime>

#include "Exceptions.h"
#include "GbkText.h"
#include "TCellText.h"

namespace {

void SetTimeout(SQLHSTMT stmt, int seconds) {
  SQLSetStmtAttr(stmt, SQL_ATTR_QUERY_TIMEOUT,
                 reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(seconds)), 0);
}

SQLHSTMT NativeStatement(soci::statement& st) {
  return static_cast<soci::odbc_statement_backend*>(st.get_backend())->hstmt_;
}

void AppendValue(std::string& out, const soci::row& r, size_t i) {
  switch (r.get_properties(i).get_data_type()) {
    case soci::dt_double:
      TCellText::AppendDouble(out, r.get<double>(i));
      break;
    case soci::dt_integer:
      out += std::to_string(r.get<int>(i));
      break;
    case soci::dt_long_long:
      out += std::to_string(r.get<long long>(i));
      break;
    case soci::dt_unsigned_long_long:
      out += std::to_string(r.get<unsigned long long>(i));
      break;
    case soci::dt_date: {
      std::tm t = r.get<std::tm>(i);
      char buf[80];
      std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.tm_year + 1900,
                    t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
      out += buf;
      break;
    }
    default:
      TCellText::AppendUtf8AsGbk(out, r.get<std::string>(i));
  }
}

std::string OdbcDiagnostic(SQLSMALLINT type, SQLHANDLE handle) {
  SQLCHAR state[SQL_SQLSTATE_SIZE + 1] = {0};
  SQLCHAR message[SQL_MAX_MESSAGE_LENGTH + 1] = {0};
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  if (!SQL_SUCCEEDED(
          SQLGetDiagRec(type, handle, 1, state, &native, message, sizeof message, &length)))
    return "ODBC call failed";
  return GbkText::FromUtf8(reinterpret_cast<const char*>(message)) + " (SQL state " +
         reinterpret_cast<const char*>(state) + ")";
}

// Owns a native statement handle for the blob path.
class NativeStatementHandle {
 public:
  explicit NativeStatementHandle(SQLHDBC dbc) {
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt_)))
      throw EDBException(OdbcDiagnostic(SQL_HANDLE_DBC, dbc));
  }
  ~NativeStatementHandle() { SQLFreeHandle(SQL_HANDLE_STMT, stmt_); }
  NativeStatementHandle(const NativeStatementHandle&) = delete;
  NativeStatementHandle& operator=(const NativeStatementHandle&) = delete;
  SQLHSTMT get() const { return stmt_; }
  void Check(SQLRETURN rc) const {
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA)
      throw EDBException(OdbcDiagnostic(SQL_HANDLE_STMT, stmt_));
  }

 private:
  SQLHSTMT stmt_ = SQL_NULL_HSTMT;
};

// Reads the rows a native statement returns, as text (the driver converts).
void ReadNativeRows(const NativeStatementHandle& h, TDataSet::Impl& out) {
  SQLSMALLINT columns = 0;
  h.Check(SQLNumResultCols(h.get(), &columns));
  if (columns <= 0) return;
  std::vector<std::string> names;
  for (SQLSMALLINT c = 1; c <= columns; ++c) {
    SQLCHAR name[256] = {0};
    SQLSMALLINT len = 0, type = 0, digits = 0, nullable = 0;
    SQLULEN size = 0;
    h.Check(SQLDescribeCol(h.get(), c, name, sizeof name, &len, &type, &size, &digits, &nullable));
    names.push_back(GbkText::FromUtf8(reinterpret_cast<const char*>(name)));
  }
  out.BeginResult(std::move(names));
  SQLRETURN rc;
  while ((rc = SQLFetch(h.get())) == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO) {
    for (SQLSMALLINT c = 1; c <= columns; ++c) {
      std::string value;
      char buf[4096];
      SQLLEN ind = 0;
      bool isNull = false;
      for (;;) {
        SQLRETURN g = SQLGetData(h.get(), c, SQL_C_CHAR, buf, sizeof buf, &ind);
        if (g == SQL_NO_DATA) break;
        h.Check(g);
        if (ind == SQL_NULL_DATA) {
          isNull = true;
          break;
        }
        size_t got = (ind == SQL_NO_TOTAL || ind >= static_cast<SQLLEN>(sizeof buf))
                         ? sizeof buf - 1
                         : static_cast<size_t>(ind);
        value.append(buf, got);
        if (g == SQL_SUCCESS) break;
      }
      if (!isNull) TCellText::AppendUtf8AsGbk(out.text, value);
      out.PushEnd(isNull);
    }
    out.EndRow();
  }
  h.Check(rc);
  out.Finish();
}

}  // namespace

void TOdbcExecutor::Query(soci::session& session, const std::string& utf8Sql, int timeoutSeconds,
                          TDataSet::Impl& out) {
  try {
    soci::row r;
    soci::statement st(session);
    st.alloc();
    SetTimeout(NativeStatement(st), timeoutSeconds);
    st.exchange(soci::into(r));
    st.prepare(utf8Sql);
    st.define_and_bind();
    bool more = st.execute(true);
    std::vector<std::string> names;
    for (size_t i = 0; i < r.size(); ++i)
      names.push_back(GbkText::FromUtf8(r.get_properties(i).get_name()));
    out.BeginResult(std::move(names));
    while (more) {
      for (size_t i = 0; i < r.size(); ++i) {
        bool isNull = r.get_indicator(i) == soci::i_null;
        if (!isNull) AppendValue(out.text, r, i);
        out.PushEnd(isNull);
      }
      out.EndRow();
      more = st.fetch();
    }
    out.Finish();
  } catch (const soci::soci_error& e) {
    out.Clear();
    throw EDBException(GbkText::FromUtf8(e.get_error_message()));
  }
}

void TOdbcExecutor::Execute(soci::session& session, const std::string& utf8Sql,
                            int timeoutSeconds) {
  try {
    soci::statement st(session);
    st.alloc();
    SetTimeout(NativeStatement(st), timeoutSeconds);
    st.prepare(utf8Sql);
    st.define_and_bind();
    st.execute(true);
  } catch (const soci::soci_error& e) {
    throw EDBException(GbkText::FromUtf8(e.get_error_message()));
  }
}

std::string TOdbcExecutor::DbmsName(soci::session& session) {
  auto* backend = static_cast<soci::odbc_session_backend*>(session.get_backend());
  SQLCHAR name[256] = {0};
  SQLSMALLINT length = 0;
  if (!SQL_SUCCEEDED(SQLGetInfo(backend->hdbc_, SQL_DBMS_NAME, name, sizeof name, &length)))
    throw EDBException(OdbcDiagnostic(SQL_HANDLE_DBC, backend->hdbc_));
  return GbkText::FromUtf8(reinterpret_cast<const char*>(name));
}

void TOdbcExecutor::ExecuteWithBlobs(soci::session& session, const std::string& positionalSql,
                                     int count, const std::vector<std::string>& blobs,
                                     size_t& nextBlob, int timeoutSeconds, TDataSet::Impl* out) {
  if (nextBlob + count > blobs.size())
    throw EDBException(FormatText("The statement has %d parameters but only %d values were given",
                                  {count, static_cast<int>(blobs.size() - nextBlob)}));
  auto* backend = static_cast<soci::odbc_session_backend*>(session.get_backend());
  NativeStatementHandle h(backend->hdbc_);
  SetTimeout(h.get(), timeoutSeconds);
  std::vector<SQLLEN> lengths(count);
  h.Check(SQLPrepare(h.get(), reinterpret_cast<SQLCHAR*>(const_cast<char*>(positionalSql.c_str())),
                     SQL_NTS));
  for (int p = 0; p < count; ++p) {
    const std::string& blob = blobs[nextBlob + p];
    lengths[p] = static_cast<SQLLEN>(blob.size());
    h.Check(SQLBindParameter(h.get(), static_cast<SQLUSMALLINT>(p + 1), SQL_PARAM_INPUT,
                             SQL_C_BINARY, SQL_LONGVARBINARY, blob.size() ? blob.size() : 1, 0,
                             const_cast<char*>(blob.data()), lengths[p], &lengths[p]));
  }
  nextBlob += count;
  h.Check(SQLExecute(h.get()));
  if (out) ReadNativeRows(h, *out);
}
