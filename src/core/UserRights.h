#pragma once

#include <array>
#include <string>

#include "TCurrentUser.h"

/// The administrator test: UserName equals "Chief" ignoring ASCII case;
/// a Null name is never the administrator.
bool IsSuperUser(const TCurrentUser* user);

/// The rights check: an empty code is open to all, the administrator holds
/// every code, otherwise the first right whose code equals `code` ignoring
/// ASCII case grants it. A missing user object holds no right.
bool UserHasRight(const TCurrentUser* user, const std::string& code);

/// The user's operator record.
const TOperatorRecord& GetOperator(const TCurrentUser& user);

/// The five permission kinds, in their fixed order: browse, add, delete,
/// modify, execute. No check consults them; hosts show them.
extern const std::array<const char*, 5> PermissionKinds;

/// ASCII-only case-insensitive comparison of two byte strings.
bool SameTextAscii(const std::string& a, const std::string& b);
