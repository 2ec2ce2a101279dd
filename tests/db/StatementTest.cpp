#include <iostream>
#include <sstream>
#include <thread>

#include "DbBackendTest.h"
#include "Exceptions.h"
#include "GbkText.h"
#include "IDBStatement.h"
#include "TDBOperator.h"
#include "TDataSet.h"
#include "TInsertRows.h"
#include "TStatementCounter.h"
#include "ThreadId.h"

using StatementTest = DbBackendTest;
TESMIRA_ALL_BACKENDS(StatementTest);

namespace {

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "(no error)";
}

}  // namespace

// Every statement the library sends counts once, on every backend: a
// query, and a transaction's begin, statement and commit.
TEST_P(StatementTest, EachStatementSentIsCounted) {
  const auto before = TStatementCounter::Sent();
  op->OpenQuery("select count(*) as n from TJCategories");
  EXPECT_EQ(TStatementCounter::Sent() - before, 1u);
  op->BeginTrans();
  op->ExecSQL("insert into TJCategories (CateID, CateName) values (1, 'a')");
  op->CommitTrans();
  EXPECT_EQ(TStatementCounter::Sent() - before, 4u);
}

// Many rows with long texts, Nulls and numbers among them read back whole
// and in place: the server's rows come in blocks of bound buffers, and a
// text longer than its buffer (a TEXT column, a name of many Chinese
// characters) is read whole from its row.
TEST_P(StatementTest, LongTextsAmongManyRowsReadBackWhole) {
  constexpr int kRows = 300;  // more than two blocks
  auto members = [](int i) {
    return i % 7 == 0 ? std::string(5000, 'a' + i % 26) : "m" + std::to_string(i);
  };
  auto result = [](int i) {
    std::string text;
    for (int k = 0; k < (i % 5 == 0 ? 500 : 2); ++k) text += U8(u8"正");
    return text;
  };
  std::string values;
  for (int i = 1; i <= kRows; ++i) {
    // Appended piece by piece: one long chain of + makes GCC's -O3 warn.
    values += i > 1 ? ",(" : "(";
    values += std::to_string(i);
    values += i % 11 == 0 ? std::string(", NULL") : ", 'n" + std::to_string(i) + "'";
    values += ", '";
    values += members(i);
    values += "', '";
    values += result(i);
    values += "', ";
    values += std::to_string(i);
    values += ".5)";
  }
  db.Exec("insert into TJItem (ItemID, ItemName, ItemsString, NaturalResult, UnitPrice) values " +
          values);
  TDataSet* set = op->OpenQuery(
      "select ItemID, ItemName, ItemsString, NaturalResult, UnitPrice from TJItem "
      "order by ItemID");
  ASSERT_EQ(set->RecordCount(), kRows);
  int i = 0;
  for (set->First(); !set->Eof(); set->Next()) {
    ++i;
    ASSERT_EQ(set->FieldByName("ItemID").AsInteger(), i);
    EXPECT_EQ(set->FieldByName("ItemName").IsNull(), i % 11 == 0) << i;
    EXPECT_EQ(set->FieldByName("ItemsString").AsString(), members(i)) << i;
    EXPECT_EQ(set->FieldByName("NaturalResult").AsString(), GbkText::FromUtf8(result(i))) << i;
    EXPECT_EQ(set->FieldByName("UnitPrice").AsString(), std::to_string(i) + ".5") << i;
  }
}

TEST_P(StatementTest, ChineseTextRoundTripsAsGbk) {
  op->ExecSQL(
      "Insert Into TJCategories (CateID, CateCode, CateName) Values (1, '000001', '检验科')");
  EXPECT_EQ(db.QueryText("select CateName from TJCategories where CateID = 1"), U8(u8"检验科"));
  db.Exec(u8"insert into TJCategories (CateID, CateName) values (2, '功能科')");
  TDataSet* set = op->OpenQuery("select * from TJCategories where CateName = '功能科'");
  ASSERT_EQ(set->RecordCount(), 1);
  EXPECT_EQ(set->FieldByName("catename").AsString(), "功能科");
  EXPECT_EQ(set->FieldByName("CATEID").AsInteger(), 2);
}

