#include <gtest/gtest.h>

#include "TPostgresDialect.h"
#include "TSqlParameters.h"
#include "TSqliteDialect.h"

using Parts = std::vector<std::string>;

TEST(SqliteDialect, IdentityQueryAfterAnInsertRunsAsASecondStatement) {
  EXPECT_EQ(TSqliteDialect::Adapt("Insert Into T (a)Values(1, 'x')SELECT @@IDENTITY AS IdentityID"),
            (Parts{"Insert Into T (a)Values(1, 'x')",
                   "SELECT NULLIF(last_insert_rowid(), 0) AS IdentityID"}));
  EXPECT_EQ(TSqliteDialect::Adapt("insert into T values (1); select @@identity"),
            (Parts{"insert into T values (1)", "select NULLIF(last_insert_rowid(), 0)"}));
  // Any case, and the word as the text's last characters.
  EXPECT_EQ(TSqliteDialect::Adapt("insert into T values (2);SeLeCt @@IdEnTiTy"),
            (Parts{"insert into T values (2)", "SeLeCt NULLIF(last_insert_rowid(), 0)"}));
  EXPECT_EQ(TSqliteDialect::Adapt("SELECT @@IDENTITY AS IdentityID"),
            (Parts{"SELECT NULLIF(last_insert_rowid(), 0) AS IdentityID"}));
  // Inside a literal or a quoted name it is text, and so is a ";" in a
  // comment before the identity query.
  EXPECT_EQ(TSqliteDialect::Adapt("insert into T values ('SELECT @@IDENTITY')"),
            (Parts{"insert into T values ('SELECT @@IDENTITY')"}));
  EXPECT_EQ(TSqliteDialect::Adapt("select `a@@IDENTITY` from T"),
            (Parts{"select `a@@IDENTITY` from T"}));
  EXPECT_EQ(TSqliteDialect::Adapt("insert into T values (1) -- one;\nselect @@IDENTITY"),
            (Parts{"insert into T values (1) -- one;\n", "select NULLIF(last_insert_rowid(), 0)"}));
}

TEST(SqliteDialect, DeleteGetsItsFromAndTopBecomesLimit) {
  EXPECT_EQ(TSqliteDialect::Adapt("Delete TJSampleGroup Where GroupID = 3"),
            (Parts{"Delete FROM TJSampleGroup Where GroupID = 3"}));
  EXPECT_EQ(TSqliteDialect::Adapt("DELETE FROM TJItem WHERE ItemID = 4 "),
            (Parts{"DELETE FROM TJItem WHERE ItemID = 4 "}));
  EXPECT_EQ(TSqliteDialect::Adapt("Select Top 1 * from TJSampleGroup Where a = 'top 5'"),
            (Parts{"Select * from TJSampleGroup Where a = 'top 5' LIMIT 1"}));
  EXPECT_EQ(TSqliteDialect::Adapt("select topic from T"), (Parts{"select topic from T"}));
  // LIMIT ends the statement's code: a trailing comment would swallow it,
  // and a later statement must not get it.
  EXPECT_EQ(TSqliteDialect::Adapt("Select Top 1 a from T -- newest\n"),
            (Parts{"Select a from T LIMIT 1 -- newest\n"}));
  EXPECT_EQ(TSqliteDialect::Adapt("select top 2 a from T; select b from U"),
            (Parts{"select a from T LIMIT 2; select b from U"}));
  EXPECT_EQ(TSqliteDialect::Adapt("Deleted x"), (Parts{"Deleted x"}));
}

