#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "Exceptions.h"
#include "Format.h"
#include "TSingleComm.h"
#include "TTestRow.h"
#include "TestBackends.h"
#include "TestDatabase.h"
#include "TestServer.h"

namespace {

// A row whose save writes two rows: a companion row first, then itself
// under a drawn key. The first draw takes a key another writer stored just
// before, as happens when two desks save at the same moment.
class TDrawnRow : public TTestRow {
 public:
  using TTestRow::TTestRow;
  static constexpr int kCompanion = 500;
  int TakenKey = 0;  // what the first draw gives

  int32_t Insert() override {
    Operator()->ExecSQL(FormatSql("INSERT INTO TestRow (RowID, Code, Name) VALUES (%d, 'c', '%s')",
                                  {kCompanion, Name + "的伙伴"}));
    bool first = true;
    InsertDrawingKeys(
        [&] {
          RowID = first && TakenKey ? TakenKey : NextIntID("RowID");
          first = false;
          Operator()->ExecSQL(FormatSql(
              "INSERT INTO TestRow (RowID, Code, Name) VALUES (%d, 'd', '%s')", {RowID, Name}));
        },
        [&] { return FormatSql("RowID = %d", {RowID}); });
    return 0;
  }
  int32_t Delete() override {
    Operator()->ExecSQL(FormatSql("DELETE FROM TestRow WHERE RowID = %d", {RowID}));
    return 0;
  }

  bool FailAfterWrite = false;  // a record rule fails once the rows are written

 protected:
  bool IsNew() const override { return RowID == 0; }
  const TWriteRules& WriteRules() const override {
    static const TWriteRules rules =
        TWriteRules().Record([](TDBObject& object, TWriteAction, const TWriteContext&) {
          if (static_cast<TDrawnRow&>(object).FailAfterWrite) throw Exception("record failed");
        });
    return rules;
  }
  void Discarded(TWriteAction action) override {
    if (action == TWriteAction::Insert) RowID = 0;
  }
};

class TWritePathTest : public ::testing::TestWithParam<TestBackend> {
 protected:
  void SetUp() override {
    db_.Exec(TTestRow::kCreateTable);
    // The refusal that makes an insert draw again is the database's own.
    db_.Exec("CREATE UNIQUE INDEX TestRowKey ON TestRow (RowID)");
    db_.UseAsLibraryPoolThrough(GetParam());
    pool_ = TSingleComm::Instance().GetConnPool();
  }
  long long Rows(const std::string& where = "1=1") {
    return db_.QueryInt("SELECT count(*) FROM TestRow WHERE " + where);
  }

  TestDatabase db_{GetParam()};
  TBaseDBConnPool* pool_ = nullptr;
};

TESMIRA_ALL_BACKENDS(TWritePathTest);

// The refused insert is undone to its savepoint only: the companion row
// written before it in the same transaction is committed with the row drawn
// again (on PostgreSQL a failed statement would otherwise doom the whole
// transaction).
TEST_P(TWritePathTest, ASaveOfTwoRowsThatDrawsAgainCommitsBoth) {
  db_.Exec("INSERT INTO TestRow (RowID, Code, Name) VALUES (7, 'x', 'other desk')");
  TDrawnRow row(pool_);
  row.Name = "本行";
  row.TakenKey = 7;
  EXPECT_EQ(row.Save(), 2);
  EXPECT_EQ(row.RowID, TDrawnRow::kCompanion + 1);
  EXPECT_EQ(Rows(), 3);
  EXPECT_EQ(db_.QueryText("SELECT Name FROM TestRow WHERE RowID = 501"), U8(u8"本行"));
  EXPECT_EQ(Rows("RowID = 500"), 1);
}

// A record that fails once the rows are written undoes everything the save
// wrote, and the object is new again; the next save stores it.
TEST_P(TWritePathTest, AFailureAfterTheRowsWereWrittenRollsThemAllBack) {
  TDrawnRow row(pool_);
  row.Name = "a";
  row.FailAfterWrite = true;
  EXPECT_THROW(row.Save(), Exception);
  EXPECT_EQ(row.RowID, 0);
  EXPECT_EQ(Rows(), 0);
  row.FailAfterWrite = false;
  EXPECT_EQ(row.Save(), 2);
  EXPECT_EQ(Rows(), 2);
}

// The wording follows the kind the database layer gave the failure: a
// lost connection is never reported as a refusal of the data.
TEST_P(TWritePathTest, ADeleteCutOffFromTheDatabaseSaysTheConnectionWasLost) {
  db_.Exec("INSERT INTO TestRow (RowID, Code, Name) VALUES (1, 'a', 'kept')");
  TDrawnRow row(pool_);
  row.RowID = 1;
  row.NextIntID("RowID");  // the connection is open before it is lost
  const std::string kept = db_.Folder() + "/kept.db";
  if (db_.OnServer()) {
    TestServer::Instance().RestartImmediately();
  } else {
    ASSERT_EQ(link(db_.Path().c_str(), kept.c_str()), 0);
    ASSERT_EQ(unlink(db_.Path().c_str()), 0);
  }
  try {
    row.Remove();
    ADD_FAILURE() << "the delete must fail";
  } catch (const EDBException& e) {
    EXPECT_EQ(e.Kind, TDBErrorKind::ConnectionLost);
    EXPECT_EQ(e.Message().rfind("与数据库的连接已断开，删除没有完成", 0), 0u) << e.Message();
    EXPECT_NE(e.Message().find("原因："), std::string::npos);
  }
  if (!db_.OnServer()) {
    ASSERT_EQ(rename(kept.c_str(), db_.Path().c_str()), 0);
  }
  EXPECT_EQ(Rows(), 1);
}

}  // namespace
