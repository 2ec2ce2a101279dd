#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <iostream>
#include <thread>

#include "DbBackendTest.h"
#include "Exceptions.h"
#include "TDBSession.h"
#include "TDataSet.h"
#include "TestRelay.h"
#include "TestServer.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The link between the library and the server made to fail: the pool
// reaches the test server over TCP on the loopback through a relay that can
// forward, swallow (packets lost) or refuse. Small bounds: a 1 s command
// time-out and a 2 s connect time-out, so a statement that gets no answer
// is given up after 3 s.
class ServerLinkTest : public ::testing::Test {
 protected:
  static constexpr int kCommandSeconds = 1;
  static constexpr int kConnectSeconds = 2;

  void SetUp() override {
    TDBSession::ForgetConnectFailures();
    if (TDBConnPool* old = TDBConnPool::AccessInstance(0)) old->ReleaseInstance();
    pool = TDBConnPool::AccessInstance(1);
    db.Configure(*pool, TestBackend::Postgres);
    const TestServer& server = TestServer::Instance();
    relay = std::make_unique<TestRelay>(server.SocketFolder() + "/.s.PGSQL." +
                                        std::to_string(server.Port()));
    Through(relay->Port());
    pool->SetTimeoutSeconds(kCommandSeconds);
    pool->SetConnectTimeoutSeconds(kConnectSeconds);
  }
  void TearDown() override {
    op = TComPtr<IDBOperator>();
    if (TDBConnPool::AccessInstance(0)) TDBConnPool::AccessInstance(0)->ReleaseInstance();
    relay.reset();
    TDBSession::ForgetConnectFailures();
  }
  void Through(int port) { pool->SetSchema("127.0.0.1," + std::to_string(port)); }
  void Init(int minSize, int maxSize) {
    pool->InitWithSettings(pool->GetDBName(), pool->GetDBUser(), "", pool->GetSchema(), minSize,
                           maxSize);
  }
  void Open() {
    Init(1, 2);
    op = pool->CreateDBOperator();
    op->BindToThread(CurrentThreadId());
  }
  int Select(int value) {
    return op->OpenQuery("select " + std::to_string(value) + " as v")->FieldByName("v").AsInteger();
  }
  static std::string ErrorOf(const std::function<void()>& action) {
    try {
      action();
    } catch (const EDBException& e) {
      return e.Message();
    }
    return "(no error)";
  }

  TestDatabase db{TestBackend::Postgres};
  TDBConnPool* pool = nullptr;
  TComPtr<IDBOperator> op;
  std::unique_ptr<TestRelay> relay;
};

}  // namespace

// Packets swallowed while a statement waits for its answer: the server's
// time-out cannot fire (the server never saw the statement), the client-side
// bound ends the wait in the lost-connection path, and once the link
// forwards again the next call connects anew and works.
TEST_F(ServerLinkTest, ASwallowedLinkMidStatementEndsAsALostConnectionWithinTheBound) {
  Open();
  EXPECT_EQ(Select(1), 1);
  relay->SetMode(TestRelay::Mode::Swallow);
  const auto start = Clock::now();
  const std::string message = ErrorOf([&] { Select(2); });
  const double seconds = SecondsSince(start);
  std::cout << "[measured] swallowed statement -> lost connection after " << seconds << " s\n";
  EXPECT_TRUE(Contains(message, "与数据库的连接已断开")) << message;
  EXPECT_GE(seconds, kCommandSeconds + kConnectSeconds - 0.5);
  EXPECT_LT(seconds, kCommandSeconds + kConnectSeconds + 2.0);
  relay->SetMode(TestRelay::Mode::Forward);
  EXPECT_EQ(Select(3), 3);
}

// A transaction whose link is swallowed before the commit: the commit ends
// within the bound too, and nothing of the transaction is stored.
TEST_F(ServerLinkTest, ASwallowedCommitEndsWithinTheBound) {
  Open();
  op->BeginTrans();
  op->ExecSQL("insert into TJSampleType (ID, SampleTypeName) values (1, 'x')");
  relay->SetMode(TestRelay::Mode::Swallow);
  const auto start = Clock::now();
  const std::string message = ErrorOf([&] { op->CommitTrans(); });
  const double seconds = SecondsSince(start);
  std::cout << "[measured] swallowed commit -> lost connection after " << seconds << " s\n";
  EXPECT_TRUE(Contains(message, "与数据库的连接已断开")) << message;
  EXPECT_LT(seconds, kCommandSeconds + kConnectSeconds + 2.0);
  EXPECT_FALSE(op->GetInTransaction());
  relay->SetMode(TestRelay::Mode::Forward);
  EXPECT_EQ(db.QueryInt("select count(*) from TJSampleType"), 0);
  EXPECT_EQ(Select(4), 4);
}

// A server that takes the connection but never answers: the connect gives
// up within the connect time-out.
TEST_F(ServerLinkTest, AConnectToAListenerThatNeverAcceptsFailsWithinTheConnectTimeout) {
  TestSilentListener silent;
  Through(silent.Port());
  const auto start = Clock::now();
  const std::string message = ErrorOf([&] { Init(1, 2); });
  const double seconds = SecondsSince(start);
  std::cout << "[measured] connect to a silent listener failed after " << seconds << " s\n";
  EXPECT_NE(message, "(no error)");
  EXPECT_LT(seconds, kConnectSeconds + 2.5);
  EXPECT_EQ(pool->GetConnectionCount(), 0);
}

// Five windows opened while the server cannot be reached pay one connect
// time-out, not five: the attempts after the first fail at once, with the
// first attempt's reason, until the back-off has passed.
TEST_F(ServerLinkTest, FiveOpensAgainstAnUnreachableServerCostOneTimeout) {
  TestSilentListener silent;
  Through(silent.Port());
  const auto start = Clock::now();
  std::vector<std::string> messages;
  for (int window = 0; window < 5; ++window) messages.push_back(ErrorOf([&] { Init(1, 2); }));
  const double seconds = SecondsSince(start);
  std::cout << "[measured] five opens against an unreachable server took " << seconds << " s\n";
  EXPECT_LT(seconds, kConnectSeconds + 3.0);
  for (int window = 1; window < 5; ++window) {
    EXPECT_TRUE(Contains(messages[window], "秒内不再重试")) << messages[window];
    EXPECT_TRUE(Contains(messages[window], messages[0])) << messages[window];
  }
}

// The back-off ends: once it has passed (here forgotten), the next attempt
// reaches a server that is back.
TEST_F(ServerLinkTest, AfterTheBackOffTheNextAttemptConnects) {
  relay->SetMode(TestRelay::Mode::Refuse);
  EXPECT_NE(ErrorOf([&] { Init(1, 2); }), "(no error)");
  relay->SetMode(TestRelay::Mode::Forward);
  EXPECT_TRUE(Contains(ErrorOf([&] { Init(1, 2); }), "秒内不再重试"));
  TDBSession::ForgetConnectFailures();
  Open();
  EXPECT_EQ(Select(5), 5);
}

// A pool whose start fails half-way closes the connections it opened: they
// would hold server connection slots nobody can use.
TEST_F(ServerLinkTest, APoolThatFailsToStartClosesWhatItOpened) {
  relay->SetConnectionLimit(2);
  EXPECT_NE(ErrorOf([&] { Init(3, 3); }), "(no error)");
  EXPECT_EQ(pool->GetConnectionCount(), 0);
  const auto start = Clock::now();
  while (relay->Open() > 0 && SecondsSince(start) < 3)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(relay->Forwarded(), 2);
  EXPECT_EQ(relay->Open(), 0);
}