// Only the statement's own ORDER BY terms get the collation; a term with a
// collation of its own, subqueries, literals and comments are left alone.
TEST(SqliteDialect, OrderByTermsGetTheGbkCollation) {
  EXPECT_EQ(
      TSqliteDialect::OrderByGbk("Select * from TJItem Where 1=1 Order By ItemType, ItemName ASC"),
      "Select * from TJItem Where 1=1 Order By ItemType COLLATE TESMIRA_GBK, ItemName "
      "COLLATE TESMIRA_GBK ASC");
  EXPECT_EQ(TSqliteDialect::OrderByGbk("select * from T order by 1 desc limit 3"),
            "select * from T order by 1 COLLATE TESMIRA_GBK desc limit 3");
  EXPECT_EQ(TSqliteDialect::OrderByGbk(
                "select a from T where b in (select b from U order by b) and c = 'order by c' "
                "-- order by d\norder by lower(a), a collate nocase;"),
            "select a from T where b in (select b from U order by b) and c = 'order by c' "
            "-- order by d\norder by lower(a) COLLATE TESMIRA_GBK, a collate nocase;");
  EXPECT_EQ(TSqliteDialect::OrderByGbk("select a from T OrDeR bY a"),
            "select a from T OrDeR bY a COLLATE TESMIRA_GBK");
  EXPECT_EQ(TSqliteDialect::OrderByGbk("select reorder, border by from T"),
            "select reorder, border by from T");
  // The collation follows the term's code, not a comment after it.
  EXPECT_EQ(TSqliteDialect::OrderByGbk("select a from T order by a desc -- newest\n"),
            "select a from T order by a COLLATE TESMIRA_GBK desc -- newest\n");
  // Only connections that have the collation get the rewrite.
  EXPECT_EQ(TSqliteDialect::Adapt("select a from T order by a"),
            (Parts{"select a from T order by a"}));
  EXPECT_EQ(TSqliteDialect::Adapt("select a from T order by a", true),
            (Parts{"select a from T order by a COLLATE TESMIRA_GBK"}));
}

// The server answers a batch: the identity query stays in the insert's text,
// separated as PostgreSQL needs it.
TEST(PostgresDialect, IdentityStaysInTheBatchAndOrderByUsesTheGbkKey) {
  EXPECT_EQ(
      TPostgresDialect::Adapt("Insert Into T (a)Values(1, 'x')SELECT @@IDENTITY AS IdentityID"),
      "Insert Into T (a)Values(1, 'x');\nSELECT tesmira_identity() AS IdentityID");
  EXPECT_EQ(TPostgresDialect::Adapt("insert into T values ('SELECT @@IDENTITY')"),
            "insert into T values ('SELECT @@IDENTITY')");
  EXPECT_EQ(TPostgresDialect::Adapt("Delete TJSampleGroup Where GroupID = 3"),
            "Delete FROM TJSampleGroup Where GroupID = 3");
  EXPECT_EQ(TPostgresDialect::Adapt("Select Top 1 * from T Where a = 1 Order By ItemType, b DESC"),
            "Select * from T Where a = 1 Order By tesmira_gbk(ItemType), tesmira_gbk(b) DESC "
            "LIMIT 1");
  // A column number stays one; subqueries and literals are left alone.
  EXPECT_EQ(TPostgresDialect::Adapt("select * from T where b in (select b from U order by b) "
                                    "and c = 'order by c' order by 1 ASC"),
            "select * from T where b in (select b from U order by b) and c = 'order by c' "
            "order by 1 ASC");
}

TEST(SqlParameters, NamedParametersBecomePositionalOutsideLiterals) {
  int count = -1;
  EXPECT_EQ(TSqlParameters::ToPositional(
                "insert into P values (:a, :b_2, '10:30', \"x:y\", [c:d]) -- :e\n", count),
            "insert into P values (?, ?, '10:30', \"x:y\", [c:d]) -- :e\n");
  EXPECT_EQ(count, 2);
  EXPECT_EQ(TSqlParameters::ToPositional("select 'it''s :not' , :yes, ::cast, :1", count),
            "select 'it''s :not' , ?, ::cast, :1");
  EXPECT_EQ(count, 1);
  // UTF-8 text never hides a quote inside a character.
}