TEST_P(StatementTest, ComputedColumnsAndNullsConvert) {
  db.Exec("insert into TJItem (ItemID, DispOrder, UnitPrice) values (7, 3, 12.5)");
  TDataSet* set = op->OpenQuery(
      "SELECT CASE WHEN MAX(ItemID) IS NULL THEN 1 ELSE MAX(ItemID) + 1 END AS n, "
      "count(*) AS c, max(DispOrder)+1 AS d, sum(UnitPrice) AS p, NULL AS z FROM TJItem");
  EXPECT_EQ(set->Fields(0).AsInteger(), 8);
  EXPECT_EQ(set->FieldByName("c").AsInteger(), 1);
  EXPECT_EQ(set->FieldByName("d").AsInteger(), 4);
  EXPECT_DOUBLE_EQ(set->FieldByName("p").AsFloat(), 12.5);
  EXPECT_EQ(set->FieldByName("p").AsString(), "12.5");
  EXPECT_TRUE(set->FieldByName("z").IsNull());
  EXPECT_EQ(set->FieldByName("z").AsInteger(), 0);
  EXPECT_EQ(set->FieldByName("z").AsString(), "");
  // An empty category: max() + 1 is null and reads as 0.
  set = op->OpenQuery("Select max(DispOrder)+1 as c From TJItem where CateID = 99 ");
  EXPECT_EQ(set->FieldByName("c").AsInteger(), 0);
  EXPECT_THROW(set->FieldByName("nope"), EDBException);
}

TEST_P(StatementTest, LargeResultsReadBackExactlyOneAfterAnother) {
  // Results large enough for the memory of one to serve the next: each must
  // read back exactly what the rows hold, whatever came before it.
  constexpr int kRows = 20000;
  std::string insert =
      "Insert Into TJItem (ItemID, ItemCode, ItemName, UnitPrice, DispOrder) Values ";
  for (int i = 1; i <= kRows; ++i) {
    const std::string n = std::to_string(i);
    insert += i > 1 ? ", (" : "(";
    insert += n;
    insert += ", 'C" + n + "', '名称" + n + "', ";
    insert += n;
    insert += ".5, ";
    insert += std::to_string(-i);
    insert += ")";
  }
  op->ExecSQL(insert);
  auto expectRows = [&](int upTo) {
    TDataSet* set = op->OpenQuery(
        "select ItemID, ItemCode, ItemName, UnitPrice, DispOrder from TJItem where ItemID "
        "<= " +
        std::to_string(upTo) + " order by ItemID");
    ASSERT_EQ(set->RecordCount(), upTo);
    int i = 0;
    for (set->First(); !set->Eof(); set->Next()) {
      ++i;
      const std::string n = std::to_string(i);
      ASSERT_EQ(set->Fields(0).AsString(), n);
      ASSERT_EQ(set->Fields(1).AsString(), "C" + n);
      ASSERT_EQ(set->Fields(2).AsString(), "名称" + n);
      ASSERT_EQ(set->Fields(3).AsString(), n + ".5");
      ASSERT_EQ(set->Fields(4).AsString(), "-" + n);
    }
  };
  expectRows(kRows);
  expectRows(kRows / 4);
  expectRows(kRows);
}

TEST_P(StatementTest, OpenQueryReturnsTheOneResultSetOfTheStatement) {
  db.Exec(
      "insert into TJSampleType (ID, SampleTypeID, SampleTypeName) values (1, 10, 'a'), "
      "(2, 20, 'b'), (3, 30, 'c')");
  TDataSet* first = op->OpenQuery("select * from TJSampleType order by ID");
  ASSERT_EQ(first->RecordCount(), 3);
  first->Next();
  EXPECT_EQ(first->FieldByName("SampleTypeID").AsInteger(), 20);
  TDataSet* second = op->OpenQuery("select SampleTypeName from TJSampleType where ID = 3");
  EXPECT_EQ(first, second);
  EXPECT_EQ(first->RecordCount(), 1);
  EXPECT_EQ(first->FieldByName("SampleTypeName").AsString(), "c");
  EXPECT_FALSE(first->HasField("SampleTypeID"));
  EXPECT_EQ(op->GetDataSet(), first);
  op->ExecSQL("update TJSampleType set SampleTypeName = 'x'");
  EXPECT_FALSE(first->Active());
  EXPECT_EQ(db.QueryInt("select count(*) from TJSampleType where SampleTypeName = 'x'"), 3);
}

