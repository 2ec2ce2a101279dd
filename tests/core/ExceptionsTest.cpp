#include <gtest/gtest.h>

#include "Exceptions.h"

TEST(Exceptions, ConstructorsSetMembers) {
  EBaseException coded("extra", 5, 17);
  EXPECT_EQ(coded.Message(), "Error code: 17");
  EXPECT_EQ(coded.ErrorCode, 17);
  EXPECT_EQ(coded.ExtraText, "extra");
  EXPECT_EQ(coded.ExtraValue, 5);

  EDBException withMessage("", 0, 17, "连接数据库失败\r\nboom");
  EXPECT_EQ(withMessage.ErrorCode, 17);
  EXPECT_EQ(withMessage.Message().rfind("连接数据库失败\r\n", 0), 0u);
}

TEST(Exceptions, PlainMessageLeavesMembersEmpty) {
  ETJItemException plain("查询条件不正确");
  EXPECT_EQ(plain.ErrorCode, 0);
  EXPECT_EQ(plain.ExtraText, "");
  EXPECT_EQ(plain.ExtraValue, 0);
  ETJItemException formatted("类别[%s]已被引用，不能删除！", {"体检科"});
  EXPECT_EQ(formatted.Message(), "类别[体检科]已被引用，不能删除！");
}

TEST(Exceptions, ResetEmptiesEverything) {
  EBaseException e("t", 1, 2, "message");
  e.Reset();
  EXPECT_EQ(e.Message(), "");
  EXPECT_EQ(e.ErrorCode, 0);
  EXPECT_EQ(e.ExtraText, "");
  EXPECT_EQ(e.ExtraValue, 0);
}

TEST(Exceptions, FamilyIsCatchableByBase) {
  try {
    throw EDBException("No Available DB Connection");
  } catch (const EBaseException& e) {
    EXPECT_STREQ(e.what(), "No Available DB Connection");
  }
}
