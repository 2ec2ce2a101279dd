#include "CatalogueRules.h"

#include "Format.h"
#include "UserRights.h"

namespace CatalogueRules {

void RequireAddRight(TWriteAction action, const TWriteContext& context, const char* addRight) {
  if (action != TWriteAction::Insert || !context.user) return;
  if (UserHasRight(context.user, addRight)) return;
  // Worded and raised as the windows refuse a command without its right.
  throw ETJItemException("您没有“%s”的权限（功能号 %s），请与管理员联系！", {"增加", addRight});
}

void RefuseTakenName(bool taken, const std::string& message, const std::string& name) {
  if (taken) throw EWriteRefused(FormatText(message, {name}));
}

}  // namespace CatalogueRules
