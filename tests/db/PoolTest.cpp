#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>
#include <vector>

#include "DbBackendTest.h"
#include "Exceptions.h"
#include "IDBConnection.h"
#include "TConnectionString.h"
#include "TDBConnPool.h"
#include "TDBConnection.h"
#include "TDataSet.h"
#include "ThreadId.h"

namespace {

// A pool on a fresh database with the sqlite3 backend, not yet initialised.
class PoolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (TDBConnPool* old = TDBConnPool::AccessInstance(0)) old->ReleaseInstance();
    pool = TDBConnPool::AccessInstance(1);
    db.Configure(*pool, TestBackend::Sqlite3);
  }
  void TearDown() override {
    if (TDBConnPool::AccessInstance(0)) TDBConnPool::AccessInstance(0)->ReleaseInstance();
  }
  void Init(int minSize, int maxSize) {
    pool->InitWithSettings(pool->GetDBName(), "", "", pool->GetSchema(), minSize, maxSize);
  }
  // The connection lent to a new thread, or the message it failed with.
  IDBConnection* FromOtherThread(std::string* error = nullptr) {
    IDBConnection* got = nullptr;
    std::thread t([&] {
      try {
        got = pool->GetConnection(CurrentThreadId());
      } catch (const EDBException& e) {
        if (error) *error = e.Message();
      }
    });
    t.join();
    return got;
  }

  TestDatabase db;
  TDBConnPool* pool = nullptr;
};

}  // namespace

TEST_F(PoolTest, SingletonAccessRules) {
  EXPECT_EQ(TDBConnPool::AccessInstance(0), pool);
  EXPECT_EQ(pool->GetDBConnPool(), pool);
  try {
    TDBConnPool::AccessInstance(3);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Illegal request 3 in AccessInstance");
  }
  try {
    TDBConnPool direct;
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Access class TDBConnPool through GetDBConnPool only");
  }
  EXPECT_EQ(TDBConnPool::AccessInstance(2), nullptr);
  EXPECT_EQ(TDBConnPool::AccessInstance(0), nullptr);
  TDBConnPool* fresh = TDBConnPool::AccessInstance(1);
  EXPECT_NE(fresh, nullptr);
  EXPECT_EQ(fresh->GetMaxDBPoolSize(), 0);
  EXPECT_EQ(fresh->GetDBName(), "");
  fresh->ReleaseInstance();
  delete pool;  // the forgotten one
  pool = nullptr;
}

TEST_F(PoolTest, LendsPerThreadAndOpensOnDemand) {
  Init(2, 5);
  EXPECT_EQ(pool->GetConnectionCount(), 2);
  IDBConnection* mine = pool->GetConnection(CurrentThreadId());
  EXPECT_EQ(pool->GetConnection(CurrentThreadId()), mine);
  EXPECT_EQ(mine->GetThreadID(), CurrentThreadId());
  IDBConnection* second = FromOtherThread();
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, mine);
  EXPECT_EQ(pool->GetConnectionCount(), 2);
  IDBConnection* third = FromOtherThread();
  EXPECT_NE(third, second);
  EXPECT_EQ(pool->GetConnectionCount(), 3);
}

