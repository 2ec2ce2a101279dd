#pragma once

#include <gtest/gtest.h>

#include <string>

#include "DomainObjects.h"
#include "Exceptions.h"
#include "TBaseDBConnPool.h"
#include "TCategoryManager.h"
#include "TCommon.h"
#include "TItemManager.h"
#include "TSampleType.h"
#include "TSingleComm.h"
#include "TestBackends.h"
#include "TestDatabase.h"

/// UTF-8 bytes of a u8 literal, for arranging and checking rows through raw
/// sqlite3 (the library's own literals are GBK).
inline std::string U8(const char8_t* text) {
  return reinterpret_cast<const char*>(text);
}

/// The message of the error of class E that `action` raises, "(no error)"
/// when it raises none; an error of another class leaves the test.
template <class E = Exception, class Action>
std::string MessageOf(Action&& action) {
  try {
    action();
  } catch (const E& e) {
    return e.Message();
  }
  return "(no error)";
}

/// Every domain test, run on every backend: a fresh database as the
/// library's pool, and no singleton left over from an earlier test.
class DomainTest : public ::testing::TestWithParam<TestBackend> {
 protected:
  void SetUp() override {
    db_.UseAsLibraryPool();
    pool_ = TSingleComm::Instance().GetConnPool();
  }
  void TearDown() override { DomainObjects::ReleaseProcessObjects(); }

  /// One TJItem row arranged through raw SQL (UTF-8 name).
  void AddItemRow(int id, const std::string& code, int type, const std::string& utf8Name,
                  const std::string& members = "", int cateId = 0, int dispOrder = 0) {
    db_.Exec(
        "INSERT INTO TJItem (ItemID, ItemCode, ItemType, ItemName, ItemsString, CateId, "
        "DispOrder) VALUES (" +
        std::to_string(id) + ", '" + code + "', " + std::to_string(type) + ", '" + utf8Name +
        "', '" + members + "', " + std::to_string(cateId) + ", " + std::to_string(dispOrder) + ")");
  }
  TestDatabase db_{GetParam()};
  TBaseDBConnPool* pool_ = nullptr;
};