TEST_P(StatementTest, CursorWalksRowsAndStopsAtTheEnd) {
  db.Exec("insert into TJSampleType (ID, SampleTypeName) values (1, 'a'), (2, 'b')");
  TDataSet* set = op->OpenQuery("select * from TJSampleType order by ID");
  std::string seen;
  for (set->First(); !set->Eof(); set->Next())
    seen += set->FieldByName("SampleTypeName").AsString();
  EXPECT_EQ(seen, "ab");
  set->Next();
  EXPECT_EQ(set->RecNo(), 2);
  set = op->OpenQuery("select * from TJSampleType where ID = 42");
  EXPECT_TRUE(set->IsEmpty());
  EXPECT_TRUE(set->Eof());
  EXPECT_TRUE(set->FieldByName("SampleTypeName").IsNull());
}

TEST_P(StatementTest, TSqlFormsAreAdaptedForSqlite) {
  db.Exec(
      "insert into TJSampleGroup (SampleTypeID, GroupName) values (1, 'a'), (1, 'b'), (2, 'c')");
  TDataSet* set = op->OpenQuery("Select Top 1 * from TJSampleGroup Where SampleTypeID = 1");
  EXPECT_EQ(set->RecordCount(), 1);
  op->ExecSQL("Delete TJSampleGroup Where GroupName = 'b'");
  EXPECT_EQ(db.QueryInt("select count(*) from TJSampleGroup"), 2);
  // Literals are never rewritten.
  op->ExecSQL(
      "update TJSampleGroup set GroupName = 'Delete x Where SELECT TOP 1 @@IDENTITY' "
      "where GroupName = 'a'");
  EXPECT_EQ(db.QueryText("select GroupName from TJSampleGroup where SampleTypeID = 1"),
            "Delete x Where SELECT TOP 1 @@IDENTITY");
}

// Names sort as a server with a Chinese collation sorts them: GBK byte
// order (pinyin for the common characters), ASCII letters without case.
// The file itself names no collation: the plain sqlite3 tool reads it.
// The sqlite3 backend gives the order with a collation of its own, the
// server through the order key of its dialect; an ODBC connection to SQLite
// keeps SQLite's order.
using GbkOrderTest = DbBackendTest;
TESMIRA_BACKENDS(GbkOrderTest, TestBackend::Sqlite3, TestBackend::Postgres);

TEST_P(GbkOrderTest, NamesSortInGbkOrderAndColumnNumbersStillNameColumns) {
  db.Exec(
      u8"insert into TJCategories (CateID, CateName) values "
      u8"(1, '血常规'), (2, '尿常规'), (3, 'b超'), (4, 'A型'), (5, '谷丙转氨酶'), (6, '𠀀字')");
  auto names = [&](const std::string& sql) {
    std::string joined;
    TDataSet* set = op->OpenQuery(sql);
    for (set->First(); !set->Eof(); set->Next())
      joined += set->FieldByName("CateName").AsString() + "|";
    return joined;
  };
  EXPECT_EQ(names("select CateName from TJCategories order by CateName"),
            "A型|b超|𠀀字|谷丙转氨酶|尿常规|血常规|");  // GB18030 0x9532 before 0xB9
  EXPECT_EQ(names("select CateName from TJCategories order by CateName desc"),
            "血常规|尿常规|谷丙转氨酶|𠀀字|b超|A型|");
  EXPECT_EQ(names("select CateName, CateID from TJCategories order by 2 desc"),
            "𠀀字|谷丙转氨酶|A型|b超|尿常规|血常规|");
  EXPECT_EQ(names("Select * from TJCategories Where CateID > 2 Order By CateType, CateName ASC"),
            "A型|b超|𠀀字|谷丙转氨酶|");
  // The SQLite file itself names no collation: the plain sqlite3 tool reads it.
  if (!db.OnServer()) {
    EXPECT_EQ(db.QueryText(u8"select group_concat(CateName, '|') from "
                           u8"(select CateName from TJCategories order by CateName)"),
              U8(u8"A型|b超|尿常规|血常规|谷丙转氨酶|𠀀字"));
  }
}

