#include <gtest/gtest.h>

#include "Exceptions.h"
#include "RecordingHost.h"
#include "TBaseDBConnPool.h"
#include "TLibraryApplication.h"
#include "TSingleComm.h"
#include "WindowRegistry.h"

namespace {

class NamedApplication : public TApplication {
 public:
  void ShowException(const std::exception&) override {}
};

// A pool lent by a host: the library calls only CreateDBOperator of it.
class LentPool : public TBaseDBConnPool {
 public:
  IDBOperator* CreateDBOperator() override { return nullptr; }
  IDBConnection* NewConnection() override { return nullptr; }
  IDBConnection* GetConnection(int32_t) override { return nullptr; }
  int32_t GetConnectionCount() override { return 0; }
  TBaseDBConnPool* GetDBConnPool() override { return this; }
  std::string GetDBName() override { return {}; }
  std::string GetDBUser() override { return {}; }
  int32_t GetMaxDBPoolSize() override { return 0; }
  int32_t GetMinDBPoolSize() override { return 0; }
  std::string GetPassword() override { return {}; }
  std::string GetSchema() override { return {}; }
  void LoadConfig(const pugi::xml_node*) override {}
  void Init() override {}
  void InitWithSettings(const std::string&, const std::string&, const std::string&,
                        const std::string&, int32_t, int32_t) override {}
  void ReleaseConnection(IDBConnection*) override {}
  void ReleaseInstance() override {}
  void SetDBName(const std::string&) override {}
  void SetDBUser(const std::string&) override {}
  void SetMaxDBPoolSize(int32_t) override {}
  void SetMinDBPoolSize(int32_t) override {}
  void SetPassword(const std::string&) override {}
  void SetSchema(const std::string&) override {}
  void CloseConnections() override {}
};

class InitDLLTest : public ::testing::Test {
 protected:
  void SetUp() override { WindowRegistry::Startup(); }
  void TearDown() override {
    WindowRegistry::Shutdown();
    // The shared context outlives the test's host: let go of it.
    TSingleComm::Instance().SetWinMain(nullptr);
    TSingleComm::Instance().ForgetConnPool();
  }
  RecordingHost host;
};

}  // namespace

TEST_F(InitDLLTest, ApplicationHandOverAcrossRepeatedCalls) {
  TApplication* own = CurrentApplication();
  NamedApplication first, second;
  WindowRegistry::InitDLL(&first, &host, nullptr);
  EXPECT_EQ(CurrentApplication(), &first);
  EXPECT_EQ(WindowRegistry::SavedApplication(), own);
  WindowRegistry::InitDLL(&second, &host, nullptr);
  EXPECT_EQ(CurrentApplication(), &first);  // the first host object stays in force
  WindowRegistry::InitDLL(nullptr, &host, nullptr);
  EXPECT_EQ(CurrentApplication(), own);  // a null hands the library's own back
  WindowRegistry::InitDLL(&second, &host, nullptr);
  EXPECT_EQ(CurrentApplication(), own);
  WindowRegistry::Shutdown();
  EXPECT_EQ(CurrentApplication(), own);
  WindowRegistry::Startup();
}

TEST_F(InitDLLTest, HostAndPoolGoToTheSharedContext) {
  NamedApplication app;
  auto* pool = new LentPool();
  WindowRegistry::InitDLL(&app, &host, pool);
  EXPECT_EQ(TSingleComm::Instance().WinMain(), &host);
  EXPECT_EQ(TSingleComm::Instance().GetConnPool(), pool);
  WindowRegistry::InitDLL(&app, &host, nullptr);
  EXPECT_EQ(TSingleComm::Instance().GetConnPool(), pool);  // a null pool keeps the one held
  EXPECT_GE(host.RefCount, 2);  // held by the module and by the shared context
  WindowRegistry::InitDLL(nullptr, &host, nullptr);
  TSingleComm::Instance().ForgetConnPool();
  delete pool;
}

TEST_F(InitDLLTest, UnknownNamesAreNotErrors) {
  NamedApplication app;
  WindowRegistry::InitDLL(&app, &host, nullptr);
  EXPECT_EQ(WindowRegistry::CreateMDIChild("TfrmNothing", &host), nullptr);
  EXPECT_EQ(WindowRegistry::GetMDIChildClass("  "), nullptr);
  EXPECT_TRUE(host.Events.empty());
  WindowRegistry::InitDLL(nullptr, &host, nullptr);
}

TEST(SharedContext, AccessInstanceRequests) {
  TSingleComm::AccessInstance(2);
  EXPECT_EQ(TSingleComm::AccessInstance(0), nullptr);
  TSingleComm* made = TSingleComm::AccessInstance(1);
  EXPECT_NE(made, nullptr);
  EXPECT_EQ(made->ConnPool(), nullptr);
  EXPECT_EQ(&TSingleComm::Instance(), made);
  try {
    TSingleComm::AccessInstance(3);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Illegal request 3 in AccessInstance");
  }
  delete made;  // destroying the registered instance forgets it
  EXPECT_EQ(TSingleComm::AccessInstance(0), nullptr);
}
