#include <sstream>

#include "DbBackendTest.h"
#include "Exceptions.h"
#include "TDataSet.h"

using StatementTest = DbBackendTest;
TESMIRA_BOTH_BACKENDS(StatementTest);

TEST_P(StatementTest, ChineseTextRoundTripsAsGbk) {
  op->ExecSQL(
      "Insert Into TJCategories (CateID, CateCode, CateName) Values (1, '000001', '检验科')");
  EXPECT_EQ(db.QueryText("select CateName from TJCategories where CateID = 1"), U8(u8"检验科"));
  TDataSet* set = op->OpenQuery("select * from TJCategories");
  ASSERT_EQ(set->RecordCount(), 1);
  EXPECT_EQ(set->FieldByName("catename").AsString(), "检验科");
  EXPECT_EQ(set->FieldByName("CateID").AsInteger(), 1);
}