// On the embedded file a plain name order is applied to the rows after
// reading; it must be SQLite's own order under the collation, row for row:
// Nulls, then numbers (an integer equal to a real ties), then texts, then
// blobs; descending terms; rows with equal keys in the order SQLite gives
// them. SQLite's own sort is asked for with a clause the client leaves to
// it (LIMIT -1: no limit).
TEST_P(GbkOrderTest, OrderAppliedAfterReadingIsSqlitesOwnRowForRow) {
  if (db.OnServer()) GTEST_SKIP() << "the server's own order has no fixed place for ties";
  db.Exec("create table OrderMix (ID integer, K, Name text)");
  const std::string texts[] = {U8(u8"血常规"), "alt",        "ALT", "Alt1", "",
                               U8(u8"b超"),    U8(u8"𠀀字"), "10"};
  std::string values;
  unsigned state = 7;
  for (int id = 1; id <= 3000; ++id) {
    state = state * 1103515245u + 12345u;
    const unsigned pick = (state >> 8) % 8, other = (state >> 16) % 8;
    const std::string key = pick == 0   ? "NULL"
                            : pick == 1 ? std::to_string(other)
                            : pick == 2 ? std::to_string(other) + ".0"
                            : pick == 3 ? std::to_string(other) + ".5"
                            : pick == 4 ? "x'0" + std::to_string(other) + "'"
                                        : "'" + texts[other] + "'";
    values += (values.empty() ? "" : ",") +
              ("(" + std::to_string(id) + ", " + key + ", '" + texts[(state >> 4) % 3] + "')");
  }
  db.Exec("insert into OrderMix values " + values);
  auto ids = [&](const std::string& sql) {
    std::string joined;
    TDataSet* set = op->OpenQuery(sql);
    for (set->First(); !set->Eof(); set->Next()) joined += set->FieldByName("ID").AsString() + ",";
    return joined;
  };
  for (const char* order : {"K", "K desc, Name", "Name, K desc", "Name desc"}) {
    const std::string sql = std::string("select ID, K, Name from OrderMix order by ") + order;
    const std::string client = ids(sql);
    EXPECT_EQ(client, ids(sql + " limit -1")) << order;
    EXPECT_EQ(std::count(client.begin(), client.end(), ','), 3000) << order;
  }
}

// The server's rows come unordered and are sorted on the client
// (TClientOrder); the order must be the embedded database's, byte for byte:
// names mixing Chinese, ASCII letters of either case and digits (as text),
// numbers as numbers, descending terms, ties broken by the next term.
TEST_P(GbkOrderTest, MixedNamesSortAsOnTheEmbeddedDatabase) {
  db.Exec(
      u8"insert into TJCategories (CateID, CateName, CateType) values "
      u8"(1, '血常规10', 9), (2, '血常规9', 9), (3, '血常规2', 9), (4, 'ALT谷丙', 10), "
      u8"(5, 'alt', 10), (6, 'Alt1', 10), (7, '10号管', 100), (8, '9号管', 100), "
      u8"(9, '尿液', 9), (10, 'b超', 10), (11, '', 100), (12, '血常规', 9)");
  auto rows = [&](const std::string& sql) {
    std::string joined;
    TDataSet* set = op->OpenQuery(sql);
    for (set->First(); !set->Eof(); set->Next())
      joined += set->FieldByName("CateName").AsString() + "|";
    return joined;
  };
  EXPECT_EQ(rows("Select * from TJCategories Where 1=1 Order By CateName"),
            "|10号管|9号管|alt|Alt1|ALT谷丙|b超|尿液|血常规|血常规10|血常规2|血常规9|");
  EXPECT_EQ(rows("Select CateName, CateType from TJCategories Order By CateType DESC, CateName"),
            "|10号管|9号管|alt|Alt1|ALT谷丙|b超|尿液|血常规|血常规10|血常规2|血常规9|");
  EXPECT_EQ(rows("select * from TJCategories where CateType < 100 order by CateName desc"),
            "血常规9|血常规2|血常规10|血常规|尿液|b超|ALT谷丙|Alt1|alt|");
}

