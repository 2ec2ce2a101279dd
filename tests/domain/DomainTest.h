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

/// Every domain test: a fresh SQLite file as the library's pool, and no
/// singleton left over from an earlier test.
class DomainTest : public ::testing::Test {
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
  /// A trigger that makes the database refuse `event` (INSERT, UPDATE or
  /// DELETE) on `table`.
  void RefuseOn(const std::string& table, const std::string& event) {
    db_.Exec("CREATE TRIGGER refuse_" + event + " BEFORE " + event + " ON " + table +
             " BEGIN SELECT RAISE(ABORT, 'refused by the database'); END");
  }
  void AllowAgain(const std::string& event) { db_.Exec("DROP TRIGGER refuse_" + event); }

  TestDatabase db_;
  TBaseDBConnPool* pool_ = nullptr;
};