TEST_F(PoolTest, NoConnectionBeyondTheMaximum) {
  Init(0, 1);
  EXPECT_EQ(pool->GetConnectionCount(), 0);
  EXPECT_NE(FromOtherThread(), nullptr);
  std::string error;
  EXPECT_EQ(FromOtherThread(&error), nullptr);
  EXPECT_EQ(error, "No Available DB Connection");

  pool->CloseConnections();
  Init(3, 3);
  EXPECT_EQ(pool->GetConnectionCount(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_NE(FromOtherThread(), nullptr);
  error.clear();
  EXPECT_EQ(FromOtherThread(&error), nullptr);
  EXPECT_EQ(error, "No Available DB Connection");
}

TEST_F(PoolTest, ReleasedConnectionIsLentBeforeOpeningANewOne) {
  Init(1, 5);
  IDBConnection* first = FromOtherThread();
  pool->ReleaseConnection(first);
  EXPECT_EQ(first->GetThreadID(), -1);
  EXPECT_EQ(FromOtherThread(), first);
  EXPECT_EQ(pool->GetConnectionCount(), 1);
}

TEST_F(PoolTest, ConcurrentThreadsEachGetTheirOwnConnection) {
  Init(0, 4);
  constexpr int kThreads = 8;
  std::atomic<int> refused{0};
  std::vector<IDBConnection*> got(kThreads, nullptr);
  std::vector<int> ids(kThreads, 0);
  std::atomic<bool> go{false};
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i)
    threads.emplace_back([&, i] {
      while (!go) std::this_thread::yield();
      ids[i] = CurrentThreadId();
      try {
        for (int n = 0; n < 50; ++n) {
          IDBConnection* c = pool->GetConnection(ids[i]);
          if (got[i] && got[i] != c) got[i] = nullptr;  // would be a fault: caught below
          got[i] = c;
        }
      } catch (const EDBException& e) {
        if (e.Message() == "No Available DB Connection") ++refused;
      }
    });
  go = true;
  for (auto& t : threads) t.join();
  std::set<IDBConnection*> distinct;
  for (int i = 0; i < kThreads; ++i)
    if (got[i]) {
      distinct.insert(got[i]);
      EXPECT_EQ(got[i]->GetThreadID(), ids[i]);
    }
  EXPECT_EQ(distinct.size(), 4u);
  EXPECT_EQ(refused.load(), kThreads - 4);
  EXPECT_EQ(pool->GetConnectionCount(), 4);
}

TEST_F(PoolTest, SettersAffectOnlyNewConnections) {
  Init(1, 5);
  IDBConnection* old = pool->GetConnection(CurrentThreadId());
  TestDatabase other;
  pool->SetSchema(other.Path());
  EXPECT_EQ(old->GetSchema(), db.Path());
  IDBConnection* fresh = FromOtherThread();
  EXPECT_EQ(fresh->GetSchema(), other.Path());
  pool->CloseConnections();
  EXPECT_EQ(pool->GetConnectionCount(), 0);
}

TEST_F(PoolTest, CloseConnectionsDisconnectsEveryOne) {
  Init(2, 5);
  TComPtr<IDBConnection> held = pool->GetConnection(CurrentThreadId());
  pool->CloseConnections();
  EXPECT_EQ(pool->GetConnectionCount(), 0);
  TComPtr<IDBStatement> st = held->CreateStatement();
  EXPECT_THROW(st->ExecSQL("select 1"), EDBException);
}

TEST(ConnectionString, ValuesAreQuotedWhereTheyNeedIt) {
  EXPECT_EQ(TConnectionString::OleDb("pw", "sa", "TJ", "srv"),
            "Provider=SQLOLEDB.1;Password=pw;Persist Security Info=True;User ID=sa;"
            "Initial Catalog=TJ;Data Source=srv");
  EXPECT_EQ(TConnectionString::OleDb("a;b}c", " sa", "T=J", "{srv"),
            "Provider=SQLOLEDB.1;Password={a;b}}c};Persist Security Info=True;User ID={ sa};"
            "Initial Catalog={T=J};Data Source={{srv}");
  EXPECT_EQ(
      TConnectionString::Odbc("FreeTDS", "host", "TJ", "sa", "x;PWD=y", "ClientCharset=UTF-8"),
      "DRIVER=FreeTDS;SERVER=host;DATABASE=TJ;UID=sa;PWD={x;PWD=y};ClientCharset=UTF-8");
  TDBConnection c;
  c.SetConnectionInfo("db", "u", "p;}", "s");
  EXPECT_EQ(c.ConnectionString(),
            "Provider=SQLOLEDB.1;Password={p;}}};Persist Security Info=True;User ID=u;"
            "Initial Catalog=db;Data Source=s");
}

// A password holding ';' and '}' can neither break the connection string nor
// add a keyword: the connection still reaches the configured database.
TEST(ConnectionString, PasswordWithSeparatorsCannotRedirectTheConnection) {
  TestDatabase db;
  TestDatabase other;
  other.Exec("insert into TJSampleType (ID, SampleTypeName) values (1, 'other')");
  TDBConnPool* pool = db.UseAsLibraryPoolThrough(TestBackend::Odbc, 0, 1);
  pool->SetPassword("x};DATABASE=" + other.Path() + ";{");
  TComPtr<IDBOperator> op = pool->CreateDBOperator();
  op->BindToThread(CurrentThreadId());
  EXPECT_EQ(op->GetPassword(), "x};DATABASE=" + other.Path() + ";{");
  auto* connection = static_cast<TDBConnection*>(static_cast<TDBOperator*>(op.get())->Connection());
  EXPECT_NE(connection->OdbcConnectionString().find("PWD={x}};DATABASE="), std::string::npos);
  EXPECT_EQ(op->OpenQuery("select count(*) as c from TJSampleType")->FieldByName("c").AsInteger(),
            0);
}

// Sizes given to InitWithSettings are checked as the configuration's are:
// nothing is opened for a refused one.
TEST_F(PoolTest, SizesOutOfRangeAreRefusedBeforeAnyConnectionOpens) {
  for (auto [minSize, maxSize] : {std::pair{-1, 5}, std::pair{5, 2}, std::pair{1, 65},
                                  std::pair{1000000, 1000000}, std::pair{0, 0}}) {
    try {
      Init(minSize, maxSize);
      ADD_FAILURE() << minSize << ".." << maxSize << " accepted";
    } catch (const EDBException& e) {
      EXPECT_EQ(e.Message().rfind("连接池的设置不能使用：", 0), 0u) << e.Message();
    }
    EXPECT_EQ(pool->GetConnectionCount(), 0);
  }
}