TEST_P(StatementTest, ExecSQLGetIDReadsTheIdentityOfTheInsert) {
  db.Exec("insert into TJSampleGroup (SampleTypeID, GroupName) values (1, 'old')");
  int32_t id = 0;
  op->ExecSQLGetID(
      "Insert Into TJSampleGroup (SampleTypeID, GroupName)Values(3, '红色管')SELECT @@IDENTITY AS "
      "IdentityID",
      id);
  EXPECT_EQ(id, 2);
  EXPECT_EQ(db.QueryText("select GroupName from TJSampleGroup where GroupID = 2"), U8(u8"红色管"));
  // The query stays open on the identity row.
  EXPECT_EQ(op->GetDataSet()->FieldByName("IdentityID").AsInteger(), 2);
}

TEST_P(StatementTest, ExecSQLGetIDErrorsCarryTheWholeSql) {
  int32_t id = 77;
  const std::string nullIdentity = "SELECT NULL AS IdentityID";
  EXPECT_EQ(MessageOf([&] { op->ExecSQLGetID(nullIdentity, id); }),
            "取自增字段信息出现异常！" + nullIdentity);
  const std::string noRow = "SELECT 1 AS IdentityID FROM TJItem";
  EXPECT_EQ(MessageOf([&] { op->ExecSQLGetID(noRow, id); }), "取自增字段信息出现异常！" + noRow);
  const std::string bad = "Insert Into NoSuchTable (a)Values(1)SELECT @@IDENTITY AS IdentityID";
  std::string message = MessageOf([&] { op->ExecSQLGetID(bad, id); });
  EXPECT_NE(message.find("NoSuchTable"), std::string::npos);
  EXPECT_EQ(message.substr(message.size() - bad.size()), bad);
  EXPECT_EQ(id, 77);
}

TEST_P(StatementTest, IdentityBeforeAnyInsertIsNull) {
  int32_t id = 5;
  EXPECT_EQ(MessageOf([&] { op->ExecSQLGetID("SELECT @@IDENTITY AS IdentityID", id); }),
            "取自增字段信息出现异常！SELECT @@IDENTITY AS IdentityID");
  EXPECT_EQ(id, 5);
}

TEST_P(StatementTest, TwoOperatorsOfOneThreadShareConnectionAndTransaction) {
  TComPtr<IDBOperator> other = NewOperator();
  EXPECT_EQ(ConnectionOf(other), ConnectionOf(op));
  op->BeginTrans();
  EXPECT_TRUE(other->GetInTransaction());
  other->ExecSQL("insert into TJCategories (CateID, CateName) values (5, 'x')");
  EXPECT_EQ(op->OpenQuery("select count(*) as c from TJCategories")->FieldByName("c").AsInteger(),
            1);
  other->RollbackTrans();
  EXPECT_FALSE(op->GetInTransaction());
  EXPECT_EQ(db.QueryInt("select count(*) from TJCategories"), 0);
  op->BeginTrans();
  other->ExecSQL("insert into TJCategories (CateID, CateName) values (6, 'y')");
  op->CommitTrans();
  EXPECT_EQ(db.QueryInt("select count(*) from TJCategories"), 1);
}

TEST_P(StatementTest, DataSetCountFollowsLivingStatements) {
  int32_t base = op->GetDataSetCount();
  {
    TComPtr<IDBStatement> extra = op->CreateStatement();
    TComPtr<IDBOperator> other = NewOperator();
    EXPECT_EQ(op->GetDataSetCount(), base + 2);
  }
  EXPECT_EQ(op->GetDataSetCount(), base);
}

TEST_P(StatementTest, AnUnboundOperatorRefusesClearly) {
  TComPtr<IDBOperator> unbound = pool->CreateDBOperator();
  EXPECT_EQ(MessageOf([&] { unbound->ExecSQL("select 1"); }), "数据库操作对象还没有绑定数据库连接");
  EXPECT_EQ(unbound->Reserved4(), "");
}

// ---- batch ------------------------------------------------------------------

TEST_P(StatementTest, BlankBatchEntriesAreNotQueued) {
  op->AddSQL("  \t\r\n ");
  EXPECT_EQ(MessageOf([&] { op->ExecSQLs(false); }), "SQL 语句空");
}

