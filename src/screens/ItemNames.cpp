#include "ItemNames.h"

#include "Format.h"
#include "QtText.h"
#include "TBaseItem.h"
#include "TPromptService.h"

namespace ItemNames {

bool RefuseDuplicate(QWidget* parent, TBaseItem* item, const std::string& name, bool isNew) {
  if (name.empty()) return false;
  if (isNew ? !item->NameExists(name) : !item->NameUsedByOther(name)) return false;
  TPromptService::Warning(
      parent, QStringLiteral("提示"),
      isNew ? QStringLiteral("系统中已存在该项目，不需要再次加入该项目！")
            : QtText::ToQ(FormatText("系统中已存在名为“%s”的项目，项目名称不能重复！", {name})));
  return true;
}

}  // namespace ItemNames
