#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "DbBackendTest.h"
#include "Exceptions.h"
#include "TDataSet.h"
#include "TStatementCounter.h"
#include "TestPgClient.h"
#include "TestServer.h"

namespace {

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EDBException& e) {
    return e.Message() + (e.ExtraText.empty() ? "" : " / " + e.ExtraText);
  }
  return "(no error)";
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// What a server does that a database file does not: batches answered one
// result at a time, connections that die under the pool, locks held by other
// sessions. On a database of the test server.
class ServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (TDBConnPool* old = TDBConnPool::AccessInstance(0)) old->ReleaseInstance();
    pool = TDBConnPool::AccessInstance(1);
    db.Configure(*pool, TestBackend::Postgres);
  }
  void TearDown() override {
    op = TComPtr<IDBOperator>();
    if (TDBConnPool::AccessInstance(0)) TDBConnPool::AccessInstance(0)->ReleaseInstance();
  }
  void Open() {
    pool->InitWithSettings(pool->GetDBName(), pool->GetDBUser(), "", pool->GetSchema(), 1, 2);
    op = pool->CreateDBOperator();
    op->BindToThread(CurrentThreadId());
  }
  void Insert(int id) {
    op->ExecSQL("insert into TJSampleType (ID, SampleTypeName) values (" + std::to_string(id) +
                ", 'x')");
  }
  long long Rows() { return db.QueryInt("select count(*) from TJSampleType"); }

  TestDatabase db{TestBackend::Postgres};
  TDBConnPool* pool = nullptr;
  TComPtr<IDBOperator> op;
};

}  // namespace

// A server answers a batch with one result per statement: the row count of
// an insert comes before the rows of the query after it.
TEST_F(ServerTest, ABatchIsReadPastItsRowCounts) {
  Open();
  TDataSet* set = op->OpenQuery(
      "insert into TJSampleType (ID, SampleTypeName) values (1, 'a'), (2, 'b');\n"
      "update TJSampleType set SampleTypeName = 'c' where ID = 2;\n"
      "select SampleTypeName from TJSampleType order by ID");
  ASSERT_EQ(set->RecordCount(), 2);
  EXPECT_EQ(set->FieldByName("SampleTypeName").AsString(), "a");
  int32_t id = 0;
  op->ExecSQLGetID(
      "Insert Into TJSampleGroup (SampleTypeID, GroupName)Values(1, 'tube')SELECT @@IDENTITY AS "
      "IdentityID",
      id);
  EXPECT_EQ(id, 1);
  // Every statement of a command batch runs, and a failing one is reported.
  EXPECT_TRUE(Contains(ErrorOf([&] { op->ExecSQL("delete from TJSampleType; select 1/0"); }),
                       "division by zero"));
  op->ExecSQL("delete from TJSampleType where ID = 1; delete from TJSampleType where ID = 2");
  EXPECT_EQ(Rows(), 0);
}

// After a server restart (immediate mode, as a crash ends it) the pool's
// connection is dead: the next statement fails clearly, the server has
// rolled back the open transaction, and the statement after works on a new
// connection.
TEST_F(ServerTest, ARestartBetweenTwoStatementsLosesOnlyTheOpenTransaction) {
  Open();
  Insert(1);
  op->BeginTrans();
  Insert(2);
  TestServer::Instance().RestartImmediately();
  const std::string message = ErrorOf([&] { Insert(3); });
  EXPECT_TRUE(Contains(message, "与数据库的连接已断开")) << message;
  EXPECT_FALSE(op->GetInTransaction());
  // A commit after the failure would claim a transaction that no longer
  // exists; the rollback the caller then asks for has nothing left to do.
  EXPECT_TRUE(Contains(ErrorOf([&] { op->CommitTrans(); }), "服务器已撤销这个事务")) << message;
  op->RollbackTrans();
  EXPECT_EQ(Rows(), 1);
  Insert(4);
  op->BeginTrans();
  Insert(5);
  op->CommitTrans();
  EXPECT_EQ(db.QueryText("select string_agg(ID::text, ',' order by ID) from TJSampleType"),
            "1,4,5");
  EXPECT_EQ(pool->GetConnectionCount(), 1);  // the same pooled connection, opened anew
}