TEST_P(StatementTest, BatchKeywordIsTheLowerCasedFirstWord) {
  op->AddSQL("  INSERT into TJSampleType (ID, SampleTypeName) values (1, 'a')");
  op->AddSQL("Update TJSampleType set SampleTypeName = 'b'\n");
  op->AddSQL("SELECT SampleTypeName from TJSampleType");
  EXPECT_TRUE(op->ExecSQLs(false));
  EXPECT_EQ(op->GetDataSet()->FieldByName("SampleTypeName").AsString(), "b");
  // A line break after select does not end the keyword: the batch fails.
  op->AddSQL("select\nSampleTypeName from TJSampleType");
  try {
    op->ExecSQLs(false);
    FAIL() << "expected an error";
  } catch (const EDBException& e) {
    EXPECT_EQ(e.Message(), "ExecSQLs 失败");
    EXPECT_EQ(e.ExtraText, "未知的 SQL 关键字\r\nselect\nsampletypename");
    EXPECT_EQ(e.ErrorCode, 0);
  }
  op->AddSQL("vacuum");
  op->AddSQL("merge into x");
  try {
    op->ExecSQLs(false);
  } catch (const EDBException& e) {
    EXPECT_EQ(e.ExtraText, "未知的 SQL 关键字\r\n");  // "vacuum" has no blank: empty keyword
  }
}

TEST_P(StatementTest, FailingBatchInTransactionRollsBackAndEmptiesQueue) {
  op->AddSQL("insert into TJSampleType (ID, SampleTypeName) values (1, 'a')");
  op->AddSQL("insert into nosuchtable (x) values (1)");
  op->AddSQL("insert into TJSampleType (ID, SampleTypeName) values (2, 'b')");
  try {
    op->ExecSQLs(true);
    FAIL() << "expected an error";
  } catch (const EDBException& e) {
    EXPECT_EQ(e.Message(), "ExecSQLs 失败");
    EXPECT_NE(e.ExtraText.find("nosuchtable"), std::string::npos);
  }
  EXPECT_EQ(db.QueryInt("select count(*) from TJSampleType"), 0);
  EXPECT_FALSE(op->GetInTransaction());
  EXPECT_EQ(MessageOf([&] { op->ExecSQLs(true); }), "SQL 语句空");
}

TEST_P(StatementTest, FailingBatchWithoutTransactionKeepsEarlierEntries) {
  op->AddSQL("insert into TJSampleType (ID, SampleTypeName) values (1, 'a')");
  op->AddSQL("insert into TJSampleType (ID, SampleTypeName) values (1, 'duplicate key')");
  op->AddSQL("insert into TJSampleType (ID, SampleTypeName) values (3, 'c')");
  EXPECT_THROW(op->ExecSQLs(false), EDBException);
  EXPECT_EQ(db.QueryInt("select count(*) from TJSampleType"), 1);
}

TEST_P(StatementTest, BatchRefusesToNestTransactionsAndKeepsQueue) {
  op->AddSQL("insert into TJSampleType (ID, SampleTypeName) values (1, 'a')");
  op->BeginTrans();
  EXPECT_EQ(MessageOf([&] { op->ExecSQLs(true); }), "事务尚未结束，不能开始新事务");
  op->RollbackTrans();
  EXPECT_TRUE(op->ExecSQLs(true));  // the entry was still queued
  EXPECT_EQ(db.QueryInt("select count(*) from TJSampleType"), 1);
}

TEST_P(StatementTest, BlobParametersTakeTheirStreamsInOrder) {
  const std::string blob = db.OnServer() ? "bytea" : "blob";
  db.Exec("create table Pictures (ID integer, Front " + blob + ", Back " + blob + ")");
  std::string front("\x89PNG\0\x01\x02", 7);
  std::string back("second\0stream", 13);
  std::istringstream s1(front), s2(back), s3("ignored");
  s1.seekg(3);  // copied from the beginning whatever the position
  op->AddSQL("insert into Pictures (ID, Front, Back) values (1, :front, :back)");
  op->AddParamStream(s1);
  op->AddParamStream(s2);
  op->AddParamStream(s3);  // beyond the parameters: ignored
  op->AddSQL("update Pictures set ID = 2 where Back = :b and ':not_a_param' <> ''");
  op->AddParamStream(s2);
  EXPECT_TRUE(op->ExecSQLs(true));
  EXPECT_EQ(db.QueryInt("select ID from Pictures"), 2);
  EXPECT_EQ(db.QueryInt("select length(Front) from Pictures"), 7);
  auto hex = [&](const std::string& column) {
    return db.QueryText(db.OnServer() ? "select upper(encode(" + column + ", 'hex')) from Pictures"
                                      : "select hex(" + column + ") from Pictures");
  };
  EXPECT_EQ(hex("Front"), "89504E47000102");
  EXPECT_EQ(hex("Back"), "7365636F6E640073747265616D");
}

