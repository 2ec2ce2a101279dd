#include "TestDatabase.h"

#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "TDBConnPool.h"
#include "TSingleComm.h"
#include "TestPgClient.h"
#include "TestServer.h"

namespace {

struct Connection {
  explicit Connection(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
      std::string message = db ? sqlite3_errmsg(db) : "out of memory";
      sqlite3_close(db);
      throw std::runtime_error("cannot open " + path + ": " + message);
    }
    sqlite3_busy_timeout(db, 10000);
  }
  ~Connection() { sqlite3_close(db); }
  sqlite3* db = nullptr;
};

std::string ReadSchema() {
  std::ifstream in(TESMIRA_SQLITE_SCHEMA);
  if (!in) throw std::runtime_error("cannot read " + std::string(TESMIRA_SQLITE_SCHEMA));
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs a query and hands the first column of the first row to `read`.
template <class Read>
void FirstValue(const std::string& path, const std::string& sql, Read read) {
  Connection c(path);
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(c.db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
    throw std::runtime_error(std::string(sqlite3_errmsg(c.db)) + " in: " + sql);
  int rc = sqlite3_step(stmt);
  if (rc == SQLITE_ROW && sqlite3_column_type(stmt, 0) != SQLITE_NULL) read(stmt);
  sqlite3_finalize(stmt);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE)
    throw std::runtime_error(std::string(sqlite3_errmsg(c.db)) + " in: " + sql);
}

}  // namespace

const char* TestBackendName(TestBackend backend) {
  switch (backend) {
    case TestBackend::Sqlite3:
      return "sqlite3";
    case TestBackend::Odbc:
      return "odbc";
    case TestBackend::Postgres:
      return "postgresql";
  }
  return "?";
}

TestDatabase::TestDatabase(TestBackend backend) {
  std::string pattern = (std::filesystem::temp_directory_path() / "tesmira-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  folder_ = pattern;
  if (backend == TestBackend::Postgres) {
    TestServer& server = TestServer::Instance();
    path_ = server.NewDatabase();
    server_ = std::make_unique<TestPgClient>(server.SocketFolder(), server.Port(), path_);
    return;
  }
  path_ = folder_ + "/test.db";
  sqlite3* db = nullptr;
  if (sqlite3_open(path_.c_str(), &db) != SQLITE_OK) throw std::runtime_error("cannot create db");
  sqlite3_close(db);
  Exec(ReadSchema());
}

TestDatabase::~TestDatabase() {
  TDBConnPool* pool = TDBConnPool::AccessInstance(0);
  if (pool && (pool->GetSchema() == path_ || pool->GetDBName() == path_)) {
    TSingleComm* context = TSingleComm::AccessInstance(0);
    if (context && context->ConnPool() == pool) context->ForgetConnPool();
    pool->ReleaseInstance();
  }
  if (server_) {
    server_.reset();
    try {
      TestServer::Instance().DropDatabase(path_);
    } catch (const std::exception&) {
      // the whole cluster goes at the end of the run
    }
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void TestDatabase::Exec(const std::string& utf8Sql) {
  if (server_) return server_->Exec(utf8Sql);
  Connection c(path_);
  char* error = nullptr;
  if (sqlite3_exec(c.db, utf8Sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::string message = error ? error : "unknown error";
    sqlite3_free(error);
    throw std::runtime_error(message + " in: " + utf8Sql);
  }
}

std::string TestDatabase::QueryText(const std::string& utf8Sql) {
  if (server_) return server_->First(utf8Sql).value_or("");
  std::string out;
  FirstValue(path_, utf8Sql, [&](sqlite3_stmt* s) {
    out.assign(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)),
               static_cast<size_t>(sqlite3_column_bytes(s, 0)));
  });
  return out;
}

long long TestDatabase::QueryInt(const std::string& utf8Sql) {
  if (server_) return std::stoll(server_->First(utf8Sql).value_or("0"));
  long long out = 0;
  FirstValue(path_, utf8Sql, [&](sqlite3_stmt* s) { out = sqlite3_column_int64(s, 0); });
  return out;
}

void TestDatabase::RefuseWrites(const std::string& table, const std::string& event) {
  if (!server_) {
    Exec("CREATE TRIGGER refuse_" + event + " BEFORE " + event + " ON " + table +
         " BEGIN SELECT RAISE(ABORT, 'refused by the database'); END");
    return;
  }
  Exec(
      "CREATE OR REPLACE FUNCTION tesmira_refuse() RETURNS trigger LANGUAGE plpgsql AS "
      "$$ BEGIN RAISE EXCEPTION 'refused by the database'; END $$");
  Exec("CREATE TRIGGER refuse_" + event + " BEFORE " + event + " ON " + table +
       " FOR EACH ROW EXECUTE FUNCTION tesmira_refuse()");
}

void TestDatabase::AllowWrites(const std::string& table, const std::string& event) {
  Exec("DROP TRIGGER refuse_" + event + (server_ ? " ON " + table : std::string()));
}

void TestDatabase::Configure(TDBConnPool& pool, TestBackend backend) const {
  if (OnServer() != (backend == TestBackend::Postgres))
    throw std::logic_error(std::string("this database cannot be reached through ") +
                           TestBackendName(backend));
  pool.SetDBUser("");
  pool.SetPassword("");
  if (backend == TestBackend::Sqlite3) {
    pool.SetProvider("SQLite");
    pool.SetDriver("");
    pool.SetDBName("");
    pool.SetSchema(path_);
  } else if (backend == TestBackend::Odbc) {
    pool.SetProvider("ODBC");
    pool.SetDriver("SQLite3");
    pool.SetDBName(path_);
    pool.SetSchema("");
  } else {
    // The server's socket folder and port, written as SQL Server writes a
    // port after its server name.
    const TestServer& server = TestServer::Instance();
    pool.SetProvider("ODBC");
    pool.SetDriver("PostgreSQL Unicode");
    pool.SetDBName(path_);
    pool.SetSchema(server.SocketFolder() + "," + std::to_string(server.Port()));
    pool.SetDBUser("postgres");
  }
}

void TestDatabase::UseAsLibraryPool(int minSize, int maxSize) {
  UseAsLibraryPoolThrough(OnServer() ? TestBackend::Postgres : TestBackend::Sqlite3, minSize,
                          maxSize);
}

TDBConnPool* TestDatabase::UseAsLibraryPoolThrough(TestBackend backend, int minSize, int maxSize) {
  TSingleComm& context = TSingleComm::Instance();
  context.ForgetConnPool();
  if (TDBConnPool* old = TDBConnPool::AccessInstance(0)) old->ReleaseInstance();
  TDBConnPool* pool = TDBConnPool::AccessInstance(1);
  Configure(*pool, backend);
  pool->InitWithSettings(pool->GetDBName(), pool->GetDBUser(), pool->GetPassword(),
                         pool->GetSchema(), minSize, maxSize);
  context.SetConnPool(pool);
  return pool;
}