// A batch in a transaction whose connection dies half-way (the server is
// stopped while its second statement runs) leaves no row of it behind.
TEST_F(ServerTest, ABatchInterruptedHalfWayLeavesNoRow) {
  Open();
  op->AddSQL("insert into TJSampleType (ID, SampleTypeName) values (1, 'a')");
  op->AddSQL("select pg_sleep(60) as waited");
  op->AddSQL("insert into TJSampleType (ID, SampleTypeName) values (2, 'b')");
  std::atomic<bool> done{false}, restarted{false};
  std::thread stopper([&] {
    // The restart comes once the first insert is done and the sleep runs.
    while (!done && db.QueryInt("select count(*) from pg_stat_activity where state = 'active' "
                                "and query like '%pg_sleep(60)%' and pid <> pg_backend_pid()") == 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (done) return;
    TestServer::Instance().RestartImmediately();
    restarted = true;
  });
  const std::string message = ErrorOf([&] { op->ExecSQLs(true); });
  done = true;
  stopper.join();
  ASSERT_TRUE(restarted) << message;
  EXPECT_TRUE(Contains(message, "ExecSQLs 失败 / 与数据库的连接已断开")) << message;
  EXPECT_FALSE(op->GetInTransaction());
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(ErrorOf([&] { op->ExecSQLs(true); }), "SQL 语句空");  // the queue was emptied
  Insert(3);
  EXPECT_EQ(Rows(), 1);
}

// A row another session holds locked past the command time-out: a clear
// error, nothing changed, and the same statement works once the lock goes.
TEST_F(ServerTest, ARowLockedByAnotherSessionPastTheTimeout) {
  db.Exec("insert into TJSampleType (ID, SampleTypeName) values (1, 'a')");
  pool->SetTimeoutSeconds(1);
  Open();
  TestPgClient other(TestServer::Instance().SocketFolder(), TestServer::Instance().Port(),
                     db.Path());
  other.Exec("begin; update TJSampleType set SampleTypeName = 'held' where ID = 1");
  const std::string message =
      ErrorOf([&] { op->ExecSQL("update TJSampleType set SampleTypeName = 'b' where ID = 1"); });
  EXPECT_TRUE(Contains(message, "cancel")) << message;
  other.Exec("rollback");
  EXPECT_EQ(db.QueryText("select SampleTypeName from TJSampleType"), "a");
  op->ExecSQL("update TJSampleType set SampleTypeName = 'b' where ID = 1");
  EXPECT_EQ(db.QueryText("select SampleTypeName from TJSampleType"), "b");
}

// The command time-out is the connection's statement_timeout, set when it
// connects: no statement is wrapped in SET statement_timeout any more (the
// server's statement log is the witness), and a statement that runs too
// long is still cut off, as a time-out, with the connection still usable.
TEST_F(ServerTest, TheTimeOutIsSetOncePerConnectionAndStillCutsOff) {
  db.Exec("alter database " + db.Path() + " set log_statement = 'all'");
  pool->SetTimeoutSeconds(1);
  Open();
  EXPECT_EQ(op->OpenQuery("show statement_timeout")->FieldByName("statement_timeout").AsString(),
            "1s");
  const auto before = TStatementCounter::Sent();
  TDBErrorKind kind = TDBErrorKind::Other;
  try {
    op->OpenQuery("select pg_sleep(5)");
  } catch (const EDBException& e) {
    kind = e.Kind;
  }
  EXPECT_EQ(kind, TDBErrorKind::TimedOut);
  EXPECT_EQ(TStatementCounter::Sent() - before, 2u);  // the statement and the link check
  EXPECT_EQ(op->OpenQuery("select 7 as n")->FieldByName("n").AsInteger(), 7);
  std::ifstream log(TestServer::Instance().SocketFolder() + "/server.log");
  std::stringstream text;
  text << log.rdbuf();
  EXPECT_TRUE(Contains(text.str(), "select pg_sleep(5)"));
  EXPECT_FALSE(Contains(text.str(), "SET statement_timeout"));
}

TEST_F(ServerTest, AMissingDatabaseIsNamed) {
  pool->SetDBName("no_such_database");
  const std::string message = ErrorOf([&] { Open(); });
  EXPECT_TRUE(Contains(message, "no_such_database")) << message;
  EXPECT_EQ(message.rfind("连接数据库服务器失败：", 0), 0u) << message;
  EXPECT_EQ(pool->GetConnectionCount(), 0);
}

// The PostgreSQL driver writes no log file for this process: not while its
// connections are open (the connection string turns the log off), and not
// once the last one has closed (the driver then falls back to its installed
// settings, which the machine set-up and the package turn off).
TEST_F(ServerTest, TheDriverLeavesNoLogFile) {
  Open();
  op->ExecSQL("delete from TJSampleType");
  op = TComPtr<IDBOperator>();
  pool->CloseConnections();
  const passwd* user = getpwuid(getuid());
  std::string suffix = "_";  // appended: "_" + a temporary makes GCC's -O3 warn
  suffix += user ? user->pw_name : "";
  suffix += std::to_string(getpid()) + ".log";
  for (const auto& entry : std::filesystem::directory_iterator("/tmp")) {
    const std::string name = entry.path().filename().string();
    EXPECT_FALSE(name.rfind("psqlodbc_", 0) == 0 && name.size() > suffix.size() &&
                 name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
        << entry.path();
  }
}