TEST_P(StatementTest, BlobParametersNeedEnoughStreams) {
  db.Exec(std::string("create table Pictures (ID integer, Front ") +
          (db.OnServer() ? "bytea" : "blob") + ")");
  std::istringstream none("");
  EXPECT_THROW(op->AddParamStream(none), EDBException);  // nothing queued yet
  op->AddSQL("insert into Pictures (ID, Front) values (1, :front)");
  try {
    op->ExecSQLs(true);
    FAIL() << "expected an error";
  } catch (const EDBException& e) {
    EXPECT_NE(e.ExtraText.find("parameter"), std::string::npos);
  }
  EXPECT_EQ(db.QueryInt("select count(*) from Pictures"), 0);
}

// Repeated inserts of one shape share a prepared statement on the embedded
// file, their literals bound as values: what is stored must be exactly what
// the literal statement stores, type included, for every kind of literal.
TEST_P(StatementTest, InsertLiteralsStoreWhatTheStatementSays) {
  std::vector<std::string> rows = {
      "1, 'O''Brien ''x''', 12.5, '10.50', 3",  // quotes doubled; a price as text
      "2, '', -7, '-7', 0",                     // empty text; a signed number
      "3, '0010', .25, 1e3, 15",                // leading zeros kept; an exponent
      "4, 'a -- ;', 12.50, 'a?b :c', 12",       // no comment or parameter in text
  };
  if (!db.OnServer()) {
    rows.push_back("5, x'41', 99999999999999999999, 'DispOrder', 1");  // a blob; too large
    rows.push_back("6, 'x', 1.5e-2, 0010, 2");                         // a number into text
  }
  const std::string head =
      "Insert Into TJItem (ItemID, ItemName, UnitPrice, ItemUnit, DispOrder) Values (";
  for (const std::string& row : rows) {
    op->ExecSQL(head + row + ")");
    op->ExecSQL(head + "10" + row + ") ;");  // the same shape again: ItemID 10n
    db.Exec(head + "20" + row + ")");        // the raw client: ItemID 20n
  }
  const std::string shown =
      db.OnServer() ? "ItemName || '|' || UnitPrice || '|' || ItemUnit || '|' || DispOrder"
                    : "quote(ItemName) || typeof(UnitPrice) || quote(UnitPrice) || "
                      "quote(ItemUnit) || typeof(ItemUnit) || quote(DispOrder)";
  const auto stored = [&](size_t id) {
    return db.QueryText("select " + shown + " from TJItem where ItemID = " + std::to_string(id));
  };
  for (size_t n = 1; n <= rows.size(); ++n) {
    SCOPED_TRACE(rows[n - 1]);
    ASSERT_FALSE(stored(200 + n).empty());
    EXPECT_EQ(stored(n), stored(200 + n));
    EXPECT_EQ(stored(100 + n), stored(200 + n));
  }
}

