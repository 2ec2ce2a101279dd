#include "WriteFailure.h"

#include "Format.h"

namespace WriteFailure {

std::string Text(TDBErrorKind kind, const std::string& action) {
  switch (kind) {
    case TDBErrorKind::ConnectionLost:
      return FormatText("与数据库的连接已断开，%s没有完成，数据库中的数据保持原样，请稍后重试。",
                        {action});
    case TDBErrorKind::TimedOut:
      return FormatText("数据正被其他用户或程序使用，%s没有完成，请稍后重试。", {action});
    case TDBErrorKind::NoPrivilege:
      return FormatText("没有写入数据库的权限，%s没有完成，请与管理员联系。", {action});
    case TDBErrorKind::ConstraintRefused:
    case TDBErrorKind::Other:
      break;
  }
  return {};
}

}  // namespace WriteFailure
