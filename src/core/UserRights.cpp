#include "UserRights.h"

const std::array<const char*, 5> PermissionKinds = {"浏览", "增加", "删除", "修改", "执行"};

bool SameTextAscii(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  auto upper = [](unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; };
  for (size_t i = 0; i < a.size(); ++i)
    if (upper(a[i]) != upper(b[i])) return false;
  return true;
}

bool IsSuperUser(const TCurrentUser* user) {
  return user && user->UserName && SameTextAscii(*user->UserName, "Chief");
}

bool UserHasRight(const TCurrentUser* user, const std::string& code) {
  if (code.empty()) return true;
  if (IsSuperUser(user)) return true;
  if (!user) return false;
  for (const auto& right : user->Rights)
    if (SameTextAscii(right.FunctionCode, code)) return true;
  return false;
}

const TOperatorRecord& GetOperator(const TCurrentUser& user) {
  return user.Operator;
}