// Rows given as values store what the same rows written as one literal
// statement store, on every backend and on every run (the first run
// prepares the statement, later ones reuse it); one statement each time.
TEST_P(StatementTest, InsertRowsStoreWhatTheLiteralStatementSays) {
  const int64_t rowCount = db.OnServer() ? 3 : 4;
  const auto rowsFrom = [&](int64_t firstId) {
    TInsertRows rows("Insert Into TJItem (ItemID, ItemName, ItemUnit, DispOrder)", 4);
    rows.Add(firstId).Add(std::string("O'Brien ''x''")).Add(std::string("10.50")).Add(-7);
    rows.Add(firstId + 1).Add(GbkText::FromUtf8("王's 测试")).Add(std::string()).Add(0);
    rows.Add(firstId + 2).Add(std::string("a -- ; ?b :c")).Add(std::string("0010")).Add(2147483647);
    // A number into a text column keeps the number's own text.
    if (rowCount == 4) rows.Add(firstId + 3).Add(std::string("n")).Add(10).Add(1);
    return rows;
  };
  op->ExecSQL(rowsFrom(1).AsSql());
  for (int64_t run = 1; run <= 3; ++run) {
    const auto sent = TStatementCounter::Sent();
    TDBOperator::InsertRows(op.get(), rowsFrom(10 * run + 1));
    EXPECT_EQ(TStatementCounter::Sent() - sent, 1u);
  }
  const std::string shown = db.OnServer()
                                ? "ItemName || '|' || ItemUnit || '|' || DispOrder"
                                : "quote(ItemName) || quote(ItemUnit) || typeof(ItemUnit) || "
                                  "quote(DispOrder) || typeof(DispOrder)";
  const auto stored = [&](int64_t id) {
    return db.QueryText("select " + shown + " from TJItem where ItemID = " + std::to_string(id));
  };
  for (int64_t row = 0; row < rowCount; ++row) {
    ASSERT_FALSE(stored(1 + row).empty());
    for (int64_t run = 1; run <= 3; ++run)
      EXPECT_EQ(stored(10 * run + 1 + row), stored(1 + row)) << "row " << row << ", run " << run;
  }
  EXPECT_EQ(op->OpenQuery("select ItemName from TJItem where ItemID = 12")
                ->FieldByName("ItemName")
                .AsString(),
            GbkText::FromUtf8("王's 测试"));

  // Bound on the embedded file, a text holding a zero byte keeps every
  // value in its own column (a literal statement cannot carry the byte).
  if (GetParam() == TestBackend::Sqlite3) {
    TInsertRows zero("Insert Into TJItem (ItemID, ItemName, ItemUnit)", 3);
    zero.Add(90).Add(std::string("a\0b", 3)).Add(std::string("unit"));
    TDBOperator::InsertRows(op.get(), zero);
    EXPECT_EQ(db.QueryText("select ItemUnit from TJItem where ItemID = 90"), "unit");
  }

  // A row short of values is refused before anything is sent.
  TInsertRows shortRow("Insert Into TJItem (ItemID, ItemName)", 2);
  shortRow.Add(99).Add(std::string("a")).Add(100);
  EXPECT_THROW(TDBOperator::InsertRows(op.get(), shortRow), EDBException);
  EXPECT_EQ(db.QueryInt("select count(*) from TJItem where ItemID >= 99"), 0);
}

// Conditions of queries and updates are bound the same way once met before:
// comparisons must keep the literal's type against each column's type.
TEST_P(StatementTest, ConditionLiteralsCompareAsTheStatementSays) {
  db.Exec(
      "insert into TJItem (ItemID, ItemName, UnitPrice, ItemUnit, DispOrder) values "
      "(1, '10', 10.5, '10.50', 7), (2, 'O''Hara', 0, '', 8), (3, 'x', 3, '3', 9)");
  const std::vector<std::string> conditions = {
      "ItemName = '10'",      "ItemUnit = '10.50'", "UnitPrice = 10.50",   "UnitPrice > 2",
      "ItemName = 'O''Hara'", "ItemName <> 'O'",    "DispOrder in (7, 9)", "1 = 1",
      "ItemUnit = ''"};
  for (const std::string& condition : conditions) {
    SCOPED_TRACE(condition);
    const std::string query = "select count(*) as c from TJItem where " + condition;
    const long long expected = db.QueryInt(query);
    for (int round = 0; round < 3; ++round)
      EXPECT_EQ(op->OpenQuery(query)->FieldByName("c").AsInteger(), expected);
  }
  for (int round = 1; round <= 3; ++round)
    op->ExecSQL("update TJItem set DispOrder = DispOrder + 1, ItemUnit = 'u''" +
                std::to_string(round) + "' where ItemID = 2");
  EXPECT_EQ(db.QueryText("select ItemUnit || '|' || DispOrder from TJItem where ItemID = 2"),
            "u'3|11");
}
