#include "THostStyle.h"

QIcon THostStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                               const QWidget* widget) const {
  const bool titleBar =
      standardIcon >= SP_TitleBarMenuButton && standardIcon <= SP_TitleBarContextHelpButton;
  if (!titleBar) return QProxyStyle::standardIcon(standardIcon, option, widget);
  QIcon& icon = titleBarIcons_[standardIcon];
  if (icon.isNull()) icon = QProxyStyle::standardIcon(standardIcon, option, widget);
  return icon;
}
