#include "ColumnWidths.h"

#include "Exceptions.h"

namespace ColumnWidths {

void RequireWidth(const std::string& value, int width, const char* label) {
  const int bytes = static_cast<int>(value.size());
  if (bytes <= width) return;
  throw ETJItemException("“%s”太长：最多 %d 个字节（一个汉字占两个字节），现在是 %d 个字节。",
                         {label, width, bytes});
}

}  // namespace ColumnWidths
