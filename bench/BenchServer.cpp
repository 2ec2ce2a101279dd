#include "BenchServer.h"

#include <sqlext.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "BenchSupport.h"
#include "TestDatabase.h"
#include "TestServer.h"

namespace BenchServer {

namespace {

std::string Diagnostic(SQLSMALLINT type, SQLHANDLE handle) {
  SQLCHAR state[8] = {0};
  SQLCHAR message[1024] = {0};
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  SQLGetDiagRec(type, handle, 1, state, &native, message, sizeof message, &length);
  return std::string(reinterpret_cast<const char*>(state)) + " " +
         reinterpret_cast<const char*>(message);
}

SQLCHAR* Text(const std::string& text) {
  return reinterpret_cast<SQLCHAR*>(const_cast<char*>(text.c_str()));
}

// The member texts of the combination items and check sets, drawn as the
// embedded benchmark draws them (same generator, same order), as rows of a
// VALUES list.
std::string MemberRows() {
  BenchSupport::MemberTexts members(kMembers);
  std::string rows;
  for (int i = kItems + 1; i <= kRows; ++i) {
    const bool combo = i <= kItems + kCombos;
    const std::string text = combo ? members.Next(1, kItems) : members.Next(kItems + 1, kCombos);
    rows += (rows.empty() ? "(" : ",(") + std::to_string(i) + ",'" + text + "')";
  }
  return rows;
}

}  // namespace

bool ServerOrSkip(const char* name) {
  try {
    TestServer::Instance();
    return true;
  } catch (const std::exception& e) {
    std::printf("%s: skipped (%s)\n", name, e.what());
    return false;
  }
}

void FillCatalogue(TestDatabase& db) {
  db.Exec(U8(u8"insert into TJCategories (CateID, CateCode, CateName, DispOrder, IsInUse) "
             u8"select i, lpad(i::text, 4, '0'), '检验类别' || i, i, 1 "
             u8"from generate_series(1, ") +
          std::to_string(kCategories) + ") i");
  // Columns in table order; the type, name, category and member text
  // follow the row's kind (items, then combination items, then check sets).
  const std::string row = U8(
      u8"i, lpad(i::text, 6, '0'), n || i, 'ZDY' || i, 'XCG' || i, 'GJT' || i, 'A' || i, i % 50, "
      u8"i % 1000, '偏低', '偏高', 1, 1, 0, 'mmol/L', '3.9', '6.1', '20', '0', '未见明显异常', "
      u8"i % 2, 3, (array['男', '女', '不限'])[i % 3 + 1], 12.5 + (i % 7), n || i, c, '检验科', "
      u8"'化验费', t, m, 1, 0, '0.00', '', i % 5");
  db.Exec("insert into TJItem select " + row +
          U8(u8" from (select i, '血常规检查' as n, 1 + i % ") + std::to_string(kCategories) +
          " as c, 0 as t, '' as m from generate_series(1, " + std::to_string(kItems) + ") i) r");
  db.Exec("insert into TJItem select " + row + U8(u8" from (select i, case when i <= ") +
          std::to_string(kItems + kCombos) + U8(u8" then '组合项目' else '体检套餐' end as n, ") +
          "case when i <= " + std::to_string(kItems + kCombos) + " then 1 + i % " +
          std::to_string(kCategories) +
          " else 0 end as c, case when i <= " + std::to_string(kItems + kCombos) +
          " then 1 else 2 end as t, m from (values " + MemberRows() + ") v(i, m)) r");
  db.Exec("analyze");
}

void LogStatements(TestDatabase& db) {
  if (!std::getenv("TESMIRA_BENCH_STATEMENT_LOG")) return;
  db.Exec("alter database " + db.Path() + " set log_statement = 'all'");
}

void CopyStatementLog() {
  const char* target = std::getenv("TESMIRA_BENCH_STATEMENT_LOG");
  if (!target) return;
  std::error_code ignored;
  std::filesystem::copy_file(TestServer::Instance().SocketFolder() + "/server.log", target,
                             std::filesystem::copy_options::overwrite_existing, ignored);
}

RawOdbc::RawOdbc(const std::string& database, int relayPort) {
  SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_);
  SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_);
  const TestServer& server = TestServer::Instance();
  const std::string host = relayPort ? "127.0.0.1" : server.SocketFolder();
  const int port = relayPort ? relayPort : server.Port();
  const std::string text = "DRIVER={PostgreSQL Unicode};SERVER=" + host +
                           ";PORT=" + std::to_string(port) + ";DATABASE=" + database +
                           ";UID=postgres;CommLog=0;Debug=0";
  if (!SQL_SUCCEEDED(SQLDriverConnect(dbc_, nullptr, Text(text), SQL_NTS, nullptr, 0, nullptr,
                                      SQL_DRIVER_NOPROMPT)))
    throw std::runtime_error("raw ODBC connect failed: " + Diagnostic(SQL_HANDLE_DBC, dbc_));
}

RawOdbc::~RawOdbc() {
  SQLDisconnect(dbc_);
  SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
  SQLFreeHandle(SQL_HANDLE_ENV, env_);
}

int RawOdbc::Read(const std::string& utf8Sql) {
  SQLHSTMT st = SQL_NULL_HSTMT;
  SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &st);
  if (!SQL_SUCCEEDED(SQLExecDirect(st, Text(utf8Sql), SQL_NTS)))
    throw std::runtime_error("raw ODBC read failed: " + Diagnostic(SQL_HANDLE_STMT, st));
  SQLSMALLINT columns = 0;
  SQLNumResultCols(st, &columns);
  int rows = 0;
  char buf[4096];
  while (SQL_SUCCEEDED(SQLFetch(st))) {
    for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(columns); ++c) {
      SQLLEN ind = 0;
      SQLGetData(st, c, SQL_C_CHAR, buf, sizeof buf, &ind);
    }
    ++rows;
  }
  SQLFreeHandle(SQL_HANDLE_STMT, st);
  return rows;
}

void RawOdbc::Exec(const std::string& utf8Sql) {
  SQLHSTMT st = SQL_NULL_HSTMT;
  SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &st);
  const SQLRETURN rc = SQLExecDirect(st, Text(utf8Sql), SQL_NTS);
  const std::string failure =
      SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA ? std::string() : Diagnostic(SQL_HANDLE_STMT, st);
  SQLFreeHandle(SQL_HANDLE_STMT, st);
  if (!failure.empty()) throw std::runtime_error("raw ODBC statement failed: " + failure);
}

}  // namespace BenchServer
