#include <gtest/gtest.h>

#include "UserRights.h"

namespace {
TCurrentUser User(std::optional<std::string> name, std::vector<std::string> codes) {
  TCurrentUser u;
  u.UserName = std::move(name);
  for (auto& c : codes) u.Rights.push_back({c});
  return u;
}
}  // namespace

TEST(UserRights, EmptyCodeIsOpenToEveryone) {
  TCurrentUser nobody = User(std::nullopt, {});
  EXPECT_TRUE(UserHasRight(&nobody, ""));
  EXPECT_TRUE(UserHasRight(nullptr, ""));
  EXPECT_FALSE(UserHasRight(nullptr, "TJXT201001"));
}

TEST(UserRights, ChiefInAnyCaseHoldsEveryRight) {
  for (const char* name : {"Chief", "CHIEF", "chief", "cHiEf"}) {
    TCurrentUser chief = User(std::string(name), {});
    EXPECT_TRUE(IsSuperUser(&chief)) << name;
    EXPECT_TRUE(UserHasRight(&chief, "TJXT204007")) << name;
  }
  TCurrentUser notChief = User(std::string("Chief "), {});
  EXPECT_FALSE(IsSuperUser(&notChief));
}

TEST(UserRights, NullNameHasOnlyListedRights) {
  TCurrentUser u = User(std::nullopt, {"tjxt201001"});
  EXPECT_FALSE(IsSuperUser(&u));
  EXPECT_TRUE(UserHasRight(&u, "TJXT201001"));  // granted code in lower case
  EXPECT_FALSE(UserHasRight(&u, "TJXT201002"));
}

TEST(UserRights, PermissionKindsInOrder) {
  ASSERT_EQ(PermissionKinds.size(), 5u);
  EXPECT_STREQ(PermissionKinds[0], "浏览");
  EXPECT_STREQ(PermissionKinds[4], "执行");
}
