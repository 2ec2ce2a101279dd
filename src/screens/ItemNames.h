#pragma once

#include <string>

class QWidget;
class TBaseItem;

/// The rule the item windows share: a name is used by one row of TJItem only.
namespace ItemNames {

/// True, after a warning ("提示"), when another row already has `name`: a new
/// item gets "系统中已存在该项目，不需要再次加入该项目！", a stored one being
/// renamed "系统中已存在名为“<name>”的项目，项目名称不能重复！". An empty name is
/// left to the item's own check.
bool RefuseDuplicate(QWidget* parent, TBaseItem* item, const std::string& name, bool isNew);

}  // namespace ItemNames
