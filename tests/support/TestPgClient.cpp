#include "TestPgClient.h"

#include <libpq-fe.h>

#include <stdexcept>

TestPgClient::TestPgClient(const std::string& socketFolder, int port, const std::string& database)
    : conninfo_("host='" + socketFolder + "' port=" + std::to_string(port) +
                " user=postgres client_encoding=UTF8 dbname='" + database + "'") {
  Connect();
}

TestPgClient::~TestPgClient() {
  if (conn_) PQfinish(conn_);
}

void TestPgClient::Connect() {
  if (conn_) PQfinish(conn_);
  conn_ = PQconnectdb(conninfo_.c_str());
  if (PQstatus(conn_) != CONNECTION_OK)
    throw std::runtime_error("cannot connect to the test server (" + conninfo_ +
                             "): " + PQerrorMessage(conn_));
  // Notices (such as "does not exist, skipping") are not wanted on the
  // test output.
  PQsetNoticeProcessor(
      conn_, [](void*, const char*) {}, nullptr);
}

template <class Read>
void TestPgClient::Run(const std::string& utf8Sql, Read read) {
  for (int attempt = 0;; ++attempt) {
    PGresult* result = PQexec(conn_, utf8Sql.c_str());
    const ExecStatusType status = PQresultStatus(result);
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
      read(result);
      PQclear(result);
      return;
    }
    std::string message = result ? PQresultErrorMessage(result) : PQerrorMessage(conn_);
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    // A server restarted under the test leaves this connection dead: no
    // answer from a server (no SQLSTATE), a link failure or a shutdown.
    const bool lost =
        !state || std::string(state).rfind("08", 0) == 0 || std::string(state).rfind("57P", 0) == 0;
    PQclear(result);
    if (attempt == 0 && lost) {
      Connect();
      continue;
    }
    throw std::runtime_error(message + " in: " + utf8Sql);
  }
}

void TestPgClient::Exec(const std::string& utf8Sql) {
  Run(utf8Sql, [](PGresult*) {});
}

std::optional<std::string> TestPgClient::First(const std::string& utf8Sql) {
  std::optional<std::string> value;
  Run(utf8Sql, [&](PGresult* r) {
    if (PQntuples(r) > 0 && PQnfields(r) > 0 && !PQgetisnull(r, 0, 0))
      value = std::string(PQgetvalue(r, 0, 0), static_cast<size_t>(PQgetlength(r, 0, 0)));
  });
  return value;
}
