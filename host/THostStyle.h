#pragma once

#include <QIcon>
#include <QProxyStyle>
#include <map>

/// The application style of the reference host: the platform's own style,
/// except that the title bar pictures (close, minimise, maximise, restore)
/// are made once. The style underneath makes them anew each time a title bar
/// or the controls of a maximised window in the menu bar is painted, and Qt
/// caches every rendered copy (QPixmapCache) under the new picture's
/// identity: each window opened and closed left its own cache entries
/// behind, up to the cache's limit.
class THostStyle : public QProxyStyle {
 public:
  /// Over the style named `baseKey` (QStyleFactory's key).
  explicit THostStyle(const QString& baseKey) : QProxyStyle(baseKey) {}

  QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                     const QWidget* widget) const override;

 private:
  mutable std::map<StandardPixmap, QIcon> titleBarIcons_;
};
